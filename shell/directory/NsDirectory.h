#pragma once
// The icon view of one folder inside a folder window: lists its folder on a short-lived load thread,
// fills itself when the listing arrives (folders first, or the drives grouped by type in My Computer),
// opens its selection in place (entering the first folder) and keeps the window's status bar: an icon
// and four lines below the view. Owned by its folder window; UI thread, but for the load threads,
// which touch nothing of the view: they hand their listing to the window through the load channel.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "shell/directory/FolderListing.h"
#include "shell/directory/FolderStatus.h"
#include "shell/explorer/NsExplorer.h"
#include "shell/iconview/CGroupCtrl.h"

namespace veyra {

class NsDirectory : public NsExplorer {
public:
    // `site`: the window's view panel (1005); `statusPanel`: its status panel (1006).
    NsDirectory(vorrelUI::Ivorrel_panel* site, HWND host, int ownerKey, vorrelUI::Ivorrel_panel* statusPanel,
                FolderLister lister = ListSandboxFolder);
    ~NsDirectory() override;

    // Sorts the records, takes them over and fills their first step; the host answers each
    // WM_NS_ITEMS_LOADED without a listing (wParam 0) with FillNextStep(lParam).
    int FillItems(std::vector<FileItemRecord>& records) override;
    // The next step of listing `number`: the items it added, 0 when that listing is not being filled.
    int FillNextStep(std::uint32_t number);
    int OpenSelection() override;
    int Load(const std::wstring& path) override;
    int AddItems(const std::vector<std::wstring>& paths) override;
    int IsViewFolder(const std::wstring& path) override;
    void UpdateStatus() override;

    // The host's WM_NS_ITEMS_LOADED: the listing when this view sent it and it is the latest load's;
    // none otherwise (a superseded listing is freed here).
    [[nodiscard]] FolderListing TakeListing(WPARAM wParam, LPARAM lParam) noexcept;
    // Before the host window goes: no load posts any more, queued listings are freed.
    void CloseLoads() noexcept;

    // The status bar's lines as shown (tests and the dump read the same labels).
    [[nodiscard]] std::wstring StatusLine(int index) const;

private:
    int BuildStatusBar();
    int AddRecord(const FileItemRecord& record);
    // After each step: the status bar once the first step is in and again with the listing's total.
    void StepDone(bool first);
    void ShowStatus(const StatusTexts& texts, const std::wstring& selectedPath);

    ComPtr<vorrelUI::Ivorrel_panel> m_statusPanel;
    ComPtr<vorrelUI::Ivorrel_panel> m_statusIconBox;
    ComPtr<vorrelUI::Ivorrel_label> m_statusLabels[4];
    ComPtr<CGroupCtrl> m_statusIcon;
    std::shared_ptr<FolderLoadChannel> m_channel;
    FolderLister m_lister;
    int m_fillDriveType = 0;  // the drive groups go on across fill steps
    bool m_fillGroupPending = false;
    int m_fillTotal = 0;
};

// Whether `path` names `shown` (a bare drive shown counts with its backslash), case-insensitively.
[[nodiscard]] bool NamesViewFolder(const std::wstring& shown, const std::wstring& path);

}  // namespace veyra
