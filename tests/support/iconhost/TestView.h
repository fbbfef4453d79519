#pragma once
// The icon view of the test host: NsExplorer listing a folder (or the drives for the computer path) on a
// short-lived load thread that posts WM_NS_ITEMS_LOADED to the host, filling its items in the listing's
// order and queueing their images, a bounded step at a time (NsExplorer's stepped fill), so the window
// keeps answering while thousands fill and a reload drops the rest. On the desktop it places items
// column by column below the title strip, as the desktop's own view does. UI thread, but for the load
// thread.

#include <windows.h>

#include <string>
#include <vector>

#include "shell/explorer/NsExplorer.h"

namespace veyra::test {

class TestView : public NsExplorer {
public:
    TestView(vorrelUI::Ivorrel_panel* panel, HWND host, int ownerKey, int isDesktop)
        : NsExplorer(panel, host, ownerKey), m_isDesktop(isDesktop)
    {
    }

    int Load(const std::wstring& path) override;
    // The resync's listing of the current folder, in the view's order.
    int EnumerateItems() override;
    // A change notice's new item, placed after the others as the folder window does.
    int AddItems(const std::vector<std::wstring>& paths) override { return AddItemsAndSelect(paths, 0); }
    // Takes the records over and fills their first step; the host answers each WM_NS_ITEMS_LOADED
    // without a listing (wParam 0) with FillNextStep(lParam).
    int FillItems(std::vector<FileItemRecord>& records) override;
    int FillNextStep(std::uint32_t number);
    int OpenSelection() override;
    int IsViewFolder(const std::wstring& path) override;
    int PlaceNextItem(RECT* out, int groupStart, int groupGap) override;

    // The listing of `path` for `sandboxId` in the view's order (desktop, folder or drive order).
    static std::vector<FileItemRecord> List(const std::wstring& path, std::uint32_t mode, int sandboxId);
    // The same into `records`; false when the listing failed.
    static bool ListInto(std::vector<FileItemRecord>& records, const std::wstring& path, std::uint32_t mode,
                         int sandboxId);

private:
    int AddRecord(const FileItemRecord& record);

    int m_isDesktop;
    int m_lastDriveType = -1;  // the drive groups go on across fill steps
};

}  // namespace veyra::test
