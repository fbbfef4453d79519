#pragma once
// The engine behind every icon view: the items shown in one skin panel of a host window, their grid,
// the selection with focus, anchor, hover and drop highlight, the rename box, and the icon loader thread
// with its cache. Subclasses supply the listing and what opening means; the host window turns its mouse,
// keyboard, timer and private messages into calls of these operations.
//
// The view owns its items. The UI thread does everything but make images; the loader thread looks items
// up by path (the items lock, briefly) and posts WM_NS_ICON_LOADED, which names an item that the host
// checks against the list before it touches it. Three locks - items, queue, cache - never two at once.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/ComPtr.h"
#include "base/CriticalSection.h"
#include "base/RefCounted.h"
#include "base/UniqueResource.h"
#include "core/fileops/ChangeNotice.h"
#include "core/sandboxview/FileItemRecord.h"
#include "shell/explorer/IconLoader.h"
#include "shell/explorer/ViewLayout.h"
#include "shell/explorer/ViewMode.h"
#include "shell/explorer/ViewSelection.h"
#include "shell/iconview/CSimpleEditCtrl.h"
#include "shell/iconview/NsIcon.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace veyra {

inline constexpr wchar_t kComputerItemPath[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
inline constexpr wchar_t kItemTheme[] = L"sandbox_default";

class NsExplorer : private ViewSelectionHost {
public:
    // `panel`: the host's panel the items live in (kept counted); `host`: receives posts and timers.
    NsExplorer(vorrelUI::Ivorrel_panel* panel, HWND host, int ownerKey);
    NsExplorer(const NsExplorer&) = delete;
    NsExplorer& operator=(const NsExplorer&) = delete;

    // The slots in their fixed order.
    virtual ~NsExplorer();                                                                   // 0
    virtual int EnumerateItems();                                                            // 1
    virtual int FillItems(std::vector<FileItemRecord>& records);                             // 2
    virtual int OpenSelection();                                                             // 3
    virtual int OnLButtonDown(POINT* point);                                                 // 4
    virtual int OnRButtonDown(POINT* point, int* outShortcutFlag);                           // 5
    virtual int OnLButtonUp(POINT* point);                                                   // 6
    virtual int OnLButtonDblClk(POINT* point);                                               // 7
    virtual int OnMouseMove(UINT keyFlags, POINT* point);                                    // 8
    virtual int Load(const std::wstring& path);                                              // 9
    virtual int Reload(const std::wstring& path);                                            // 10
    virtual int BeginRefresh();                                                              // 11
    virtual int SyncItems(const std::wstring& path, int unused);                             // 12
    virtual int AddItems(const std::vector<std::wstring>& paths);                            // 13
    virtual int AddItemsAndSelect(const std::vector<std::wstring>& paths, int select);       // 14
    virtual int IsViewFolder(const std::wstring& path);                                      // 15
    virtual int ComputeGrid();                                                               // 16
    virtual int ChooseViewMode(const std::wstring& path, std::uint32_t* mode, int isDesktop);  // 17
    virtual int PlaceNextItem(RECT* out, int groupStart, int groupGap);                      // 18
    virtual int PlaceItemAtCursor(RECT* out);                                                // 19
    virtual int MarkCell(int left, int top, int right, int bottom, int occupied);            // 20
    virtual int IndexOfItem(NsIcon* item);                                                   // 21
    virtual int OnArrowKey(UINT key);                                                        // 22
    virtual void SelectByIndex(int index);                                                   // 23
    virtual void UpdateStatus();                                                             // 24
    virtual NsIcon* ItemFromPoint(POINT* point);                                             // 25

    // --- Items ---
    void ClearItems();
    int AddFolderItem(const FileItemRecord& record, int placeNext, int select);
    int AddDocumentItem(const FileItemRecord& record, int placeNext, int select);
    int AddAppItem(const FileItemRecord& record, int placeNext, int select);
    int AddSpecialItem(const FileItemRecord& record, int groupStart, int groupGap);
    int AddComputerItem(const std::wstring& path);
    // The member of the family for the record's kind (drives as special items, no group).
    int AddItemForRecord(const FileItemRecord& record, int placeNext, int select);
    void SetTaskbarCover(NsIcon* item);
    // Removes the listed items (the list is emptied); the rest close up except on the desktop.
    void RemoveItems(std::vector<NsIcon*>& items);
    // Puts the items in `order` (each of them once), each into the cell its new position takes in a
    // packed view; not repainted. False, and nothing changed, when `order` is not the view's items.
    bool ReorderItems(const std::vector<NsIcon*>& order);
    int RemoveItemsByPath(const std::vector<std::wstring>& paths);
    [[nodiscard]] NsIcon* FindItemByPath(const std::wstring& path);
    // Whether the item is one of this view's items now (a posted pointer may name a removed one).
    [[nodiscard]] bool HoldsItem(const NsIcon* item);
    int GetItemRecord(FileItemRecord& record, const std::wstring& path);
    [[nodiscard]] std::wstring GetCurrentPath() const { return m_currentPath; }
    void SetCurrentPath(std::wstring path) { m_currentPath = std::move(path); }
    void SetViewMode(std::uint32_t mode);
    [[nodiscard]] std::uint32_t ViewMode() const noexcept { return m_viewMode; }
    [[nodiscard]] int ItemCount();
    [[nodiscard]] int ItemTotal() const noexcept { return m_itemTotal; }
    [[nodiscard]] ViewGrid Grid() const noexcept { return ViewGrid{m_columns, m_rows}; }
    [[nodiscard]] int PlacementCounter() const noexcept { return m_placementCounter; }
    // The item at a display position, or none.
    [[nodiscard]] NsIcon* ItemAt(int index);

    // --- Listings: a Reload supersedes every listing still on its way, and frees the one being filled ---
    [[nodiscard]] std::uint32_t BeginListing() noexcept
    {
        m_fill = PendingFill{};
        return ++m_listingNumber;
    }
    [[nodiscard]] bool IsCurrentListing(std::uint32_t number) const noexcept { return number == m_listingNumber; }
    [[nodiscard]] std::uint32_t ListingNumber() const noexcept { return m_listingNumber; }

    // --- Stepped fill: a long listing goes in a bounded step at a time, the window answering between ---
    // One record's item and image request; nonzero when an item was added.
    using FillAdder = std::function<int(const FileItemRecord&)>;
    // Records one step hands out at most; a step also ends once its time is spent.
    static constexpr size_t kFillStepItems = 24;
    // Takes over `records` (moved, never copied) as the current listing's, fills its first step through
    // `add`, and while some remain posts the host WM_NS_ITEMS_LOADED with wParam 0 and lParam the
    // listing's number, to be answered by ContinueFill. The items added by this step.
    int BeginSteppedFill(std::vector<FileItemRecord>& records, const FillAdder& add);
    // The next step of listing `number`; 0, nothing added, when it is not the one being filled.
    int ContinueFill(std::uint32_t number, const FillAdder& add);
    // Records of the listing being filled that are not added yet.
    [[nodiscard]] size_t PendingFillRecords() const noexcept
    {
        return m_fill.records ? m_fill.records->size() - m_fill.next : 0;
    }

    // --- Layout and scrolling ---
    int PointOnFocusLabel(POINT* point);
    void EnsureVisible(NsIcon* item);
    [[nodiscard]] int ScrollPosition() const noexcept;
    [[nodiscard]] RECT PanelRect() const noexcept;

    // --- Selection ---
    int IsSelected(NsIcon* item);
    void ClearSelection(const wchar_t* normalImage, const wchar_t* leaveImage);
    void DropFocusMark(const wchar_t* image);
    int Select(NsIcon* item, int keepFocusMark, const wchar_t* image);
    int SelectRange(NsIcon* item, const wchar_t* image);
    void SelectAll(int flag, const wchar_t* image);
    int CurrentIndex();
    void TypeAhead(wchar_t character);
    void ResetTypeAhead() { m_typeAheadPrefix.clear(); }
    void SelectNamed(const std::wstring& path);
    int Hover(NsIcon* item, const wchar_t* image);
    void Unhover(const wchar_t* image);
    void SetDropHighlight(NsIcon* item, const wchar_t* image);
    void ClearDropHighlight(const wchar_t* image);
    // A drag step runs inside OLE's loop and posts the item it lights (WM_NS_DRAG_HIGHLIGHT to `window`);
    // the host applies the post when it arrives. Posts of a drag that has ended since do nothing: the
    // drop's own step posts one after the drop.
    void PostDropHighlight(HWND window, NsIcon* item);
    // 1 when the post lit a held item of the drag still over the view.
    int ApplyDropHighlight(WPARAM wParam, LPARAM lParam);
    void EndDropHighlight();
    void SetItemTooltip(NsIcon* item);
    int GetFileDetails(const std::wstring& path, NsIcon* item);
    void ResetSelectionState();
    [[nodiscard]] std::vector<NsIcon*> SelectedItems();
    [[nodiscard]] NsIcon* FocusItem();
    [[nodiscard]] NsIcon* AnchorItem();
    [[nodiscard]] NsIcon* HoverItem();
    [[nodiscard]] NsIcon* DropHighlightItem();
    [[nodiscard]] NsIcon* RenamingItem() const noexcept { return m_renamingItem; }
    [[nodiscard]] int FocusMark();
    [[nodiscard]] int PressedOnItem() const noexcept { return m_pressedOnItem; }

    // --- Rename ---
    int BeginRename();
    void CommitRename(int changed);
    [[nodiscard]] CSimpleEditCtrl* RenameEditor() const noexcept { return m_renameEditor.get(); }
    void CollectSelectedPaths(std::vector<std::wstring>& paths);
    int BeginDrag(const std::vector<std::wstring>& paths);

    // --- Commands of the host's menu and keys, on the selection or the given folder ---
    // A new empty document or folder under the first free name (SBFS_CREATE_FAILED when all 100 are
    // taken), added, selected and handed to the in-place rename.
    int NewTextDocument(const std::wstring& folder);
    int NewFolder(const std::wstring& folder);
    int DeleteSelection();
    int CopySelection(int isCopy);
    int PasteItems(const std::wstring& folder);
    int CreateShortcuts();
    int OpenFileLocation();
    // Runs one of menu 201's file commands (ViewCommandIds.h: paste, new, open location, cut, copy,
    // delete, rename, shortcuts) on the selection or `folder`; false for any other id.
    bool RunFileCommand(WORD command, const std::wstring& folder);

    // --- Resync and change notices ---
    // Marks `shown` against `fresh`: each fresh entry keeps the first shown record of its path and kind
    // still marked 2 (mark 0), or is appended to `shown` with mark 1. Nonzero when anything changed.
    static int MergeListing(std::vector<FileItemRecord>& shown, const std::vector<FileItemRecord>& fresh,
                            int& removed, int& added);
    // Adds or removes the one item a worker's notice names, when it lies in this view's folder: 1, else 0.
    int ApplyChangeNotice(const ChangeNoticeRecord* record);

    // --- Icon loader ---
    int StartIconLoader();
    void ResumeIconLoader();
    void PauseIconLoader();
    void StopIconLoader();
    void QueueIconRequest(const std::wstring& keyPath, int isFolder, int size, int origin = kOriginUnknown);
    // A listed item's request, with the side its listing found it on.
    void QueueIconRequest(const FileItemRecord& record, int size);
    int LoadRequestedIcon(const IconRequest& request, SharedImage image);
    int ApplyLoadedIcon(NsIcon* item, int size);
    [[nodiscard]] SharedImage FindCachedIcon(const std::wstring& keyPath, int size);
    [[nodiscard]] int NeedsLoadedImage(const std::wstring& path) const;
    // Before the loader starts: how its images are made (the shell's thumbnails unless told otherwise).
    void SetIconImageMaker(IconImageMaker maker) { m_imageMaker = std::move(maker); }
    [[nodiscard]] bool IconLoaderRunning() const noexcept { return m_loaderThread.valid(); }
    [[nodiscard]] size_t IconQueueLength();

protected:
    // The item for a record of the family's kinds; nullptr when it cannot be made.
    std::unique_ptr<NsIcon> MakeItem(int kind);
    // The upper-cased view path by which FindItemByPath indexes an item.
    [[nodiscard]] std::wstring IndexKey(const std::wstring& path) const;

    int m_columns = 0;
    int m_rows = 0;
    int m_placementCounter = 0;
    int m_groupOffset = 0;
    CriticalSection m_itemsLock;
    ViewSelection m_selection{*this};
    ItemList m_items;
    NsIcon* m_renamingItem = nullptr;
    ComPtr<vorrelUI::Ivorrel_panel> m_panel;
    ComPtr<vorrelUI::Ivorrel_scroll> m_scrollBar;
    HWND m_hostWindow;
    int m_ownerKey;
    int m_itemTotal = 0;
    std::uint32_t m_viewMode = 0;
    int m_pressedOnItem = 0;
    std::unique_ptr<CSimpleEditCtrl> m_renameEditor;
    UniqueFont m_labelFont;
    UniqueFont m_boldFont;
    std::wstring m_currentPath;
    std::wstring m_typeAheadPrefix;
    // The resync's own listing, which EnumerateItems (slot 1) fills; load threads post vectors of their own.
    std::unique_ptr<std::vector<FileItemRecord>> m_listing;
    UniqueHandle m_loaderThread;
    RefPtr<IconLoaderState> m_loader;  // events, queue and cache, co-owned by the loader thread
    IconImageMaker m_imageMaker;

private:
    // ViewSelectionHost, called under the items lock.
    void SetCover(NsIcon* item, const wchar_t* image) override;
    int DisplayIndexOf(NsIcon* item) override { return IndexOfItem(item); }
    void SelectionChanged() override { UpdateStatus(); }

    int AddPlacedItem(int kind, const FileItemRecord& record, int placeNext, int select);
    int AppendItem(std::unique_ptr<NsIcon> item, FileItemRecord record, const RECT& cell);
    void ForgetItem(NsIcon* item);
    void CloseRenameEditor() noexcept;
    void RebuildPositions();
    int NewItemUnder(const std::wstring& folder, const std::wstring& stem, const wchar_t* extension,
                     bool isFolder);
    // The selected items' full paths in selection order, drives and the computer item left out.
    std::vector<std::wstring> SelectedFilePaths();
    // The sandbox copy's path when there is one, else the path itself.
    [[nodiscard]] std::wstring ResolvedPath(const std::wstring& path) const;
    // Records of the items shown in display order (mark 2) and the items themselves, side by side.
    void CollectShownRecords(std::vector<FileItemRecord>& records, std::vector<NsIcon*>& items);
    void RestoreItemAnimations();
    // The rename box over the caption of the item with this record; moved along when the item closes up.
    [[nodiscard]] RECT RenameEditorRect(const FileItemRecord& record) const;
    void FollowRenamingItem();
    void RepaintPanel();
    int FillStep(const FillAdder& add);

    // A change notice between two steps of the fill: what it adds is not added again by a later step, and
    // what it removes is not brought back by one.
    void FollowNoticeDuringFill(const std::wstring& path, bool gone);

    struct PendingFill {
        std::unique_ptr<std::vector<FileItemRecord>> records;
        size_t next = 0;
        std::uint32_t number = 0;
        bool noticed = false;  // a notice came since the fill began: each record is looked up before it goes in
    };
    PendingFill m_fill;

    std::unordered_multimap<std::wstring, NsIcon*> m_pathIndex;   // under the items lock
    std::unordered_map<const NsIcon*, int> m_positions;          // display positions, under the items lock
    bool m_positionsStale = false;
    std::uint32_t m_listingNumber = 0;
    std::uint32_t m_dragNumber = 0;  // of the drag the highlight posts belong to
};

}  // namespace veyra
