#include "shell/settings/NsSettingDlg.h"

#include <new>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/protocol/WindowProtocol.h"
#include "shell/skin/SkinLayouts.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr wchar_t kLayout[] = L"NsSetting.xml";
constexpr wchar_t kLabelTheme[] = L"static_sandbox_9_black";
constexpr LONG kRowHeight = 25;
constexpr LONG kLabelDrop = 5;
constexpr USHORT kRowIds[kSettingRowCount] = {SettingControl::kRestore, SettingControl::kMerge, SettingControl::kProcesses};
constexpr int kMergeRow = 1;

}  // namespace

const wchar_t* MergeRowText(int noMerge) noexcept
{
    return noMerge ? L"  显示系统文件" : L"  只显示虚拟系统文件";
}

NsSettingDlg::~NsSettingDlg()
{
    if (m_skin) {
        m_skin->ReleaseControls();
    }
    if (HWND window = Handle()) {
        DestroyWindow(window);
    }
}

bool NsSettingDlg::Create(HWND parent) noexcept
{
    m_parent = parent;
    return CreateModeless(GetModuleHandleW(nullptr), skin::kSkinnedDialogTemplate, parent);
}

std::span<const skin::SkinEventSink<NsSettingDlg>::Entry> NsSettingDlg::Events()
{
    static const SkinEventSink::Entry entries[] = {
        {1, &DIID_Ivorrel_events, 2, 3, &NsSettingDlg::OnRowState},
    };
    return entries;
}

std::span<const MappedDialog<NsSettingDlg>::Entry> NsSettingDlg::Messages()
{
    static const MappedDialog::Entry entries[] = {
        {WM_INITDIALOG, &NsSettingDlg::OnInitDialog},
        {WM_LBUTTONDOWN, &NsSettingDlg::OnLButtonDown},
        {WM_KILLFOCUS, &NsSettingDlg::OnKillFocus},
    };
    return entries;
}

bool NsSettingDlg::PreTranslateMessage(MSG& message)
{
    return Handle() && IsDialogMessageW(Handle(), &message) != FALSE;
}

INT_PTR NsSettingDlg::OnInitDialog(WPARAM, LPARAM)
{
    m_filter.Join(this);
    return BuildSkin() ? TRUE : FALSE;
}

bool NsSettingDlg::BuildSkin() noexcept
{
    if (!skin::BuildLayout(kLayout, Handle(), m_skin, m_root) ||
        !skin::FindControlAs(m_skin.get(), SettingControl::kList, IID_Ivorrel_list, m_list)) {
        return false;
    }
    for (int row = 0; row < kSettingRowCount; ++row) {
        if (!skin::CreatePanelControl(m_rows[row]) || !skin::CreateLabelControl(m_labels[row], kLabelTheme)) {
            return false;
        }
    }
    RECT list{};
    m_list->GetRect(&list);
    const wchar_t* const texts[kSettingRowCount] = {L"  还原系统", MergeRowText(CSandBoxFileSystem::Instance().GetNoMerge()),
                                                    L"  显示进程"};
    for (int row = 0; row < kSettingRowCount; ++row) {
        const RECT rect{list.left, list.top + kRowHeight * row, list.right, list.top + kRowHeight * (row + 1)};
        const RECT text{rect.left, rect.top + kLabelDrop, rect.right, rect.bottom};
        m_rows[row]->Move(&rect, FALSE);
        m_rows[row]->ModifyStyle(kStyleVisible, 0);
        m_labels[row]->Move(&text, FALSE);
        m_labels[row]->ModifyStyle(kStyleVisible, 0);
        m_labels[row]->SetText(texts[row]);
        m_rows[row]->AddChild(m_labels[row].get());
        m_rows[row]->SetId(kRowIds[row]);
        m_list->AddChild(m_rows[row].get());
    }
    m_list->Redraw(TRUE);
    DWORD cookie = 0;
    static_cast<void>(skin::AdviseEvents(m_list.get(), static_cast<IDispatch*>(this), &cookie));
    m_skin->Show(TRUE);
    return true;
}

INT_PTR NsSettingDlg::OnLButtonDown(WPARAM, LPARAM)
{
    return TRUE;
}

INT_PTR NsSettingDlg::OnKillFocus(WPARAM, LPARAM)
{
    if (m_list) {
        m_list->CancelTracking();
    }
    ShowWindow(Handle(), SW_HIDE);
    return TRUE;
}

LONG NsSettingDlg::OnRowState(const ULONG_PTR* arguments)
{
    const DWORD set = static_cast<DWORD>(arguments[0]);
    if (!arguments[2] || !(set & kStatePressed) || !m_list) {
        return 0;
    }
    ComPtr<Ivorrel_control> selected;
    USHORT id = 0;
    if (FAILED(m_list->GetSelected(selected.put())) || !selected || FAILED(selected->GetId(&id))) {
        return 1;
    }
    switch (id) {
    case SettingControl::kRestore:
        PostMessageW(m_parent, WM_NS_RESTORE_SYSTEM, 0, 0);
        break;
    case SettingControl::kMerge:
        SendMessageW(m_parent, WM_NS_TOGGLE_MERGE, 0, 0);
        ShowMergeText();
        break;
    case SettingControl::kProcesses:
        PostMessageW(m_parent, WM_NS_SHOW_PROCESSES, 0, 0);
        break;
    default:
        break;
    }
    return 0;
}

// From the view's own switch, not the stored flag: writing the flag fails for a standard user (HKLM),
// and the label would then name the wrong action.
void NsSettingDlg::ShowMergeText() noexcept
{
    m_labels[kMergeRow]->SetText(MergeRowText(CSandBoxFileSystem::Instance().GetNoMerge()));
    m_list->Redraw(TRUE);
}

namespace {

std::unique_ptr<IDesktopWindow> MakeSettingsMenu(HWND parent, int)
{
    auto menu = std::unique_ptr<NsSettingDlg>(new (std::nothrow) NsSettingDlg());
    if (!menu || !menu->Create(parent)) {
        return nullptr;
    }
    return menu;
}

}  // namespace

void InstallSettingsMenu() noexcept
{
    DesktopParts().settingsMenu = &MakeSettingsMenu;
}

}  // namespace veyra
