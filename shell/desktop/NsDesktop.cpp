#include "shell/desktop/NsDesktop.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <new>

#include "base/Thread.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/desktop/DesktopTimers.h"
#include "shell/explorer/ItemOrder.h"
#include "shell/explorer/ViewCommandIds.h"
#include "shell/protocol/WindowProtocol.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr int kIconSize = 48;

std::wstring SpecialFolder(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    return SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE) ? std::wstring(folder) : std::wstring();
}

}  // namespace

// What a load thread fills: the view keeps it as its pending listing and fills from it only once the
// thread has marked it ready and posted its address with the load's number.
struct DesktopListing {
    std::vector<FileItemRecord> records;
    std::atomic<bool> ready{false};
};

NsDesktop::NsDesktop(Ivorrel_panel* site, HWND host, int ownerKey)
    : NsExplorer(site, host, ownerKey), m_desktopFolder(SpecialFolder(CSIDL_DESKTOPDIRECTORY))
{
}

NsDesktop::~NsDesktop() = default;

int NsDesktop::ListDesktop(std::vector<FileItemRecord>& records, int sandboxId)
{
    return CSandBoxFileSystem::Instance().ListDesktopItems(records, sandboxId);
}

int NsDesktop::EnumerateItems()
{
    m_listing.reset(new (std::nothrow) std::vector<FileItemRecord>());
    return m_listing ? ListDesktop(*m_listing, m_ownerKey) : 0;
}

int NsDesktop::Load(const std::wstring& path)
{
    std::uint32_t mode = 0;
    if (!ChooseViewMode(path, &mode, 1)) {
        return 0;
    }
    // The cells are the UI thread's: laid out here, never on the load thread.
    m_grid.Layout(m_columns, m_rows, PanelRect());
    m_placementCounter = 0;
    const std::uint32_t number = BeginListing();
    std::shared_ptr<DesktopListing> listing(new (std::nothrow) DesktopListing());
    m_pendingListing = listing;  // an older load's listing is no longer awaited
    if (!listing) {
        return 1;
    }
    const HWND host = m_hostWindow;
    const int sandboxId = m_ownerKey;
    // The thread shares only the listing, never the view: the view may go before the thread ends.
    static_cast<void>(StartDetachedThread([host, sandboxId, number, listing] {
        const HRESULT com = CoInitialize(nullptr);  // shortcuts resolve through the shell's link object
        if (ListDesktop(listing->records, sandboxId)) {
            listing->ready.store(true, std::memory_order_release);
            PostMessageW(host, WM_NS_ITEMS_LOADED, reinterpret_cast<WPARAM>(listing.get()), number);
        }
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
    }));
    return 1;
}

int NsDesktop::Reload(const std::wstring& path)
{
    return NsExplorer::Reload(path);
}

LRESULT NsDesktop::OnItemsLoaded(WPARAM wParam, LPARAM lParam)
{
    // Only the newest load's own listing, and only once its thread is done with it: a superseded or a
    // foreign message fills nothing and frees nothing.
    if (!wParam || !m_pendingListing || wParam != reinterpret_cast<WPARAM>(m_pendingListing.get()) ||
        !IsCurrentListing(static_cast<std::uint32_t>(lParam)) ||
        !m_pendingListing->ready.load(std::memory_order_acquire)) {
        return 0;
    }
    const std::shared_ptr<DesktopListing> listing = std::move(m_pendingListing);
    static_cast<void>(StartIconLoader());
    static_cast<void>(FillItems(listing->records));
    if (m_panel) {
        static_cast<void>(m_panel->ModifyStyle(kStyleVisible, 0));
        static_cast<void>(m_panel->Refresh());
    }
    return 1;
}

int NsDesktop::AddByKind(const FileItemRecord& record, int placeNext, int select)
{
    // Folders, documents and programs; a drive on the desktop adds nothing.
    const bool placeable = record.kind >= kFileKindFolder && record.kind <= kFileKindProgram;
    return placeable ? AddItemForRecord(record, placeNext, select) : 0;
}

int NsDesktop::FillItems(std::vector<FileItemRecord>& records)
{
    if (m_grid.Count() == 0) {
        return 0;
    }
    static_cast<void>(AddComputerItem(kComputerItemPath));
    std::sort(records.begin(), records.end(), DesktopOrder);
    for (const FileItemRecord& record : records) {
        // Each icon marks the cell it takes; a record that adds none leaves its cell free.
        if (AddByKind(record, 1, 0)) {
            QueueIconRequest(record, kIconSize);
        }
    }
    return 1;
}

int NsDesktop::AddItems(const std::vector<std::wstring>& paths)
{
    int added = 0;
    for (const std::wstring& path : paths) {
        FileItemRecord record;
        if (!GetItemRecord(record, path) || !AddByKind(record, 0, 0)) {
            continue;
        }
        QueueIconRequest(record, kIconSize);
        const RECT cell = m_items.back()->Record().cellRect;
        static_cast<void>(MarkCell(cell.left, cell.top, cell.right, cell.bottom, 1));
        ++added;
    }
    if (added && m_panel) {
        static_cast<void>(m_panel->ChildrenChanged());
        static_cast<void>(m_panel->Refresh());
        static_cast<void>(m_panel->Redraw(TRUE));
    }
    return added;
}

int NsDesktop::AddItemsAndSelect(const std::vector<std::wstring>& paths, int rename)
{
    if (paths.empty()) {
        return 0;
    }
    ClearSelection(kCoverNormal, kCoverLeave);
    int added = 0;
    for (const std::wstring& path : paths) {
        FileItemRecord record;
        if (GetItemRecord(record, path) && AddByKind(record, 1, 1)) {
            QueueIconRequest(record, kIconSize);
            ++added;
        }
    }
    if (m_panel) {
        static_cast<void>(m_panel->ChildrenChanged());
        static_cast<void>(m_panel->Refresh());
    }
    if (paths.size() == 1 && added == 1 && rename) {
        PostMessageW(m_hostWindow, WM_COMMAND, MAKEWPARAM(ViewCommand::kRename, 0), 0);  // a new item starts renamed
    }
    return added;
}

int NsDesktop::IsViewFolder(const std::wstring& path)
{
    return IsSameFolder(path, SpecialFolder(CSIDL_DESKTOP)) ||
                   IsSameFolder(path, SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY))
               ? 1
               : 0;
}

int NsDesktop::PlaceNextItem(RECT* out, int, int)
{
    return out && m_grid.PlaceNext(m_placementCounter, *out) ? 1 : 0;
}

int NsDesktop::PlaceItemAtCursor(RECT* out)
{
    if (!out || m_grid.Count() == 0) {
        return 0;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(m_hostWindow, &cursor);
    cursor.y -= DesktopGrid::kCursorLift;
    if (!ItemFromPoint(&cursor) && m_grid.FreeCellAt(cursor, *out)) {
        return 1;
    }
    // Outside the grid or on a taken cell the icon still shows: in the next free cell.
    return PlaceNextItem(out, 0, 0);
}

int NsDesktop::MarkCell(int left, int top, int right, int bottom, int occupied)
{
    return m_grid.Mark(RECT{left, top, right, bottom}, occupied, m_placementCounter) ? 1 : 0;
}

int NsDesktop::IndexOfItem(NsIcon* item)
{
    if (NsExplorer::IndexOfItem(item) < 0) {
        return -1;  // none, or not one of this view's items
    }
    const RECT& cell = item->Record().cellRect;
    return m_grid.IndexAt(cell.left, cell.top);
}

int NsDesktop::CellIndexFromPoint(int x, int y) const noexcept
{
    return m_grid.IndexFromPoint(POINT{x, y});
}

NsIcon* NsDesktop::FindItemAtCell(int index)
{
    if (index < 0 || index >= m_grid.Count()) {
        return nullptr;
    }
    const RECT& cell = m_grid.Cells()[static_cast<size_t>(index)].rect;
    ScopedLock lock(m_itemsLock);
    for (const auto& item : m_items) {
        if (item->Record().cellRect.left == cell.left && item->Record().cellRect.top == cell.top) {
            return item.get();
        }
    }
    return nullptr;
}

int NsDesktop::OnArrowKey(UINT key)
{
    const int target = m_grid.ArrowTarget(key, CurrentIndex());
    if (target < 0) {
        return 0;
    }
    SelectByIndex(target);
    return 1;
}

void NsDesktop::SelectByIndex(int index)
{
    NsIcon* item = FindItemAtCell(index);
    if (!item) {
        return;
    }
    ClearSelection(kCoverNormal, kCoverLeave);
    static_cast<void>(Select(item, 0, kCoverClick));
}

int NsDesktop::OpenSelection()
{
    std::vector<std::wstring> folders;
    {
        ScopedLock lock(m_itemsLock);
        for (NsIcon* item : m_selection.Selected()) {
            if (!item->IsFolder() && !item->IsDrive()) {
                static_cast<void>(item->Open());  // programs and documents start in the sandbox
                continue;
            }
            std::wstring target;
            if (item->ResolveTarget(target) == SBFS_FOLDER) {
                folders.push_back(std::move(target));
            }
        }
    }
    // Folder windows are made without the lock: their first listing takes it.
    for (const std::wstring& folder : folders) {
        static_cast<void>(OpenFolderWindow(folder, std::wstring()));
    }
    return 1;
}

int NsDesktop::OpenFolderWindow(const std::wstring& folder, const std::wstring& select)
{
    const auto open = DesktopParts().openFolderWindow;
    return open ? open(m_hostWindow, m_ownerKey, folder, select) : 0;
}

int NsDesktop::BeginRefresh()
{
    return NsExplorer::BeginRefresh();
}

void NsDesktop::SyncItems()
{
    static_cast<void>(NsExplorer::SyncItems(GetCurrentPath(), 0));
}

void NsDesktop::OnLButtonDown(POINT point)
{
    Unhover(kCoverNormal);
    static_cast<void>(NsExplorer::OnLButtonDown(&point));
}

void NsDesktop::OnLButtonUp(POINT point)
{
    static_cast<void>(NsExplorer::OnLButtonUp(&point));
}

void NsDesktop::OnLButtonDblClk(POINT point)
{
    static_cast<void>(NsExplorer::OnLButtonDblClk(&point));
}

void NsDesktop::OnMouseMove(POINT point, WPARAM keys)
{
    if (keys & MK_LBUTTON) {
        static_cast<void>(NsExplorer::OnMouseMove(static_cast<UINT>(keys), &point));
        return;
    }
    NsIcon* item = ItemFromPoint(&point);
    if (!item) {
        Unhover(kCoverNormal);
    } else if (!IsSelected(item) && item != HoverItem()) {
        Unhover(kCoverNormal);
        static_cast<void>(Hover(item, kCoverHover));
    }
}

int NsDesktop::OnRButtonDown(POINT point, bool& isShortcut)
{
    int shortcut = 0;
    const int onItem = NsExplorer::OnRButtonDown(&point, &shortcut);
    isShortcut = shortcut != 0;
    return onItem;
}

void NsDesktop::RunItemCommand(WORD command, const std::wstring& desktopFolder)
{
    static_cast<void>(RunFileCommand(command, desktopFolder));
}

void NsDesktop::SelectAll()
{
    NsExplorer::SelectAll(1, kCoverClick);
}

void NsDesktop::TypeAhead(wchar_t character)
{
    NsExplorer::TypeAhead(character);
}

void NsDesktop::ClearTypeAhead()
{
    ResetTypeAhead();
}

void NsDesktop::ApplyChangeNotice(const ChangeNoticeRecord& notice)
{
    static_cast<void>(NsExplorer::ApplyChangeNotice(&notice));
}

LRESULT NsDesktop::OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NS_ITEMS_LOADED:
        return OnItemsLoaded(wParam, lParam);
    case WM_NS_ICON_LOADED:
        return ApplyLoadedIcon(reinterpret_cast<NsIcon*>(wParam), kIconSize);
    case WM_NS_DRAG_HIGHLIGHT:
        return ApplyDropHighlight(wParam, lParam);
    case WM_NS_RENAME_DONE:
        CommitRename(static_cast<int>(wParam));
        return 1;
    case WM_NS_RELOAD:
        return Reload(std::wstring());
    default:
        return 0;
    }
}

void InstallDesktopView() noexcept
{
    DesktopParts().view = [](Ivorrel_panel* site, HWND host, int ownerKey) -> std::unique_ptr<IDesktopView> {
        return std::unique_ptr<IDesktopView>(new (std::nothrow) NsDesktop(site, host, ownerKey));
    };
}

}  // namespace veyra
