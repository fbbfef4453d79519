#include "shell/dialogs/NsReplaceMessageBox.h"

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/dialogs/BoxTexts.h"
#include "shell/protocol/WindowProtocol.h"
#include "shell/skin/SkinBinding.h"

namespace veyra::dialogs {

using namespace vorrelUI;

namespace {

constexpr wchar_t kBoxClass[] = L"VeyraReplaceBox";
constexpr wchar_t kLayout[] = L"NsReplaceMsgbox.xml";
constexpr wchar_t kPanelTheme[] = L"sandbox_default";
constexpr wchar_t kTextTheme[] = L"static_sandbox_9_black";
constexpr DWORD kMultiLine = 0x4000;
constexpr LONG kArrowSize = 24;
constexpr unsigned kApplyToAll = 0x80000000u;
// Each choice panel and the answer bit a press on it gives.
constexpr unsigned kPanelBits[] = {ConflictAnswer::kReplace, ConflictAnswer::kSkip, ConflictAnswer::kKeepBoth};

int PanelIndex(USHORT id) noexcept
{
    return id >= NsReplaceMessageBox::kReplacePanel && id <= NsReplaceMessageBox::kKeepBothPanel
               ? id - NsReplaceMessageBox::kReplacePanel
               : -1;
}

}  // namespace

NsReplaceMessageBox::NsReplaceMessageBox(unsigned* answer, FileOperationContext& context) noexcept
    : SkinnedBox(context.ownerKey), m_answer(answer), m_context(context), m_severalItems(context.count > 1)
{
}

std::span<const skin::SkinEventSink<NsReplaceMessageBox>::Entry> NsReplaceMessageBox::Events()
{
    static const SkinEventSink::Entry entries[] = {
        {1, &DIID_Ivorrel_events, 1, 4, &NsReplaceMessageBox::OnCommandEvent},
        {1, &DIID_Ivorrel_events, 2, 3, &NsReplaceMessageBox::OnStateEvent},
    };
    return entries;
}

std::span<const MappedWindow<NsReplaceMessageBox>::Entry> NsReplaceMessageBox::Messages()
{
    static const MappedWindow::Entry entries[] = {
        {WM_CREATE, &NsReplaceMessageBox::OnCreate},
        {WM_CLOSE, &NsReplaceMessageBox::OnClose},
        {WM_DESTROY, &NsReplaceMessageBox::OnDestroy},
        {WM_MOVE, &NsReplaceMessageBox::OnMoved},
        {WM_NS_HOST_MOVED, &NsReplaceMessageBox::OnHostMoved},
        {WM_LBUTTONDOWN, &NsReplaceMessageBox::OnCaptionDown},
        {WM_MOUSEMOVE, &NsReplaceMessageBox::OnCaptionMove},
        {WM_LBUTTONUP, &NsReplaceMessageBox::OnCaptionUp},
    };
    return entries;
}

bool NsReplaceMessageBox::CreateBox(HWND parent) noexcept
{
    if (!SkinnedBox::CreateBox(kBoxClass, parent)) {
        return false;
    }
    if (!m_ready) {
        DestroyWindow(Handle());
        return false;
    }
    AttachAndPlace(parent, HostKind::kModelessBox);
    return true;
}

LRESULT NsReplaceMessageBox::OnCreate(WPARAM, LPARAM)
{
    StartFiltering();
    m_ready = SetUp();
    return 0;
}

bool NsReplaceMessageBox::SetUp() noexcept
{
    if (!BuildSkin(kLayout) || !skin::FindControlAs(m_skin.get(), kTitle, IID_Ivorrel_label, m_title) ||
        !skin::FindControlAs(m_skin.get(), kReplacePanel, IID_Ivorrel_panel, m_panels[0]) ||
        !skin::FindControlAs(m_skin.get(), kSkipPanel, IID_Ivorrel_panel, m_panels[1]) ||
        !skin::FindControlAs(m_skin.get(), kKeepBothPanel, IID_Ivorrel_panel, m_panels[2]) ||
        !skin::FindControlAs(m_skin.get(), kRemember, IID_Ivorrel_imagebutton, m_remember) ||
        !skin::FindControlAs(m_skin.get(), kSkipButton, IID_Ivorrel_imagebutton, m_skipButton) ||
        !skin::FindControlAs(m_skin.get(), kCancelButton, IID_Ivorrel_imagebutton, m_cancelButton) ||
        !skin::FindControlAs(m_skin.get(), kClose, IID_Ivorrel_imagebutton, m_closeButton)) {
        return false;
    }
    if (!UiOptimisationFlag) {
        HideControl(m_closeButton.get());
    }
    if (!m_severalItems) {
        HideControl(m_remember.get());
        HideControl(m_skipButton.get());
    }
    if (!FillPanels()) {
        return false;
    }
    for (Ivorrel_imagebutton* button : {m_cancelButton.get(), m_skipButton.get(), m_closeButton.get()}) {
        DWORD cookie = 0;
        (void)skin::AdviseEvents(button, static_cast<IDispatch*>(this), &cookie);
    }
    m_skin->Show(TRUE);
    return true;
}

bool NsReplaceMessageBox::FillPanels() noexcept
{
    try {
        const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
        const int sandbox = m_context.ownerKey;
        std::wstring viewPath;
        if (view.GetViewPath(m_context.sourcePath, viewPath, sandbox)) {
            m_context.sourcePath = viewPath;
        }
        if (view.GetViewPath(m_context.targetPath, viewPath, sandbox)) {
            m_context.targetPath = viewPath;
        }
        const int type = m_context.type;
        const ReplaceWording wording =
            ReplaceBoxWording(type, view.GetDisplayName(m_context.sourcePath), view.GetParentPath(m_context.sourcePath),
                              view.GetParentPath(m_context.targetPath),
                              m_context.keepBothName.empty() ? std::wstring() : view.GetDisplayName(m_context.keepBothName));
        if (!wording.title.empty()) {
            m_title->SetText(wording.title.c_str());
        }
        if (!FillPanel(m_panels[0].get(), kReplacePanel, wording.replace) ||
            !FillPanel(m_panels[1].get(), kSkipPanel, wording.skip)) {
            return false;
        }
        // No free name: keep both cannot be offered.
        if (m_context.keepBothName.empty()) {
            HideControl(m_panels[2].get());
            return true;
        }
        return FillPanel(m_panels[2].get(), kKeepBothPanel, wording.keepBoth);
    } catch (...) {
        return false;
    }
}

bool NsReplaceMessageBox::FillPanel(Ivorrel_panel* panel, USHORT id, const std::wstring& text) noexcept
{
    RECT area{};
    panel->GetRect(&area);
    ComPtr<Ivorrel_label> label;
    ComPtr<Ivorrel_itemcontrol> arrow;
    ComPtr<Ivorrel_panel> cover;
    if (!skin::CreateLabelControl(label, kTextTheme) ||
        !skin::CreatePictureWithImage(arrow, kPanelTheme, L"IDI_IMAGE_ARROW") || !skin::CreatePanelControl(cover)) {
        return false;
    }
    const RECT textArea{area.left + kArrowSize, area.top, area.right, area.bottom};
    label->ModifyControlStyle(kMultiLine, 0);
    label->Move(&textArea, FALSE);
    label->SetText(text.c_str());
    ShowControl(label.get());
    const RECT arrowArea{area.left, area.top, area.left + kArrowSize, area.top + kArrowSize};
    arrow->Move(&arrowArea, FALSE);
    cover->Move(&area, FALSE);
    cover->SetId(id);
    ShowControl(cover.get());
    panel->AddChild(label.get());
    panel->AddChild(arrow.get());
    panel->AddChild(cover.get());
    DWORD cookie = 0;
    (void)skin::AdviseEvents(cover.get(), static_cast<IDispatch*>(this), &cookie);
    panel->Redraw(FALSE);
    return true;
}

LONG NsReplaceMessageBox::OnCommandEvent(const ULONG_PTR* arguments)
{
    const WPARAM wParam = static_cast<WPARAM>(arguments[1]);
    if (static_cast<UINT>(arguments[0]) != WM_COMMAND || HIWORD(wParam) != 0) {
        return 0;
    }
    switch (LOWORD(wParam)) {
    case kCancelButton:
        Finish(ConflictAnswer::kStop);
        break;
    case kSkipButton:
        Finish(ConflictAnswer::kSkip);
        break;
    case kClose:
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
    return 0;
}

LONG NsReplaceMessageBox::OnStateEvent(const ULONG_PTR* arguments)
{
    const DWORD set = static_cast<DWORD>(arguments[0]);
    const DWORD cleared = static_cast<DWORD>(arguments[1]);
    const int index = PanelIndex(skin::SenderId(arguments[2]));
    if (index < 0) {
        return 0;
    }
    const wchar_t* image = nullptr;
    if (set & kStatePressed) {
        image = L"IDI_IMAGE_COVER_CLICK";
    } else if (set & kStateHover) {
        image = L"IDI_IMAGE_COVER_HOVER";
    } else if (cleared & kStateHover) {
        image = L"IDI_IMAGE_COVER_NORMAL";
    }
    if (image) {
        ComPtr<Ivorrel_image> picture = skin::RegisteredImage(image);
        m_panels[index]->SetImage(picture.get());
        m_panels[index]->Redraw(FALSE);
    }
    if (set & kStatePressed) {
        Finish(kPanelBits[index]);
    }
    return 0;
}

LRESULT NsReplaceMessageBox::OnClose(WPARAM, LPARAM)
{
    Finish(ConflictAnswer::kStop);
    return 0;
}

void NsReplaceMessageBox::Finish(unsigned bits) noexcept
{
    if (!Handle()) {
        return;
    }
    DWORD check = 0;
    if (m_answer) {
        if (m_remember && SUCCEEDED(m_remember->GetCheck(&check)) && LOWORD(check) != 0) {
            bits |= kApplyToAll;
        }
        *m_answer |= bits;
    }
    DestroyWindow(Handle());
}

LRESULT NsReplaceMessageBox::OnDestroy(WPARAM wParam, LPARAM lParam)
{
    OnDestroyed(wParam, lParam);
    PostQuitMessage(0);
    return 0;
}

}  // namespace veyra::dialogs
