#include "SleeperProcess.h"

#include <thread>

#include "tests/support/TestPaths.h"
#include "tests/support/WaitFor.h"

namespace veyra::test {

std::wstring SleeperProcess::ProgramPath()
{
    return BinFile(L"veyra_test_sleeper.exe");
}

UniqueHandle OpenStartedSleeper(std::chrono::milliseconds timeout)
{
    HWND window = nullptr;
    if (!WaitFor([&] { return (window = FindWindowW(L"VeyraTestSleeper", nullptr)) != nullptr; }, timeout)) {
        return UniqueHandle();
    }
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return UniqueHandle(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
}

SleeperProcess::SleeperProcess() : m_child(ProgramPath())
{
    if (m_child.Started()) {
        WaitForProcessWindow(m_child.Id());
    }
}

bool SleeperProcess::Running() const noexcept
{
    return m_child.Started() && WaitForSingleObject(m_child.Process(), 0) == WAIT_TIMEOUT;
}

void SleeperProcess::End() noexcept
{
    if (m_child.Started()) {
        TerminateProcess(m_child.Process(), 0);
        WaitForSingleObject(m_child.Process(), 10000);
    }
}

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND hwnd, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForProcessWindow(DWORD processId, std::chrono::milliseconds timeout)
{
    WindowSearch search{processId, nullptr};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        EnumWindows(&MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            return search.found;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return nullptr;
}

}  // namespace veyra::test
