#include "SleeperProcess.h"

#include <thread>

#include "tests/support/TestPaths.h"

namespace veyra::test {

std::wstring SleeperProcess::ProgramPath()
{
    return BinFile(L"veyra_test_sleeper.exe");
}

SleeperProcess::SleeperProcess()
{
    const std::wstring path = ProgramPath();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        m_process.reset(process.hProcess);
        UniqueHandle thread(process.hThread);
        m_id = process.dwProcessId;
        WaitForProcessWindow(m_id);
    }
}

SleeperProcess::~SleeperProcess()
{
    End();
}

bool SleeperProcess::Running() const noexcept
{
    return m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

void SleeperProcess::End() noexcept
{
    if (m_process) {
        TerminateProcess(m_process.get(), 0);
        WaitForSingleObject(m_process.get(), 10000);
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
