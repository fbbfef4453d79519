#include "shell/introduction/NsIntroductionDlg.h"

#include "core/SandBoxHelper.h"
#include "shell/desktop/DesktopParts.h"
#include "shell/protocol/WindowProtocol.h"
#include "shell/skin/SkinLayouts.h"

namespace veyra {

using namespace vorrelUI;

namespace {
constexpr wchar_t kLayout[] = L"NsIntroduction.xml";
}

const wchar_t* IntroductionButtonText(bool switchedOn) noexcept
{
    return switchedOn ? L"立即体验" : L"立即开启";
}

NsIntroductionDlg::~NsIntroductionDlg()
{
    if (m_skin) {
        m_skin->ReleaseControls();
    }
}

INT_PTR NsIntroductionDlg::Run(HWND parent) noexcept
{
    return RunModal(GetModuleHandleW(nullptr), skin::kSkinnedDialogTemplate, parent);
}

std::span<const skin::SkinEventSink<NsIntroductionDlg>::Entry> NsIntroductionDlg::Events()
{
    static const SkinEventSink::Entry entries[] = {
        {1, &DIID_Ivorrel_events, 1, 4, &NsIntroductionDlg::OnSkinEvent},
    };
    return entries;
}

std::span<const MappedDialog<NsIntroductionDlg>::Entry> NsIntroductionDlg::Messages()
{
    static const MappedDialog::Entry entries[] = {
        {WM_INITDIALOG, &NsIntroductionDlg::OnInitDialog},
    };
    return entries;
}

INT_PTR NsIntroductionDlg::OnInitDialog(WPARAM, LPARAM)
{
    if (!BuildSkin()) {
        // Without its skin the modal dialog would stand empty, with nothing to close it by.
        EndDialog(Handle(), 0);
        return FALSE;
    }
    CentreOnParent();
    return TRUE;
}

bool NsIntroductionDlg::BuildSkin() noexcept
{
    using namespace IntroductionControl;
    if (!skin::BuildLayout(kLayout, Handle(), m_skin, m_root) ||
        !skin::FindControlAs(m_skin.get(), kClose, IID_Ivorrel_imagebutton, m_closeButton) ||
        !skin::FindControlAs(m_skin.get(), kAction, IID_Ivorrel_imagebutton, m_actionButton)) {
        return false;
    }
    m_actionButton->SetText(IntroductionButtonText(CSandBoxHelper::GetInstance().IsSwitchedOn() != 0));
    DWORD cookie = 0;
    static_cast<void>(skin::AdviseEvents(m_closeButton.get(), static_cast<IDispatch*>(this), &cookie));
    static_cast<void>(skin::AdviseEvents(m_actionButton.get(), static_cast<IDispatch*>(this), &cookie));
    m_skin->Show(TRUE);
    return true;
}

void NsIntroductionDlg::CentreOnParent() noexcept
{
    RECT parent{};
    RECT own{};
    if (!GetWindowRect(GetParent(Handle()), &parent) || !GetWindowRect(Handle(), &own)) {
        return;
    }
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    SetWindowPos(Handle(), nullptr, parent.left + ((parent.right - parent.left) - width) / 2,
                 parent.top + ((parent.bottom - parent.top) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

LONG NsIntroductionDlg::OnSkinEvent(const ULONG_PTR* arguments)
{
    const UINT message = static_cast<UINT>(arguments[0]);
    const WPARAM wParam = static_cast<WPARAM>(arguments[1]);
    const USHORT id = LOWORD(wParam);
    if (message != WM_COMMAND || HIWORD(wParam) != 0 ||
        (id != IntroductionControl::kClose && id != IntroductionControl::kAction)) {
        return 0;
    }
    CSandBoxHelper& engine = CSandBoxHelper::GetInstance();
    if (!engine.IsSwitchedOn() && engine.SwitchSandBoxOn()) {
        static_cast<void>(CSandBoxHelper::SetStateFlag(1));
    }
    PostMessageW(GetParent(Handle()), WM_NS_SHOW_GUIDE_TIP, 0, 0);
    EndDialog(Handle(), 0);
    return 1;
}

namespace {

void RunIntroduction(HWND parent)
{
    NsIntroductionDlg dialog;
    static_cast<void>(dialog.Run(parent));
}

}  // namespace

void InstallIntroduction() noexcept
{
    DesktopParts().introduction = &RunIntroduction;
}

}  // namespace veyra
