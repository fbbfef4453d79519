#include "shell/taskbar/NsProcessTab.h"

#include <algorithm>
#include <utility>

#include "shell/desktop/DesktopShutdown.h"
#include "shell/protocol/WindowProtocol.h"

namespace veyra {

namespace {

// A hung program must not freeze the desktop: another process's window is shown asynchronously.
void BringUp(const TaskbarTarget& target) noexcept
{
    if (!IsWindow(target.window)) {
        return;
    }
    if (!target.IsProcess()) {
        ShowWindow(target.window, SW_RESTORE);
        SetForegroundWindow(target.window);
        return;
    }
    if (GetWindowLongW(target.window, GWL_STYLE) & WS_MINIMIZE) {
        ShowWindowAsync(target.window, SW_SHOWNORMAL);
        return;
    }
    ShowWindowAsync(target.window, SW_RESTORE);
    SetForegroundWindow(target.window);
}

}  // namespace

NsProcessTab::NsProcessTab(vorrelUI::Ivorrel_panel* panel, HWND host, int ownerKey) : NsExplorer(panel, host, ownerKey) {}

NsProcessTab::~NsProcessTab() = default;

int NsProcessTab::Init()
{
    SetViewMode(VIEW_MODE_TASKBAR);
    const int grid = ComputeGrid();
    m_ready = 1;
    return grid;
}

int NsProcessTab::Refresh()
{
    if (!m_ready) {
        return 0;
    }
    std::vector<ProcessEntry> processes;
    int changed = 0;
    CProcessListManager::GetInstance().GetOwnerProcesses(processes, m_ownerKey, changed);
    static_cast<void>(Rebuild(processes));
    return m_ready;
}

int NsProcessTab::Rebuild(const std::vector<ProcessEntry>& processes)
{
    HostWindowMap windows;
    SendMessageW(m_hostWindow, WM_NS_GET_FOLDER_WINDOWS, reinterpret_cast<WPARAM>(&windows), 0);
    std::vector<FileItemRecord> buttons;
    const std::wstring iconSource = FolderWindowIconSource();
    for (const HostWindowEntry& entry : TaskbarFolderWindows(windows)) {
        buttons.push_back(FolderWindowRecord(entry, m_ownerKey, iconSource));
    }
    for (const ProcessEntry& process : processes) {
        if (std::optional<FileItemRecord> record = ProcessRecord(process, m_ownerKey)) {
            buttons.push_back(std::move(*record));
        }
    }
    // A button costs milliseconds to make under Wine and one change of 40 processes is the common case:
    // buttons that stand for the same windows stay with their new titles, the others go, new ones are
    // added, and all take the snapshot's order.
    std::vector<NsIcon*> shown = KeepShownButtons(buttons);
    std::vector<NsIcon*> leaving;
    bool unchanged = true;
    {
        ScopedLock lock(m_itemsLock);
        for (size_t index = 0; index < m_items.size(); ++index) {
            if (std::find(shown.begin(), shown.end(), m_items[index].get()) == shown.end()) {
                leaving.push_back(m_items[index].get());
            }
        }
        unchanged = leaving.empty() && shown.size() == m_items.size();
        for (size_t index = 0; unchanged && index < shown.size(); ++index) {
            unchanged = shown[index] == m_items[index].get();
        }
        if (!unchanged) {
            // As when every button is made anew: nothing stays selected, every button shows its plain cover.
            m_selection.Reset(kCoverTaskbar);
        }
    }
    if (unchanged) {
        return 1;  // titles only: nothing to draw
    }
    RemoveItems(leaving);
    for (size_t index = 0; index < buttons.size(); ++index) {
        if (!shown[index] && AddItemForRecord(buttons[index], 1, 0)) {
            ScopedLock lock(m_itemsLock);
            shown[index] = m_items.back().get();
        }
    }
    std::erase(shown, nullptr);
    static_cast<void>(ReorderItems(shown));
    if (m_panel) {
        static_cast<void>(m_panel->Redraw(TRUE));
    }
    return 1;
}

std::vector<NsIcon*> NsProcessTab::KeepShownButtons(const std::vector<FileItemRecord>& buttons)
{
    ScopedLock lock(m_itemsLock);
    std::vector<NsIcon*> shown(buttons.size(), nullptr);
    std::vector<char> taken(m_items.size(), 0);
    for (size_t wanted = 0; wanted < buttons.size(); ++wanted) {
        for (size_t index = 0; index < m_items.size(); ++index) {
            if (!taken[index] && SameButton(m_items[index]->Record(), buttons[wanted])) {
                taken[index] = 1;
                shown[wanted] = m_items[index].get();
                m_items[index]->Record().extraText = buttons[wanted].extraText;
                break;
            }
        }
    }
    return shown;
}

int NsProcessTab::OnLButtonDown(POINT* point)
{
    NsIcon* item = ItemFromPoint(point);
    if (!item) {
        return 0;
    }
    TaskbarTarget target;
    {
        ScopedLock lock(m_itemsLock);
        static_cast<void>(m_selection.Select(item, 0, kTaskbarCoverClick));
        item->SetCover(kTaskbarCoverClick);
        target = TargetOf(item->Record());
    }
    BringUp(target);
    return 1;
}

int NsProcessTab::OnLButtonDblClk(POINT* point)
{
    return NsExplorer::OnLButtonDblClk(point);
}

int NsProcessTab::OnMouseMove(UINT, POINT* point)
{
    NsIcon* item = ItemFromPoint(point);
    ScopedLock lock(m_itemsLock);
    if (item) {
        item->SetCover(kTaskbarCoverHover);
        return 1;
    }
    for (const auto& each : m_items) {
        each->SetCover(kTaskbarCoverIdle);
    }
    return 1;
}

int NsProcessTab::BaseLButtonDown(POINT* point)
{
    const int pressed = NsExplorer::OnLButtonDown(point);
    m_menuTarget.reset();
    if (pressed) {
        if (NsIcon* item = FirstSelected()) {
            ScopedLock lock(m_itemsLock);
            m_menuTarget = TargetOf(item->Record());
        }
    }
    return pressed;
}

NsIcon* NsProcessTab::FirstSelected()
{
    ScopedLock lock(m_itemsLock);
    const auto& selected = m_selection.Selected();
    return selected.empty() ? nullptr : selected.front();
}

std::optional<TaskbarTarget> NsProcessTab::CommandTarget()
{
    if (m_menuTarget) {
        return std::exchange(m_menuTarget, std::nullopt);
    }
    ScopedLock lock(m_itemsLock);
    const auto& selected = m_selection.Selected();
    if (selected.empty()) {
        return std::nullopt;
    }
    return TargetOf(selected.front()->Record());
}

int NsProcessTab::RestoreSelected()
{
    const std::optional<TaskbarTarget> target = CommandTarget();
    if (!target) {
        return 0;
    }
    if (!IsWindow(target->window)) {
        return 1;
    }
    if (target->IsProcess()) {
        ShowWindowAsync(target->window, SW_RESTORE);
    } else {
        ShowWindow(target->window, SW_RESTORE);
    }
    SetForegroundWindow(target->window);
    return 1;
}

int NsProcessTab::CloseSelected()
{
    const std::optional<TaskbarTarget> target = CommandTarget();
    if (!target) {
        return 0;
    }
    if (target->IsProcess()) {
        static_cast<void>(CProcessListManager::GetInstance().TerminateProcess(target->processId));
    } else if (IsWindow(target->window)) {
        PostMessageW(target->window, WM_CLOSE, 0, 0);
    }
    return 1;
}

int NsProcessTab::CloseAll()
{
    // From a fresh snapshot: one started since the last 1000 ms refresh is ended too.
    static_cast<void>(EndOwnerProcesses(CProcessListManager::GetInstance(), m_ownerKey));
    return 1;
}

}  // namespace veyra
