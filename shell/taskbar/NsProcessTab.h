#pragma once
// The taskbar view of a desktop (area 3004): one button for each open folder window and one for each
// sandboxed process of the desktop with a titled main window, brought up to date on every change the
// process watch reports. A press brings the button's window up; the desktop's commands restore or close the
// window of the button pressed last. Owned by the desktop window; UI thread only. It never lists a folder.

#include <windows.h>

#include <optional>
#include <vector>

#include "core/processwatch/ProcessListManager.h"
#include "shell/explorer/NsExplorer.h"
#include "shell/taskbar/TaskbarRecords.h"

namespace veyra {

inline constexpr wchar_t kTaskbarCoverClick[] = L"IDI_TASKBAR_COVER_CLICK";
inline constexpr wchar_t kTaskbarCoverHover[] = L"IDI_TASKBAR_COVER_HOVER";
inline constexpr wchar_t kTaskbarCoverIdle[] = L"IDI_PNG_COVER_NORMAL";

class NsProcessTab : public NsExplorer {
public:
    NsProcessTab(vorrelUI::Ivorrel_panel* panel, HWND host, int ownerKey);
    ~NsProcessTab() override;

    int OnLButtonDown(POINT* point) override;
    int OnLButtonDblClk(POINT* point) override;
    int OnMouseMove(UINT keyFlags, POINT* point) override;
    // The base's press (selection only), for the context menu; the pressed button's window is kept.
    virtual int BaseLButtonDown(POINT* point);

    int Init();
    // The ready flag: 0 before Init, and nothing is done then.
    int Refresh();
    int Rebuild(const std::vector<ProcessEntry>& processes);
    // 0 when no button was pressed or selected.
    int RestoreSelected();
    int CloseSelected();
    // Ends every process of this desktop, from a fresh snapshot of the watch; 1.
    int CloseAll();
    [[nodiscard]] NsIcon* FirstSelected();

private:
    // For each wanted button, the shown one that stands for the same window (its title taken over), or
    // none; each shown button serves once.
    std::vector<NsIcon*> KeepShownButtons(const std::vector<FileItemRecord>& buttons);
    // The window of the button the context menu was opened on, else of the first selected one.
    [[nodiscard]] std::optional<TaskbarTarget> CommandTarget();

    int m_ready = 0;
    std::optional<TaskbarTarget> m_menuTarget;
};

}  // namespace veyra
