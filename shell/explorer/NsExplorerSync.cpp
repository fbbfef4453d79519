// NsExplorer: keeping the items in step with the disk without a rebuild - items for given paths, the
// delayed Refresh, the resync that applies only the difference of a fresh listing, and the workers'
// change notices, each of which adds or removes the one item it names. UI thread.

#include <cwchar>
#include <cwctype>
#include <unordered_map>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/explorer/NsExplorer.h"
#include "shell/explorer/ViewMessages.h"

namespace veyra {

namespace {

constexpr UINT kRefreshDelayMs = 50;
constexpr WORD kRenameCommand = 32802;
constexpr int kIconSize = 48;

constexpr int kMarkFound = 0;
constexpr int kMarkNew = 1;
constexpr int kMarkVanished = 2;

bool IsNamespacePath(const std::wstring& path)
{
    return path.starts_with(L"::");
}

// A drive as the computer view lists it ("C:"); false for any other path or a drive that is not there.
bool MakeDriveRecord(FileItemRecord& record, const std::wstring& path, int ownerKey)
{
    if (path.size() != 2 || path[1] != L':' || !iswalpha(path[0])) {
        return false;
    }
    const UINT type = GetDriveTypeW((path + L"\\").c_str());
    if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN) {
        return false;
    }
    record.path = path;
    record.kind = kFileKindDrive;
    record.driveType = static_cast<std::int32_t>(type);
    record.sandboxId = ownerKey;
    return true;
}

}  // namespace

int NsExplorer::AddItemsAndSelect(const std::vector<std::wstring>& paths, int select)
{
    if (paths.empty()) {
        return 0;
    }
    ClearSelection(kCoverNormal, kCoverLeave);
    NsIcon* last = nullptr;
    for (const std::wstring& path : paths) {
        FileItemRecord record;
        if (!MakeDriveRecord(record, path, m_ownerKey) && !GetItemRecord(record, path)) {
            continue;  // gone again, or never there
        }
        // Drives too (as special items), so a resync of the computer view shows a drive that came later.
        if (!AddItemForRecord(record, 1, 1)) {
            continue;
        }
        last = m_items.back().get();
        QueueIconRequest(last->Record(), kIconSize);
    }
    if (!last) {
        return m_itemTotal;
    }
    if (m_panel) {
        static_cast<void>(m_panel->ChildrenChanged());
    }
    EnsureVisible(last);
    RepaintPanel();
    if (paths.size() == 1 && select == 1) {
        return PostMessageW(m_hostWindow, WM_COMMAND, MAKEWPARAM(kRenameCommand, 0), 0);
    }
    return m_itemTotal;
}

int NsExplorer::BeginRefresh()
{
    {
        ScopedLock lock(m_itemsLock);
        for (const auto& item : m_items) {
            item->Hide();
        }
    }
    RepaintPanel();
    // The same timer again: a second Refresh within the delay re-arms it, so one resync runs.
    return static_cast<int>(SetTimer(m_hostWindow, kRefreshTimer, kRefreshDelayMs, nullptr));
}

void NsExplorer::CollectShownRecords(std::vector<FileItemRecord>& records, std::vector<NsIcon*>& items)
{
    ScopedLock lock(m_itemsLock);
    records.reserve(m_items.size());
    items.reserve(m_items.size());
    for (const auto& item : m_items) {
        records.push_back(item->Record());
        records.back().syncMark = kMarkVanished;
        items.push_back(item.get());
    }
}

void NsExplorer::RestoreItemAnimations()
{
    {
        ScopedLock lock(m_itemsLock);
        for (const auto& item : m_items) {
            item->Show();
        }
    }
    RepaintPanel();
}

// A control's shown state changes without a repaint of its own: the panel repaints once for all.
void NsExplorer::RepaintPanel()
{
    if (m_panel) {
        static_cast<void>(m_panel->Refresh());
    }
}

int NsExplorer::SyncItems(const std::wstring&, int)
{
    std::vector<FileItemRecord> shown;
    std::vector<NsIcon*> shownItems;
    CollectShownRecords(shown, shownItems);

    // A listing of the resync's own: nothing a load thread fills or a queued message carries.
    m_listing = std::make_unique<std::vector<FileItemRecord>>();
    const int listed = EnumerateItems();
    const std::unique_ptr<std::vector<FileItemRecord>> fresh = std::move(m_listing);
    if (!listed || !fresh) {
        // A failed listing says nothing about the disk: everything stays, and shows again.
        RestoreItemAnimations();
        return 0;
    }
    m_fill = PendingFill{};  // the fresh listing brings in what a fill had still to add

    int removed = 0, added = 0;
    if (MergeListing(shown, *fresh, removed, added)) {
        std::vector<NsIcon*> leaving;
        std::vector<std::wstring> arriving;
        for (size_t index = 0; index < shown.size(); ++index) {
            const FileItemRecord& record = shown[index];
            if (record.syncMark == kMarkVanished && index < shownItems.size() && !IsNamespacePath(record.path)) {
                leaving.push_back(shownItems[index]);  // this item, not the first of its path
            } else if (record.syncMark == kMarkNew) {
                arriving.push_back(record.path);
            }
        }
        RemoveItems(leaving);
        static_cast<void>(AddItemsAndSelect(arriving, 0));
    }
    RestoreItemAnimations();
    return 1;
}

int NsExplorer::MergeListing(std::vector<FileItemRecord>& shown, const std::vector<FileItemRecord>& fresh,
                             int& removed, int& added)
{
    removed = fresh.size() < shown.size() ? 1 : 0;
    added = fresh.size() > shown.size() ? 1 : 0;
    // The shown records by path, in display order; a path rarely has more than one.
    std::unordered_map<std::wstring, std::vector<size_t>> byPath;
    byPath.reserve(shown.size());
    for (size_t index = 0; index < shown.size(); ++index) {
        byPath[shown[index].path].push_back(index);
    }
    size_t kept = 0;
    for (const FileItemRecord& entry : fresh) {
        bool found = false;
        if (const auto match = byPath.find(entry.path); match != byPath.end()) {
            for (const size_t index : match->second) {
                FileItemRecord& candidate = shown[index];
                if (candidate.syncMark == kMarkVanished && candidate.kind == entry.kind) {
                    candidate.syncMark = kMarkFound;
                    found = true;
                    break;
                }
            }
        }
        if (found) {
            ++kept;
            continue;
        }
        shown.push_back(entry);
        shown.back().syncMark = kMarkNew;
        added = 1;
    }
    // Shown records that found no entry stay marked 2.
    return (fresh.size() != kept || added || removed) ? 1 : 0;
}

int NsExplorer::ApplyChangeNotice(const ChangeNoticeRecord* record)
{
    if (!record || record->kind == 0) {
        return 0;
    }
    const std::wstring named(record->path1, wcsnlen(record->path1, std::size(record->path1)));
    CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    std::wstring path;
    if (named.empty() || !view.GetViewPath(named, path, m_ownerKey) || path.empty()) {
        return 0;
    }
    const std::wstring parent = view.GetParentPath(path);
    std::wstring viewParent;
    if (parent.empty() || !view.GetViewPath(parent, viewParent, m_ownerKey) || viewParent.empty()) {
        return 0;  // a drive root lies in no folder view
    }
    if (!IsViewFolder(viewParent)) {
        return 0;
    }
    switch (record->kind) {
    case NoticeKind::kFileAppeared:
    case NoticeKind::kFolderAppeared:
        FollowNoticeDuringFill(path, false);
        if (!FindItemByPath(path)) {  // an overwritten file is shown already
            static_cast<void>(AddItems({path}));
        }
        break;
    case NoticeKind::kFileGone:
    case NoticeKind::kFolderGone:
        FollowNoticeDuringFill(path, true);
        static_cast<void>(RemoveItemsByPath({path}));
        break;
    default:
        break;
    }
    return 1;
}

}  // namespace veyra
