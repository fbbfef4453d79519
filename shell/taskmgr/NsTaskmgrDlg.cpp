#include "shell/taskmgr/NsTaskmgrDlg.h"

#include <new>

#include "shell/protocol/WindowProtocol.h"
#include "shell/skin/SkinLayouts.h"
#include "shell/taskmgr/TaskListLayout.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr wchar_t kLayout[] = L"NsTaskmgr.xml";
constexpr wchar_t kRowTheme[] = L"sandbox_default";
constexpr LONG kBottomGap = 40;
constexpr LONG kThickFrame = 0x40000;
constexpr LONG kPopup = static_cast<LONG>(0x80000000);
constexpr LONG kWithoutOptimisation = 0xC000;

}  // namespace

NsTaskmgrDlg::NsTaskmgrDlg(int ownerKey) noexcept : m_base(ownerKey), m_ownerKey(ownerKey) {}

NsTaskmgrDlg::~NsTaskmgrDlg()
{
    m_rows.reset();
    if (m_skin) {
        m_skin->ReleaseControls();
    }
    if (HWND window = Handle()) {
        DestroyWindow(window);
    }
}

bool NsTaskmgrDlg::Create(HWND parent) noexcept
{
    m_parent = parent;
    return CreateModeless(GetModuleHandleW(nullptr), skin::kSkinnedDialogTemplate, parent);
}

std::span<const skin::SkinEventSink<NsTaskmgrDlg>::Entry> NsTaskmgrDlg::Events()
{
    static const SkinEventSink::Entry entries[] = {
        {1, &DIID_Ivorrel_events, 1, 4, &NsTaskmgrDlg::OnSkinEvent},
    };
    return entries;
}

std::span<const MappedDialog<NsTaskmgrDlg>::Entry> NsTaskmgrDlg::Messages()
{
    static const MappedDialog::Entry entries[] = {
        {WM_INITDIALOG, &NsTaskmgrDlg::OnInitDialog},
        {WM_NS_TASKS_CHANGED, &NsTaskmgrDlg::OnTasksChanged},
        {WM_CLOSE, &NsTaskmgrDlg::OnClose},
        {WM_MOVE, &NsTaskmgrDlg::OnMove},
        {WM_NS_HOST_MOVED, &NsTaskmgrDlg::OnHostMoved},
        {WM_LBUTTONDOWN, &NsTaskmgrDlg::OnLButtonDown},
        {WM_MOUSEMOVE, &NsTaskmgrDlg::OnMouseMove},
        {WM_LBUTTONUP, &NsTaskmgrDlg::OnLButtonUp},
    };
    return entries;
}

bool NsTaskmgrDlg::PreTranslateMessage(MSG& message)
{
    return Handle() && IsDialogMessageW(Handle(), &message) != FALSE;
}

INT_PTR NsTaskmgrDlg::OnInitDialog(WPARAM, LPARAM)
{
    m_filter.Join(this);
    LONG style = (GetWindowLongW(Handle(), GWL_STYLE) & ~kThickFrame) | kPopup;
    if (!UiOptimisationFlag) {
        style |= kWithoutOptimisation;
    }
    SetWindowLongW(Handle(), GWL_STYLE, style);
    if (!BuildSkin()) {
        return TRUE;  // quietly without content: not placed, not attached
    }
    CProcessListManager::GetInstance().Subscribe(Handle(), WM_NS_TASKS_CHANGED, 0);  // the first rebuild follows
    for (IUnknown* control : {static_cast<IUnknown*>(m_list.get()), static_cast<IUnknown*>(m_endButton.get()),
                              static_cast<IUnknown*>(m_closeButton.get())}) {
        DWORD cookie = 0;
        static_cast<void>(skin::AdviseEvents(control, static_cast<IDispatch*>(this), &cookie));
    }
    PlaceOverParent();
    m_base.Attach(m_parent, Handle(), this, HostKind::kTaskManager);
    return TRUE;
}

bool NsTaskmgrDlg::BuildSkin() noexcept
{
    using namespace TaskmgrControl;
    if (!skin::BuildLayout(kLayout, Handle(), m_skin, m_root) ||
        !skin::FindControlAs(m_skin.get(), kBody, IID_Ivorrel_panel, m_body) ||
        !skin::FindControlAs(m_skin.get(), kList, IID_Ivorrel_list, m_list) ||
        !skin::FindControlAs(m_skin.get(), kEndProcess, IID_Ivorrel_imagebutton, m_endButton) ||
        !skin::FindControlAs(m_skin.get(), kClose, IID_Ivorrel_imagebutton, m_closeButton)) {
        return false;
    }
    m_rows.reset(new (std::nothrow) TaskList(m_list.get()));
    if (!m_rows) {
        return false;
    }
    if (!UiOptimisationFlag) {
        m_closeButton->ModifyStyle(0, kStyleVisible);
    }
    if (const ComPtr<Ivorrel_image> image = skin::RegisteredImage(L"IDI_BTN_SECOND")) {
        m_endButton->SetImage(image.get());
    }
    m_skin->Show(TRUE);
    return true;
}

void NsTaskmgrDlg::PlaceOverParent() noexcept
{
    RECT parent{};
    RECT own{};
    if (!GetWindowRect(m_parent, &parent) || !GetWindowRect(Handle(), &own)) {
        return;
    }
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    const LONG left = parent.left + ((parent.right - parent.left) - width) / 2;
    SetWindowPos(Handle(), nullptr, left, parent.bottom - height - kBottomGap, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NsTaskmgrDlg::BuildHeader() noexcept
{
    RECT list{};
    m_list->GetRect(&list);
    const TaskHeaderColumns columns = TaskHeaderColumnsOver(list);
    ComPtr<Ivorrel_panel> header;
    if (!skin::EnginePtr ||
        FAILED(skin::EnginePtr->CreateControl(CATEGORY_listheader, IID_Ivorrel_panel, kRowTheme, header.put_void())) ||
        !header) {
        return;
    }
    header->Move(&columns.strip, FALSE);
    header->ModifyStyle(kStyleVisible, 0);
    m_body->AddChild(header.get());
    if (const ComPtr<Ivorrel_image> splitter = skin::RegisteredImage(L"IDI_SPLITER_CAP")) {
        header->SetImage(splitter.get());
    }
    ComPtr<Ivorrel_listheader> headerColumns;
    if (SUCCEEDED(header->QueryInterface(IID_Ivorrel_listheader, headerColumns.put_void())) && headerColumns) {
        headerColumns->SetColumnTheme(kListHeaderColumnTheme);
        ComPtr<Ivorrel_panel> nameColumn, idColumn;
        ComPtr<Ivorrel_label> nameLabel, idLabel;
        if (MakeTaskCell(columns.name, L"进程", nameColumn, nameLabel) && MakeTaskCell(columns.id, L"PID", idColumn, idLabel)) {
            headerColumns->AddColumn(nameColumn.get());
            headerColumns->AddColumn(idColumn.get());
        }
    }
    m_list->AttachHeader(header.get());
    m_header = std::move(header);
    m_headerBuilt = 1;
}

INT_PTR NsTaskmgrDlg::OnTasksChanged(WPARAM, LPARAM)
{
    if (!m_rows) {
        return TRUE;
    }
    std::vector<ProcessEntry> processes;
    int changed = 0;
    CProcessListManager::GetInstance().GetOwnerProcesses(processes, m_ownerKey, changed);
    if (!m_headerBuilt) {
        BuildHeader();
    }
    m_rows->Rebuild(processes);
    if (EndProcessEnabled(m_rows->RowCount())) {
        m_endButton->ModifyStyle(0, kStyleDisabled);
    } else {
        m_endButton->ModifyStyle(kStyleDisabled, 0);
    }
    m_endButton->Redraw(TRUE);
    m_list->Redraw(TRUE);
    return TRUE;
}

void NsTaskmgrDlg::EndSelectedProcess() noexcept
{
    if (const DWORD processId = m_rows ? m_rows->SelectedProcess() : 0) {
        static_cast<void>(CProcessListManager::GetInstance().TerminateProcess(processId));
    }
}

LONG NsTaskmgrDlg::OnSkinEvent(const ULONG_PTR* arguments)
{
    const UINT message = static_cast<UINT>(arguments[0]);
    const WPARAM wParam = static_cast<WPARAM>(arguments[1]);
    if (message != WM_COMMAND || HIWORD(wParam) != 0) {
        return 0;
    }
    switch (LOWORD(wParam)) {
    case TaskmgrControl::kEndProcess:
        EndSelectedProcess();
        return 1;
    case TaskmgrControl::kClose:
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return 1;
    default:
        return 0;
    }
}

INT_PTR NsTaskmgrDlg::OnClose(WPARAM, LPARAM)
{
    m_rows.reset();
    m_base.Detach();
    PostMessageW(m_parent, WM_NS_TASKMGR_CLOSED, 0, 0);
    DestroyWindow(Handle());
    return TRUE;
}

INT_PTR NsTaskmgrDlg::OnMove(WPARAM, LPARAM)
{
    m_base.SnapToHost();
    return FALSE;
}

INT_PTR NsTaskmgrDlg::OnHostMoved(WPARAM wParam, LPARAM lParam)
{
    m_base.FollowHost(static_cast<int>(wParam), static_cast<int>(lParam));
    return TRUE;
}

INT_PTR NsTaskmgrDlg::OnLButtonDown(WPARAM, LPARAM lParam)
{
    m_base.OnCaptionLButtonDown(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return FALSE;
}

INT_PTR NsTaskmgrDlg::OnMouseMove(WPARAM, LPARAM lParam)
{
    m_base.OnCaptionMouseMove(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return FALSE;
}

INT_PTR NsTaskmgrDlg::OnLButtonUp(WPARAM, LPARAM)
{
    m_base.OnCaptionLButtonUp();
    return FALSE;
}

namespace {

std::unique_ptr<IDesktopWindow> MakeTaskManager(HWND parent, int ownerKey)
{
    auto dialog = std::unique_ptr<NsTaskmgrDlg>(new (std::nothrow) NsTaskmgrDlg(ownerKey));
    if (!dialog || !dialog->Create(parent)) {
        return nullptr;
    }
    return dialog;
}

}  // namespace

void InstallTaskManager() noexcept
{
    DesktopParts().taskManager = &MakeTaskManager;
}

}  // namespace veyra
