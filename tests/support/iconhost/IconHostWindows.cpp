#include "tests/support/iconhost/IconHostWindows.h"

#include <windowsx.h>

#include <cstring>
#include <memory>
#include <vector>

#include "shell/explorer/ViewMessages.h"
#include "core/fileops/ChangeNotice.h"
#include "shell/skin/SkinBinding.h"
#include "tests/support/TempFolder.h"

namespace veyra::test {

namespace {

constexpr int kOwnerKey = 0;

std::string Utf8(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
    return out;
}

UINT DumpViewMessage() noexcept
{
    static const UINT message = RegisterWindowMessageW(kDumpViewMessageName);
    return message;
}

POINT PointOf(LPARAM lParam) noexcept
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

IconHostWindow::~IconHostWindow()
{
    m_ghost.reset();
    if (m_view) {
        // As a folder window closes: the items first, then the loader with its bounded wait.
        m_view->ClearItems();
        m_view->StopIconLoader();
        m_view.reset();
    }
    if (m_skin) {
        m_skin->ReleaseControls();
    }
}

std::span<const MappedWindow<IconHostWindow>::Entry> IconHostWindow::Messages()
{
    static const Entry entries[] = {
        {WM_NS_ITEMS_LOADED, &IconHostWindow::OnItemsLoaded},
        {WM_NS_ICON_LOADED, &IconHostWindow::OnIconLoaded},
        {WM_LBUTTONDBLCLK, &IconHostWindow::OnDoubleClick},
        {WM_KEYDOWN, &IconHostWindow::OnKeyDown},
        {WM_CHAR, &IconHostWindow::OnChar},
        {WM_NS_TYPEAHEAD_CHAR, &IconHostWindow::OnTypeAhead},
        {WM_TIMER, &IconHostWindow::OnTimer},
        {WM_COMMAND, &IconHostWindow::OnCommand},
        {WM_COPYDATA, &IconHostWindow::OnCopyData},
        {WM_NS_RENAME_DONE, &IconHostWindow::OnRenameDone},
        {WM_LBUTTONDOWN, &IconHostWindow::OnButtonDown},
        {WM_RBUTTONDOWN, &IconHostWindow::OnRightButtonDown},
        {WM_MOUSEMOVE, &IconHostWindow::OnMouseMove},
        {WM_LBUTTONUP, &IconHostWindow::OnButtonUp},
        {WM_CLOSE, &IconHostWindow::OnClose},
    };
    return entries;
}

// The registered message has no fixed number, so it cannot stand in the map.
LRESULT IconHostWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == DumpViewMessage()) {
        wchar_t path[MAX_PATH] = {};
        if (!GlobalGetAtomNameW(static_cast<ATOM>(wParam), path, MAX_PATH)) {
            return 0;
        }
        return DumpView(path) ? 1 : 0;
    }
    return MappedWindow::HandleMessage(message, wParam, lParam);
}

bool IconHostWindow::Build(const wchar_t* className, const std::wstring& layoutPath, USHORT panelId, HWND owner,
                           int x, int y)
{
    WindowPlacement placement;
    placement.style = WS_POPUP | WS_CLIPCHILDREN;
    placement.x = x;
    placement.y = y;
    placement.width = 100;
    placement.height = 100;
    placement.parent = owner;
    if (!Create(WindowClass{className}, L"icon host", placement)) {
        return false;
    }
    ComPtr<vorrelUI::Ivorrel_winfactory> factory;
    ComPtr<vorrelUI::Ivorrel_control> panel;
    if (FAILED(skin::CreateWindowFactory(factory)) ||
        FAILED(factory->CreateSkinWindow(layoutPath.c_str(), Handle(), 0, m_skin.put())) ||
        FAILED(m_skin->FindControl(panelId, panel.put())) ||
        FAILED(panel.As(vorrelUI::IID_Ivorrel_panel, m_panel))) {
        return false;
    }
    m_view = std::make_unique<TestView>(m_panel.get(), Handle(), m_sandboxId, m_isDesktop);
    return true;
}

void IconHostWindow::Load(const std::wstring& path)
{
    static_cast<void>(m_view->Load(path));
}

void IconHostWindow::Show()
{
    m_skin->Show(TRUE);
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
}

LRESULT IconHostWindow::OnItemsLoaded(WPARAM wParam, LPARAM lParam)
{
    if (!wParam) {
        const int added = m_view->FillNextStep(static_cast<std::uint32_t>(lParam));
        m_panel->Refresh();
        return added;
    }
    std::unique_ptr<std::vector<FileItemRecord>> records(reinterpret_cast<std::vector<FileItemRecord>*>(wParam));
    if (!records || !m_view->IsCurrentListing(static_cast<std::uint32_t>(lParam))) {
        return 0;  // a listing that a later reload superseded: freed, not filled
    }
    static_cast<void>(m_view->StartIconLoader());
    static_cast<void>(m_view->FillItems(*records));
    m_panel->Refresh();
    return 1;
}

LRESULT IconHostWindow::OnIconLoaded(WPARAM wParam, LPARAM)
{
    return m_view->ApplyLoadedIcon(reinterpret_cast<NsIcon*>(wParam), 48);
}

LRESULT IconHostWindow::OnDoubleClick(WPARAM, LPARAM lParam)
{
    POINT point = PointOf(lParam);
    return m_view->OnLButtonDblClk(&point);
}

void IconHostWindow::StartRename()
{
    if (!m_view->FocusItem()) {
        m_view->SelectByIndex(0);
    }
    static_cast<void>(m_view->BeginRename());
}

LRESULT IconHostWindow::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        return m_view->OnArrowKey(static_cast<UINT>(wParam));
    case VK_F2:
        StartRename();
        return 0;
    case VK_F5:
        return m_view->Reload(m_view->GetCurrentPath());
    case VK_RETURN:
        return m_view->OpenSelection();
    case 'A':
        if (GetKeyState(VK_CONTROL) < 0) {
            m_view->SelectAll(1, kCoverClick);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefaultProc(WM_KEYDOWN, wParam, lParam);
}

// The desktop's message filter turns every typed character into a type-ahead notice.
LRESULT IconHostWindow::OnChar(WPARAM wParam, LPARAM lParam)
{
    if (wParam >= L' ') {
        PostMessageW(Handle(), WM_NS_TYPEAHEAD_CHAR, wParam, lParam);
    }
    return 0;
}

LRESULT IconHostWindow::OnTypeAhead(WPARAM wParam, LPARAM)
{
    SetTimer(Handle(), kTypeAheadTimer, kTypeAheadResetMs, nullptr);
    m_view->TypeAhead(static_cast<wchar_t>(wParam));
    return 0;
}

LRESULT IconHostWindow::OnTimer(WPARAM wParam, LPARAM lParam)
{
    if (wParam == kTypeAheadTimer) {
        KillTimer(Handle(), kTypeAheadTimer);
        m_view->ResetTypeAhead();
        return 0;
    }
    if (wParam == kRefreshTimer) {
        KillTimer(Handle(), kRefreshTimer);
        return m_view->SyncItems(m_view->GetCurrentPath(), 0);
    }
    return DefaultProc(WM_TIMER, wParam, lParam);
}

// Notifications go back to the child that raised them, as the program's hosts do.
LRESULT IconHostWindow::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (lParam) {
        return SendMessageW(reinterpret_cast<HWND>(lParam), kReflectedCommand, wParam, lParam);
    }
    // The menu commands of the program's windows, by their ids.
    const std::wstring folder = m_view->GetCurrentPath();
    switch (LOWORD(wParam)) {
    case 0x800E:
        return m_view->BeginRefresh();
    case 0x800F:
        return m_view->PasteItems(folder);
    case 0x8012:
        return m_view->NewTextDocument(folder);
    case 0x8013:
        return m_view->NewFolder(folder);
    case 0x801E:
        return m_view->OpenFileLocation();
    case 0x801F:
        return m_view->CopySelection(0);
    case 0x8020:
        return m_view->CopySelection(1);
    case 0x8021:
        return m_view->DeleteSelection();
    case 0x8022:
        StartRename();
        return 0;
    case 0x8023:
        return m_view->CreateShortcuts();
    default:
        return 0;
    }
}

// A worker's change notice of the record's exact size (the view reads its paths within their fields).
LRESULT IconHostWindow::OnCopyData(WPARAM, LPARAM lParam)
{
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || data->dwData != COPYDATA_CHANGE_NOTICE || data->cbData != sizeof(ChangeNoticeRecord) ||
        !data->lpData) {
        return 0;
    }
    ChangeNoticeRecord notice{};
    std::memcpy(&notice, data->lpData, sizeof(notice));
    return m_view->ApplyChangeNotice(&notice);
}

LRESULT IconHostWindow::OnRenameDone(WPARAM wParam, LPARAM)
{
    CSimpleEditCtrl* editor = m_view->RenameEditor();
    if (!editor) {
        return 0;
    }
    if (!m_resultFile.empty()) {
        wchar_t text[MAX_PATH] = {};
        GetWindowTextW(editor->Handle(), text, MAX_PATH);
        static_cast<void>(WriteFileBytes(m_resultFile, std::to_string(wParam) + "|" + Utf8(text)));
    }
    m_view->CommitRename(static_cast<int>(wParam));
    InvalidateRect(Handle(), nullptr, FALSE);
    return 1;
}

LRESULT IconHostWindow::OnButtonDown(WPARAM, LPARAM lParam)
{
    POINT point = PointOf(lParam);
    if (m_dragStrip > 0 && point.y < m_dragStrip) {
        m_dragArmed = true;
        m_grab = point;
        SetCapture(Handle());
        return 0;
    }
    SetFocus(Handle());
    return m_view->OnLButtonDown(&point);
}

LRESULT IconHostWindow::OnRightButtonDown(WPARAM, LPARAM lParam)
{
    POINT point = PointOf(lParam);
    int shortcut = 0;
    return m_view->OnRButtonDown(&point, &shortcut);
}

LRESULT IconHostWindow::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    POINT point = PointOf(lParam);
    if (!m_dragArmed) {
        if (wParam & MK_LBUTTON) {
            return m_view->OnMouseMove(static_cast<UINT>(wParam), &point);
        }
        NsIcon* item = m_view->ItemFromPoint(&point);
        if (!item || !m_view->IsSelected(item)) {
            m_view->Unhover(kCoverNormal);
        }
        if (item && !m_view->IsSelected(item) && item != m_view->HoverItem()) {
            static_cast<void>(m_view->Hover(item, kCoverHover));
        }
        return 0;
    }
    POINT cursor = point;
    ClientToScreen(Handle(), &cursor);
    if (!m_ghost) {
        RECT rect{};
        GetWindowRect(Handle(), &rect);
        m_ghost = std::make_unique<NsVirtualMoveWnd>(kOwnerKey);
        m_ghost->SetDragOffset(m_grab.x, m_grab.y);
        if (!m_ghost->Create(GetParent(Handle()), rect)) {
            m_ghost.reset();
            return 0;
        }
    }
    m_ghost->MoveToCursor(cursor);
    return 0;
}

LRESULT IconHostWindow::OnButtonUp(WPARAM, LPARAM lParam)
{
    if (!m_dragArmed) {
        POINT point = PointOf(lParam);
        return m_view->OnLButtonUp(&point);
    }
    if (m_ghost) {
        RECT ghost{};
        GetWindowRect(m_ghost->Handle(), &ghost);
        SetWindowPos(Handle(), nullptr, ghost.left, ghost.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    EndDrag();
    return 0;
}

void IconHostWindow::EndDrag()
{
    m_dragArmed = false;
    m_ghost.reset();
    if (GetCapture() == Handle()) {
        ReleaseCapture();
    }
}

LRESULT IconHostWindow::OnClose(WPARAM, LPARAM)
{
    PostQuitMessage(0);
    return 0;
}

bool IconHostWindow::DumpView(const std::wstring& path)
{
    // What only the view knows; covers, tooltips and scrolling are read from the skin library's dump.
    TestView& view = *m_view;
    const auto indexOf = [&view](NsIcon* item) { return item ? view.IndexOfItem(item) : -1; };
    std::string text = "count=" + std::to_string(view.ItemCount()) + "\tfocus=" + std::to_string(indexOf(view.FocusItem())) +
                       "\tanchor=" + std::to_string(indexOf(view.AnchorItem())) +
                       "\thover=" + std::to_string(indexOf(view.HoverItem())) + "\n";
    for (int index = 0; index < view.ItemCount(); ++index) {
        NsIcon* item = view.ItemAt(index);
        const RECT& cell = item->Record().cellRect;
        char line[160];
        snprintf(line, sizeof(line), "item=%d\tcell=%ld,%ld,%ld,%ld\tselected=%d\ticon=%d\tname=", index, cell.left,
                 cell.top, cell.right, cell.bottom, view.IsSelected(item),
                 item->IconControl() && item->IconControl()->HasImage() ? 1 : 0);
        text += line + Utf8(item->Record().caption) + "\n";
    }
    return WriteFileBytes(path, text);
}

}  // namespace veyra::test
