#pragma once
// The icon view of the test host: NsExplorer listing a folder (or the drives for the computer path) on a
// short-lived load thread that posts WM_NS_ITEMS_LOADED to the host, filling its items in the listing's
// order and queueing their images, a few hundred at a time: the rest goes back to the host as a posted
// listing of the same number, so the window keeps answering while thousands fill and a reload drops it. On the desktop it places items column by column below the title
// strip, as the desktop's own view does. UI thread, but for the load thread.

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
    // Fills at most one step of the records and posts the rest back to the host.
    int FillItems(std::vector<FileItemRecord>& records) override;
    int OpenSelection() override;
    int IsViewFolder(const std::wstring& path) override;
    int PlaceNextItem(RECT* out, int groupStart, int groupGap) override;

    // The listing of `path` for `sandboxId` in the view's order (desktop, folder or drive order).
    static std::vector<FileItemRecord> List(const std::wstring& path, std::uint32_t mode, int sandboxId);
    // The same into `records`; false when the listing failed.
    static bool ListInto(std::vector<FileItemRecord>& records, const std::wstring& path, std::uint32_t mode,
                         int sandboxId);

private:
    int m_isDesktop;
    int m_lastDriveType = -1;  // the drive groups go on across fill steps
};

}  // namespace veyra::test
