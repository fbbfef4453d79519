#include "shell/explorer/NsExplorer.h"

#include <algorithm>
#include <new>
#include <unordered_set>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/iconview/NsIconApp.h"
#include "shell/iconview/NsIconFolder.h"
#include "shell/iconview/NsIconNoPe.h"
#include "shell/iconview/NsIconSpecial.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr wchar_t kFontFace[] = L"微软雅黑";
constexpr BYTE kPitchAndFamily = 32;

HFONT MakeFont(int height, int weight) noexcept
{
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, kPitchAndFamily, kFontFace);
}

}  // namespace

NsExplorer::NsExplorer(Ivorrel_panel* panel, HWND host, int ownerKey)
    : m_panel(ComPtr<Ivorrel_panel>::Copy(panel)), m_hostWindow(host), m_ownerKey(ownerKey),
      m_labelFont(MakeFont(-12, FW_NORMAL)), m_boldFont(MakeFont(-13, FW_BOLD))
{
    if (m_panel && FAILED(m_panel->GetScroll(m_scrollBar.put()))) {
        m_scrollBar.reset();
    }
}

NsExplorer::~NsExplorer()
{
    // A loader left running would post into a host that outlives this view, or touch it after it went.
    StopIconLoader();
    CloseRenameEditor();
    ScopedLock lock(m_itemsLock);
    m_selection.ForgetAll();
    m_items.clear();
}

int NsExplorer::EnumerateItems()
{
    return 0;
}

int NsExplorer::FillItems(std::vector<FileItemRecord>&)
{
    return 0;
}

int NsExplorer::OpenSelection()
{
    return 0;
}

int NsExplorer::Load(const std::wstring&)
{
    return 0;
}

int NsExplorer::Reload(const std::wstring& path)
{
    PauseIconLoader();
    ClearItems();
    return Load(path);
}

int NsExplorer::AddItems(const std::vector<std::wstring>&)
{
    return 0;
}

int NsExplorer::IsViewFolder(const std::wstring&)
{
    return 0;
}

void NsExplorer::UpdateStatus() {}

void NsExplorer::SetViewMode(std::uint32_t mode)
{
    m_viewMode = mode;
    static_cast<void>(ComputeGrid());
}

std::unique_ptr<NsIcon> NsExplorer::MakeItem(int kind)
{
    switch (kind) {
    case kFileKindFolder:
        return std::unique_ptr<NsIcon>(new (std::nothrow) NsIconFolder(&m_viewMode));
    case kFileKindProgram:
        return std::unique_ptr<NsIcon>(new (std::nothrow) NsIconApp(&m_viewMode));
    case kFileKindDrive:
        return std::unique_ptr<NsIcon>(new (std::nothrow) NsIconSpecial(&m_viewMode));
    default:
        return std::unique_ptr<NsIcon>(new (std::nothrow) NsIconNoPe(&m_viewMode));
    }
}

std::wstring NsExplorer::IndexKey(const std::wstring& path) const
{
    std::wstring key;
    if (!CSandBoxFileSystem::Instance().GetViewPath(path, key, m_ownerKey) || key.empty()) {
        key = path;
    }
    if (!key.empty()) {
        CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    }
    return key;
}

int NsExplorer::AppendItem(std::unique_ptr<NsIcon> item, FileItemRecord record, const RECT& cell)
{
    if (!item) {
        return 0;
    }
    record.cellRect = cell;
    if (!item->Init(m_panel.get(), cell, record, kCoverClick, kItemTheme)) {
        return 0;  // deleted here, never shown
    }
    std::wstring key = IndexKey(item->Record().path);
    ScopedLock lock(m_itemsLock);
    NsIcon* added = item.get();
    m_items.push_back(std::move(item));
    m_pathIndex.emplace(std::move(key), added);
    if (!m_positionsStale) {
        m_positions[added] = static_cast<int>(m_items.size() - 1);
    }
    ++m_itemTotal;
    return 1;
}

int NsExplorer::AddPlacedItem(int kind, const FileItemRecord& record, int placeNext, int select)
{
    const PlacementState before{{m_columns, m_rows}, m_placementCounter, m_groupOffset};
    RECT cell{};
    if (!(placeNext == 1 ? PlaceNextItem(&cell, 0, 0) : PlaceItemAtCursor(&cell))) {
        return 0;
    }
    if (!AppendItem(MakeItem(kind), record, cell)) {
        // The cell goes back, or the next item would leave a hole.
        m_placementCounter = before.counter;
        m_groupOffset = before.groupOffset;
        return 0;
    }
    NsIcon* item = m_items.back().get();
    SetTaskbarCover(item);
    if (select == 1) {
        static_cast<void>(Select(item, 0, kCoverClick));
    }
    return 1;
}

int NsExplorer::AddFolderItem(const FileItemRecord& record, int placeNext, int select)
{
    return AddPlacedItem(kFileKindFolder, record, placeNext, select);
}

int NsExplorer::AddDocumentItem(const FileItemRecord& record, int placeNext, int select)
{
    return AddPlacedItem(kFileKindFile, record, placeNext, select);
}

int NsExplorer::AddAppItem(const FileItemRecord& record, int placeNext, int select)
{
    return AddPlacedItem(kFileKindProgram, record, placeNext, select);
}

int NsExplorer::AddSpecialItem(const FileItemRecord& record, int groupStart, int groupGap)
{
    const PlacementState before{{m_columns, m_rows}, m_placementCounter, m_groupOffset};
    RECT cell{};
    if (!PlaceNextItem(&cell, groupStart, groupGap)) {
        return 0;
    }
    if (!AppendItem(MakeItem(kFileKindDrive), record, cell)) {
        m_placementCounter = before.counter;
        m_groupOffset = before.groupOffset;
        return 0;
    }
    return 1;
}

int NsExplorer::AddComputerItem(const std::wstring& path)
{
    FileItemRecord record;
    record.path = path;
    record.kind = kFileKindDrive;
    record.sandboxId = m_ownerKey;
    record.driveType = 0;
    return AddSpecialItem(record, 0, 0);
}

int NsExplorer::AddItemForRecord(const FileItemRecord& record, int placeNext, int select)
{
    switch (record.kind) {
    case kFileKindFolder:
        return AddFolderItem(record, placeNext, select);
    case kFileKindProgram:
        return AddAppItem(record, placeNext, select);
    case kFileKindDrive:
        return AddSpecialItem(record, 0, 0);
    default:
        return AddDocumentItem(record, placeNext, select);
    }
}

void NsExplorer::SetTaskbarCover(NsIcon* item)
{
    if (item && m_viewMode == VIEW_MODE_TASKBAR) {
        ScopedLock lock(m_itemsLock);
        item->SetCover(kCoverTaskbar);
    }
}

void NsExplorer::SetCover(NsIcon* item, const wchar_t* image)
{
    if (item) {
        item->SetCover(image);
    }
}

void NsExplorer::CloseRenameEditor() noexcept
{
    if (m_renameEditor) {
        // Closed without renaming: the notice its losing the focus posts finds no editor.
        m_renameEditor->ForgetItem();
        if (m_renameEditor->Handle()) {
            SendMessageW(m_renameEditor->Handle(), WM_CLOSE, 0, 0);
        }
        m_renameEditor.reset();
    }
    m_renamingItem = nullptr;
}

void NsExplorer::ForgetItem(NsIcon* item)
{
    m_selection.Forget(item);
    if (m_renamingItem == item || (m_renameEditor && m_renameEditor->Item() == item)) {
        CloseRenameEditor();
    }
    const auto range = m_pathIndex.equal_range(IndexKey(item->Record().path));
    for (auto entry = range.first; entry != range.second; ++entry) {
        if (entry->second == item) {
            m_pathIndex.erase(entry);
            break;
        }
    }
}

void NsExplorer::ClearItems()
{
    m_fill = PendingFill{};  // what was still to come belongs to the items that go
    CloseRenameEditor();
    if (m_panel) {
        static_cast<void>(m_panel->RemoveAllChildren());
        static_cast<void>(m_panel->Refresh());
    }
    {
        ScopedLock lock(m_itemsLock);
        m_selection.ForgetAll();
        m_items.clear();
        m_pathIndex.clear();
        m_positions.clear();
        m_positionsStale = false;
        m_placementCounter = 0;
        m_itemTotal = 0;
    }
    static_cast<void>(ComputeGrid());
}

void NsExplorer::RemoveItems(std::vector<NsIcon*>& items)
{
    if (items.empty()) {
        return;
    }
    {
        ScopedLock lock(m_itemsLock);
        const std::unordered_set<const NsIcon*> leaving(items.begin(), items.end());
        std::vector<ItemPlace> places;
        std::vector<char> removed;
        places.reserve(m_items.size());
        removed.reserve(m_items.size());
        for (const auto& item : m_items) {
            places.push_back(ItemPlace{item->Record().cellRect, item->Record().labelRect});
            removed.push_back(leaving.count(item.get()) ? 1 : 0);
        }
        const bool packed = m_viewMode != VIEW_MODE_DESKTOP;
        const std::vector<ItemPlace> closed = packed ? ClosePlaces(places, removed) : std::vector<ItemPlace>{};
        ItemList kept;
        kept.reserve(m_items.size());
        int removedCount = 0;
        for (size_t index = 0; index < m_items.size(); ++index) {
            std::unique_ptr<NsIcon>& item = m_items[index];
            if (!removed[index]) {
                kept.push_back(std::move(item));
                continue;
            }
            const RECT cell = item->Record().cellRect;
            ForgetItem(item.get());
            item->Hide();
            item.reset();  // its panel leaves the view panel with it
            ++removedCount;
            if (!packed) {
                static_cast<void>(MarkCell(cell.left, cell.top, cell.right, cell.bottom, 0));
            }
        }
        for (size_t index = 0; packed && index < kept.size(); ++index) {
            const ItemPlace& place = closed[index];
            if (!EqualRect(&place.cell, &kept[index]->Record().cellRect)) {
                kept[index]->MoveTo(place.cell, place.label);  // repainted with the panel below
            }
        }
        m_items = std::move(kept);
        if (packed) {
            m_placementCounter = std::max(0, m_placementCounter - removedCount);
        }
        m_positionsStale = true;
        m_itemTotal -= static_cast<int>(items.size());
    }
    if (m_panel) {
        static_cast<void>(m_panel->ChildrenChanged());
        static_cast<void>(m_panel->Refresh());
    }
    FollowRenamingItem();
    items.clear();
    ResetSelectionState();
    UpdateStatus();  // the count changed, and a selected item that left must not stay described
}

int NsExplorer::RemoveItemsByPath(const std::vector<std::wstring>& paths)
{
    std::vector<NsIcon*> found;
    for (const std::wstring& path : paths) {
        if (NsIcon* item = FindItemByPath(path)) {
            found.push_back(item);
        }
    }
    if (found.empty()) {
        return 0;
    }
    RemoveItems(found);
    return 1;
}

void NsExplorer::ResetSelectionState()
{
    ScopedLock lock(m_itemsLock);
    m_selection.Reset(kCoverNormal);
}

NsIcon* NsExplorer::FindItemByPath(const std::wstring& path)
{
    const std::wstring key = IndexKey(path);
    ScopedLock lock(m_itemsLock);
    const auto range = m_pathIndex.equal_range(key);
    NsIcon* first = nullptr;
    int firstIndex = 0;
    for (auto entry = range.first; entry != range.second; ++entry) {
        const int index = IndexOfItem(entry->second);
        if (!first || index < firstIndex) {
            first = entry->second;
            firstIndex = index;
        }
    }
    return first;
}

bool NsExplorer::HoldsItem(const NsIcon* item)
{
    if (!item) {
        return false;
    }
    ScopedLock lock(m_itemsLock);
    RebuildPositions();
    return m_positions.count(item) != 0;
}

int NsExplorer::GetItemRecord(FileItemRecord& record, const std::wstring& path)
{
    return CSandBoxFileSystem::Instance().GetFileItem(record, path, m_ownerKey) ? 1 : 0;
}

void NsExplorer::RebuildPositions()
{
    if (!m_positionsStale) {
        return;
    }
    m_positions.clear();
    for (size_t index = 0; index < m_items.size(); ++index) {
        m_positions[m_items[index].get()] = static_cast<int>(index);
    }
    m_positionsStale = false;
}

int NsExplorer::IndexOfItem(NsIcon* item)
{
    if (!item) {
        return -1;
    }
    ScopedLock lock(m_itemsLock);
    RebuildPositions();
    const auto found = m_positions.find(item);
    return found == m_positions.end() ? -1 : found->second;
}

int NsExplorer::ItemCount()
{
    ScopedLock lock(m_itemsLock);
    return static_cast<int>(m_items.size());
}

NsIcon* NsExplorer::ItemAt(int index)
{
    ScopedLock lock(m_itemsLock);
    return index >= 0 && index < static_cast<int>(m_items.size()) ? m_items[static_cast<size_t>(index)].get() : nullptr;
}

}  // namespace veyra
