#pragma once
// The desktop view: the icons of the user's and the common desktop seen through the sandbox, in the
// desktop window's panel 2001, laid out in a fixed grid filled column by column with My Computer
// always first. The desktop window owns it (through IDesktopView) and uses it on the UI thread; a
// short-lived load thread lists the desktop and posts the listing, which only the newest load fills.
// It is also the desktop's drop target handler: drops onto folder icons, onto the desktop, and the
// repositioning of an icon dragged within it.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/desktop/DesktopGrid.h"
#include "shell/desktop/DesktopParts.h"
#include "shell/dragdrop/CIDropTarget.h"
#include "shell/explorer/NsExplorer.h"

namespace veyra {

struct DesktopListing;

class NsDesktop final : public NsExplorer, public IDesktopView, public DropCallbacks {
public:
    NsDesktop(vorrelUI::Ivorrel_panel* site, HWND host, int ownerKey);
    ~NsDesktop() override;

    // The user's desktop folder (CSIDL_DESKTOPDIRECTORY), empty when it cannot be read.
    [[nodiscard]] const std::wstring& DesktopFolder() const noexcept { return m_desktopFolder; }
    [[nodiscard]] const DesktopGrid& Grid() const noexcept { return m_grid; }
    // The listing of the desktop for `sandboxId`, unsorted; what the load thread runs.
    static int ListDesktop(std::vector<FileItemRecord>& records, int sandboxId);

    // NsExplorer slots.
    int EnumerateItems() override;
    int FillItems(std::vector<FileItemRecord>& records) override;
    int OpenSelection() override;
    int Load(const std::wstring& path) override;
    int Reload(const std::wstring& path) override;
    int AddItems(const std::vector<std::wstring>& paths) override;
    int AddItemsAndSelect(const std::vector<std::wstring>& paths, int rename) override;
    int IsViewFolder(const std::wstring& path) override;
    int PlaceNextItem(RECT* out, int groupStart, int groupGap) override;
    int PlaceItemAtCursor(RECT* out) override;
    int MarkCell(int left, int top, int right, int bottom, int occupied) override;
    int IndexOfItem(NsIcon* item) override;
    int OnArrowKey(UINT key) override;
    void SelectByIndex(int index) override;

    // The cell of a host point (the drop's reposition), or -1.
    [[nodiscard]] int CellIndexFromPoint(int x, int y) const noexcept;
    // The icon whose item rectangle starts at cell `index`, or none.
    [[nodiscard]] NsIcon* FindItemAtCell(int index);

    // IDesktopView: what the desktop window's messages reach.
    int BeginRefresh() override;
    void SyncItems() override;
    void OnLButtonDown(POINT point) override;
    void OnLButtonUp(POINT point) override;
    void OnLButtonDblClk(POINT point) override;
    void OnMouseMove(POINT point, WPARAM keys) override;
    int OnRButtonDown(POINT point, bool& isShortcut) override;
    void RunItemCommand(WORD command, const std::wstring& desktopFolder) override;
    void SelectAll() override;
    void TypeAhead(wchar_t character) override;
    void ClearTypeAhead() override;
    void ApplyChangeNotice(const ChangeNoticeRecord& notice) override;
    int OpenFolderWindow(const std::wstring& folder, const std::wstring& select) override;
    LRESULT OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    DropCallbacks* DropHandler() noexcept override { return this; }

    // DropCallbacks (NsDesktopDrop.cpp).
    void DragOverTarget(IDataObject* dataObject, const std::vector<std::wstring>& paths, POINT clientPoint,
                        DWORD& effect, std::wstring& targetPath, int& noMove) override;
    void DropOnTarget(IDataObject* dataObject, const std::vector<std::wstring>& paths, const std::wstring& targetPath,
                      int move) override;
    void DragEnded() override;

private:
    LRESULT OnItemsLoaded(WPARAM wParam, LPARAM lParam);
    int AddByKind(const FileItemRecord& record, int placeNext, int select);
    // Moves the one selected icon to the free cell under `point`; false when that is not possible.
    bool RepositionSelection(POINT point);

    std::wstring m_desktopFolder;
    DesktopGrid m_grid;
    // The listing the newest load fills: the load thread writes it, then posts its address and number.
    std::shared_ptr<DesktopListing> m_pendingListing;
};

// Installs the desktop view's factory in DesktopParts (start-up, before the desktop window).
void InstallDesktopView() noexcept;

}  // namespace veyra
