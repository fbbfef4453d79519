// The process watch over an engine whose list the test writes, with real windows as listeners and as
// the main window of a listed process (this test program's own).
#include "core/processwatch/ProcessListManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "tests/core/processwatch/ScriptedEngine.h"

namespace veyra {
namespace {

using test::ScriptedEngine;

constexpr UINT kTasksChanged = WM_USER + 10;
constexpr std::int32_t kMainDesktop = 0;
constexpr std::int32_t kOtherDesktop = 7;

// A listener window and the messages posted to it.
class Listener {
public:
    Listener() : m_window(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    [[nodiscard]] HWND get() const noexcept { return m_window.get(); }
    void Destroy() noexcept { m_window.reset(); }
    // Takes every posted `message` from the queue.
    int Take(UINT message = kTasksChanged)
    {
        int count = 0;
        MSG msg;
        while (PeekMessageW(&msg, m_window.get(), message, message, PM_REMOVE)) {
            ++count;
        }
        return count;
    }

private:
    UniqueWindow m_window;
};

std::vector<std::uint32_t> IdsOf(const std::vector<ProcessEntry>& list)
{
    std::vector<std::uint32_t> ids;
    for (const ProcessEntry& entry : list) {
        ids.push_back(entry.record.processId);
    }
    return ids;
}

TEST(ProcessWatch, RecordsWithProcessIdZeroAreReleasedAndSkipped)
{
    ScriptedEngine engine;
    engine.processes = {{0, kMainDesktop, L"C:\\ghost.exe"}, {101, kMainDesktop, L"C:\\a.exe"},
                        {0, kMainDesktop, L""}, {102, kMainDesktop, L"C:\\b.exe"}};
    CProcessListManager watch(engine);
    watch.Refresh();
    EXPECT_EQ(engine.Unreleased(), 0u);
    std::vector<ProcessEntry> list;
    int changed = 0;
    watch.GetOwnerProcesses(list, kMainDesktop, changed);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(IdsOf(list), (std::vector<std::uint32_t>{101, 102}));
    EXPECT_STREQ(list[0].record.imagePath, L"C:\\a.exe");
    EXPECT_EQ(list[0].mainWindow, nullptr) << "no such process, no window";
    EXPECT_STREQ(list[0].title, L"");
}

TEST(ProcessWatch, ListenersHearOfChangesOnly)
{
    ScriptedEngine engine;
    CProcessListManager watch(engine);
    Listener listener;
    ASSERT_EQ(watch.Subscribe(listener.get(), kTasksChanged, 0), 1);
    EXPECT_EQ(listener.Take(), 1) << "a new listener is told at once";

    struct Step {
        const char* name;
        std::vector<ScriptedEngine::Process> processes;
        int notices;
    };
    const Step steps[] = {
        {"no engine records, nothing kept: no change", {}, 0},
        {"a process appears", {{101, kMainDesktop, L"C:\\a.exe"}}, 1},
        {"the same again", {{101, kMainDesktop, L"C:\\a.exe"}}, 0},
        {"the image path in other letter case", {{101, kMainDesktop, L"C:\\A.EXE"}}, 0},
        {"another owner", {{101, kOtherDesktop, L"C:\\a.exe"}}, 1},
        {"a second process", {{101, kOtherDesktop, L"C:\\a.exe"}, {102, kMainDesktop, L"C:\\b.exe"}}, 1},
        {"the same two in another order", {{102, kMainDesktop, L"C:\\b.exe"}, {101, kOtherDesktop, L"C:\\a.exe"}}, 1},
        {"all gone", {}, 1},
        {"still none", {}, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        engine.processes = step.processes;
        watch.Refresh();
        EXPECT_EQ(listener.Take(), step.notices);
        EXPECT_EQ(engine.Unreleased(), 0u);
    }
}

TEST(ProcessWatch, SubscriptionsAndDeadListeners)
{
    ScriptedEngine engine;
    CProcessListManager watch(engine);
    Listener first;
    Listener second;
    EXPECT_EQ(watch.Subscribe(first.get(), kTasksChanged, 0), 1);
    EXPECT_EQ(watch.Subscribe(first.get(), kTasksChanged, 0), 0) << "the same listener twice";
    EXPECT_EQ(watch.Subscribe(first.get(), kTasksChanged + 1, 0), 1) << "another message is another listener";
    EXPECT_EQ(watch.Subscribe(second.get(), kTasksChanged, 0), 1);
    first.Take();
    first.Take(kTasksChanged + 1);
    second.Take();

    engine.processes = {{101, kMainDesktop, L"C:\\a.exe"}};
    watch.Refresh();
    EXPECT_EQ(first.Take(), 1);
    EXPECT_EQ(first.Take(kTasksChanged + 1), 1);
    EXPECT_EQ(second.Take(), 1);

    const HWND gone = second.get();
    second.Destroy();
    engine.processes.clear();
    watch.Refresh();
    EXPECT_EQ(first.Take(), 1);
    EXPECT_EQ(first.Take(kTasksChanged + 1), 1);
    EXPECT_EQ(watch.Subscribe(gone, kTasksChanged, 1), 0) << "the destroyed listener was dropped";

    EXPECT_EQ(watch.Subscribe(first.get(), kTasksChanged + 1, 1), 1);
    EXPECT_EQ(watch.Subscribe(first.get(), kTasksChanged + 1, 1), 0);
    engine.processes = {{103, kMainDesktop, L"C:\\c.exe"}};
    watch.Refresh();
    EXPECT_EQ(first.Take(), 1);
    EXPECT_EQ(first.Take(kTasksChanged + 1), 0) << "removed";
}

// Processes of another desktop are no change for this desktop's taskbar.
TEST(ProcessWatch, OwnerProcessesChangeOnlyWithTheirOwnDesktop)
{
    ScriptedEngine engine;
    engine.processes = {{101, kMainDesktop, L"C:\\a.exe"}, {201, kOtherDesktop, L"C:\\x.exe"},
                        {102, kMainDesktop, L"C:\\b.exe"}};
    CProcessListManager watch(engine);
    watch.Refresh();

    std::vector<ProcessEntry> mainList;
    std::vector<ProcessEntry> otherList;
    int changed = -1;
    watch.GetOwnerProcesses(mainList, kMainDesktop, changed);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(IdsOf(mainList), (std::vector<std::uint32_t>{101, 102}));
    watch.GetOwnerProcesses(mainList, kMainDesktop, changed);
    EXPECT_EQ(changed, 0) << "nothing changed on this desktop";
    watch.GetOwnerProcesses(otherList, kOtherDesktop, changed);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(IdsOf(otherList), (std::vector<std::uint32_t>{201}));

    engine.processes.erase(engine.processes.begin() + 1);  // the other desktop's process ends
    watch.Refresh();
    watch.GetOwnerProcesses(mainList, kMainDesktop, changed);
    EXPECT_EQ(changed, 0);
    watch.GetOwnerProcesses(otherList, kOtherDesktop, changed);
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(otherList.empty());
}

TEST(ProcessWatch, TerminateAsksTheEngineForListedProcessesOnly)
{
    ScriptedEngine engine;
    engine.processes = {{101, kMainDesktop, L"C:\\a.exe"}, {102, kMainDesktop, L"C:\\b.exe"}};
    CProcessListManager watch(engine);
    watch.Refresh();

    EXPECT_EQ(watch.TerminateProcess(999), 0);
    EXPECT_EQ(engine.Unreleased(), 0u);
    EXPECT_TRUE(engine.terminated.empty());

    EXPECT_EQ(watch.TerminateProcess(102), 1);
    EXPECT_EQ(engine.Unreleased(), 0u);
    EXPECT_EQ(engine.terminated, (std::vector<std::uint32_t>{102}));

    EXPECT_EQ(watch.TerminateProcess(0), 0) << "process id 0 is no process";
    std::vector<ProcessEntry> list;
    int changed = 0;
    watch.GetOwnerProcesses(list, kMainDesktop, changed);
    EXPECT_EQ(list.size(), 2u) << "the kept list waits for the next Refresh";
}

// This test program's own window stands for a sandboxed program's main window.
TEST(ProcessWatch, MainWindowAndTitleChanges)
{
    UniqueWindow hidden(CreateWindowExW(0, L"STATIC", L"hidden", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                        nullptr, nullptr));
    UniqueWindow untitled(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                          nullptr, nullptr, nullptr));
    ScriptedEngine engine;
    engine.processes = {{GetCurrentProcessId(), kMainDesktop, L"C:\\self.exe"}};
    CProcessListManager watch(engine);
    Listener listener;
    ASSERT_EQ(watch.Subscribe(listener.get(), kTasksChanged, 0), 1);
    listener.Take();

    watch.Refresh();
    EXPECT_EQ(listener.Take(), 1);
    std::vector<ProcessEntry> list;
    int changed = 0;
    watch.GetOwnerProcesses(list, kMainDesktop, changed);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].mainWindow, nullptr) << "neither a hidden nor an untitled window is the main window";

    UniqueWindow main(CreateWindowExW(0, L"STATIC", L"Report - Editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                      100, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(main);
    EXPECT_EQ(CProcessListManager::FindProcessMainWindow(GetCurrentProcessId()), main.get());
    watch.Refresh();
    EXPECT_EQ(listener.Take(), 1) << "the window appeared";
    watch.GetOwnerProcesses(list, kMainDesktop, changed);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(list[0].mainWindow, main.get());
    EXPECT_STREQ(list[0].title, L"Report - Editor");

    SetWindowTextW(main.get(), L"Report (2) - Editor");
    watch.Refresh();
    EXPECT_EQ(listener.Take(), 1) << "a changed title is a change";
    watch.GetOwnerProcesses(list, kMainDesktop, changed);
    EXPECT_STREQ(list[0].title, L"Report (2) - Editor");
    EXPECT_EQ(CProcessListManager::FindProcessMainWindow(GetCurrentProcessId() + 4000000), nullptr);
}

}  // namespace
}  // namespace veyra
