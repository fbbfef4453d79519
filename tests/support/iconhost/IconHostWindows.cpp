#include "tests/support/iconhost/IconHostWindows.h"

#include <windowsx.h>

#include <algorithm>

#include "core/fileops/ChangeNotice.h"
#include "shell/iconview/NsIconApp.h"
#include "shell/iconview/NsIconFolder.h"
#include "shell/iconview/NsIconLabelFont.h"
#include "shell/iconview/NsIconNoPe.h"
#include "shell/iconview/NsIconSpecial.h"
#include "shell/skin/SkinBinding.h"
#include "tests/support/TempFolder.h"

namespace veyra::test {

namespace {

constexpr int kOwnerKey = 0;

std::unique_ptr<NsIcon> MakeItem(int kind, const std::uint32_t* mode)
{
    switch (kind) {
    case kFileKindFolder:
        return std::make_unique<NsIconFolder>(mode);
    case kFileKindProgram:
        return std::make_unique<NsIconApp>(mode);
    case kFileKindDrive:
        return std::make_unique<NsIconSpecial>(mode);
    default:
        return std::make_unique<NsIconNoPe>(mode);
    }
}

std::string Utf8(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
    return out;
}

}  // namespace

IconHostWindow::~IconHostWindow()
{
    m_box.reset();
    m_ghost.reset();
    m_items.clear();
    if (m_skin) {
        m_skin->ReleaseControls();
    }
}

std::span<const MappedWindow<IconHostWindow>::Entry> IconHostWindow::Messages()
{
    static const Entry entries[] = {
        {WM_LBUTTONDBLCLK, &IconHostWindow::OnDoubleClick},
        {WM_KEYDOWN, &IconHostWindow::OnKeyDown},
        {WM_COMMAND, &IconHostWindow::OnCommand},
        {WM_NS_RENAME_DONE, &IconHostWindow::OnRenameDone},
        {WM_LBUTTONDOWN, &IconHostWindow::OnButtonDown},
        {WM_MOUSEMOVE, &IconHostWindow::OnMouseMove},
        {WM_LBUTTONUP, &IconHostWindow::OnButtonUp},
        {WM_CLOSE, &IconHostWindow::OnClose},
    };
    return entries;
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
    return SUCCEEDED(skin::CreateWindowFactory(factory)) &&
           SUCCEEDED(factory->CreateSkinWindow(layoutPath.c_str(), Handle(), 0, m_skin.put())) &&
           SUCCEEDED(m_skin->FindControl(panelId, panel.put())) &&
           SUCCEEDED(panel.As(vorrelUI::IID_Ivorrel_panel, m_panel));
}

RECT IconHostWindow::CellOf(size_t index, const RECT& panel) const noexcept
{
    const int i = static_cast<int>(index);
    if (m_viewMode & kViewTiles) {
        const int columns = std::max(1, static_cast<int>(panel.right - panel.left) / 250);
        const LONG left = panel.left + (i % columns) * 250 + 20, top = panel.top + (i / columns) * 55;
        return RECT{left, top, left + 250, top + 55};
    }
    const int rows = std::max(1, static_cast<int>(panel.bottom - panel.top - 40) / 93);
    const LONG left = panel.left + 5 + (i / rows) * 74, top = panel.top + 5 + (i % rows) * 93;
    return RECT{left, top, left + 74, top + 88};
}

void IconHostWindow::AddItems(const std::vector<FileItemRecord>& records)
{
    RECT panel{};
    m_panel->GetRect(&panel);
    for (const FileItemRecord& listed : records) {
        FileItemRecord record = listed;
        const RECT cell = CellOf(m_items.size(), panel);
        record.cellRect = cell;
        std::unique_ptr<NsIcon> item = MakeItem(record.kind, &m_viewMode);
        if (item->Init(m_panel.get(), cell, record, L"IDI_IMAGE_COVER_CLICK", L"sandbox_default")) {
            m_items.push_back(std::move(item));
        }
    }
    m_panel->Refresh();
}

void IconHostWindow::Show()
{
    m_skin->Show(TRUE);
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
}

LRESULT IconHostWindow::OnDoubleClick(WPARAM, LPARAM lParam)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (const auto& item : m_items) {
        if (item->HitItem(point)) {
            static_cast<void>(item->Open());
            break;
        }
    }
    return 0;
}

LRESULT IconHostWindow::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    if (wParam != VK_F2 || m_items.empty() || m_box) {
        return DefaultProc(WM_KEYDOWN, wParam, lParam);
    }
    NsIcon* item = m_items.front().get();
    m_box = std::make_unique<CSimpleEditCtrl>(m_panel.get(), item, (m_viewMode & kViewDesktop) ? 1 : 0);
    const RECT& cell = item->Record().cellRect;
    const RECT rect{cell.left - 2, cell.top + kLabelTop, cell.right + 2, cell.top + kLabelTop + 17};
    if (!m_box->Create(Handle(), rect, kRenameBoxStyle)) {
        m_box.reset();
        return 0;
    }
    m_renaming = item;
    item->IconControl()->SetLabel(L"", item->ViewMode());
    SendMessageW(m_box->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(IconLabelFont()), FALSE);
    SetWindowTextW(m_box->Handle(), item->Record().caption.c_str());
    SendMessageW(m_box->Handle(), EM_LIMITTEXT, 200, 0);
    SendMessageW(m_box->Handle(), EM_SETSEL, 0, -1);
    SetFocus(m_box->Handle());
    return 0;
}

// Notifications go back to the child that raised them, as the program's hosts do.
LRESULT IconHostWindow::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (lParam) {
        return SendMessageW(reinterpret_cast<HWND>(lParam), kReflectedCommand, wParam, lParam);
    }
    return 0;
}

LRESULT IconHostWindow::OnRenameDone(WPARAM wParam, LPARAM)
{
    if (!m_box) {
        return 0;
    }
    if (!m_resultFile.empty()) {
        wchar_t text[MAX_PATH] = {};
        GetWindowTextW(m_box->Handle(), text, MAX_PATH);
        static_cast<void>(WriteFileBytes(m_resultFile, std::to_string(wParam) + "|" + Utf8(text)));
    }
    if (m_renaming) {
        m_renaming->IconControl()->SetLabel(m_renaming->Record().caption, m_renaming->ViewMode());
        m_renaming = nullptr;
    }
    SendMessageW(m_box->Handle(), WM_CLOSE, 0, 0);
    m_box.reset();
    InvalidateRect(Handle(), nullptr, FALSE);
    return 1;
}

LRESULT IconHostWindow::OnButtonDown(WPARAM wParam, LPARAM lParam)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (m_dragStrip > 0 && point.y < m_dragStrip) {
        m_dragArmed = true;
        m_grab = point;
        SetCapture(Handle());
        return 0;
    }
    return DefaultProc(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT IconHostWindow::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (!m_dragArmed) {
        return DefaultProc(WM_MOUSEMOVE, wParam, lParam);
    }
    POINT cursor{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
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

LRESULT IconHostWindow::OnButtonUp(WPARAM wParam, LPARAM lParam)
{
    if (!m_dragArmed) {
        return DefaultProc(WM_LBUTTONUP, wParam, lParam);
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

}  // namespace veyra::test
