// The process watch against the suite's stand-ins: a program started through the tray program appears
// with its main window and title, a title change and the program's end are seen by the next Refresh, and
// every record the engine hands out is given back.
#include "core/processwatch/ProcessListManager.h"

#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "core/Launcher.h"
#include "core/SandBoxHelper.h"
#include "tests/support/SleeperProcess.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TrayFixture.h"

namespace veyra {
namespace {

using namespace std::chrono_literals;

constexpr UINT kTasksChanged = WM_USER + 10;
constexpr std::int32_t kMainDesktop = 0;

// Polls `done` every 100 ms until it holds; false after `timeout`.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    while (!done()) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        Sleep(100);
    }
    return true;
}

int TakeNotices(HWND listener)
{
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, listener, kTasksChanged, kTasksChanged, PM_REMOVE)) {
        ++count;
    }
    return count;
}

// The watch's entry for the process after a Refresh, or nullptr.
const ProcessEntry* RefreshAndFind(CProcessListManager& watch, std::vector<ProcessEntry>& list, DWORD processId)
{
    watch.Refresh();
    int changed = 0;
    watch.GetOwnerProcesses(list, kMainDesktop, changed);
    for (const ProcessEntry& entry : list) {
        if (entry.record.processId == processId) {
            return &entry;
        }
    }
    return nullptr;
}

// The process id that the tray's log names for the launch of `image`.
DWORD LaunchedProcessId(const test::TrayFixture& tray)
{
    DWORD processId = 0;
    tray.WaitForLine(
        [&](const std::wstring& line) {
            if (!line.starts_with(L"launched ")) {
                return false;
            }
            processId = std::wcstoul(line.c_str() + 9, nullptr, 10);
            return processId != 0;
        },
        60s);
    return processId;
}

TEST(ProcessWatchSuite, FollowsAProgramStartedThroughTheTray)
{
    test::TrayFixture tray;
    ASSERT_TRUE(tray.Start());
    ASSERT_EQ(CSandBoxHelper::GetInstance().Bind(test::BinFile(L"pellox.dll").c_str()), 1);
    using CountFunction = int(__cdecl*)();
    const auto countUnreleased = reinterpret_cast<CountFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"pellox.dll"), "CountUnreleasedSbRuleItems")));
    ASSERT_NE(countUnreleased, nullptr);

    CProcessListManager& watch = CProcessListManager::GetInstance();
    UniqueWindow listener(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    ASSERT_EQ(watch.Subscribe(listener.get(), kTasksChanged, 0), 1);
    watch.Refresh();
    TakeNotices(listener.get());

    CLauncher::TrayLaunchThread(test::SleeperProcess::ProgramPath());
    const DWORD processId = LaunchedProcessId(tray);
    ASSERT_NE(processId, 0u) << "the tray did not start the program";
    const UniqueHandle child(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    ASSERT_TRUE(child);

    std::vector<ProcessEntry> list;
    const ProcessEntry* entry = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (entry = RefreshAndFind(watch, list, processId)) && entry->mainWindow; }, 60s))
        << "the program's window was not found";
    EXPECT_STREQ(entry->title, L"Veyra test sleeper");
    EXPECT_STREQ(PathFindFileNameW(entry->record.imagePath), L"veyra_test_sleeper.exe");
    EXPECT_GE(TakeNotices(listener.get()), 1);
    EXPECT_EQ(countUnreleased(), 0);

    const HWND window = entry->mainWindow;
    ASSERT_TRUE(SetWindowTextW(window, L"Sleeper, renamed"));
    entry = RefreshAndFind(watch, list, processId);
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->title, L"Sleeper, renamed");
    EXPECT_GE(TakeNotices(listener.get()), 1) << "a changed title is a change";

    EXPECT_EQ(watch.TerminateProcess(processId), 1);
    EXPECT_EQ(WaitForSingleObject(child.get(), 30000), WAIT_OBJECT_0) << "the engine did not end the program";
    EXPECT_TRUE(WaitUntil([&] { return RefreshAndFind(watch, list, processId) == nullptr; }, 30s));
    EXPECT_GE(TakeNotices(listener.get()), 1);
    EXPECT_EQ(watch.TerminateProcess(processId), 0) << "an ended program is no longer listed";
    EXPECT_EQ(countUnreleased(), 0);
    ::TerminateProcess(child.get(), 1);  // in case a check above failed before the engine ended it
    EXPECT_EQ(watch.Subscribe(listener.get(), kTasksChanged, 1), 1);
}

}  // namespace
}  // namespace veyra
