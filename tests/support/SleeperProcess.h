#pragma once
// The small test program veyra_test_sleeper (one titled window, ends within two minutes) as a running
// process of a test, ended when the object goes. Start-up waits for its window: a GUI process ended in the
// middle of its first window's creation can leave Wine's desktop process holding the test's output pipe.

#include <windows.h>

#include <chrono>
#include <string>

#include "base/UniqueResource.h"
#include "tests/support/ChildProcess.h"

namespace veyra::test {

class SleeperProcess {
public:
    SleeperProcess();
    ~SleeperProcess() = default;
    SleeperProcess(const SleeperProcess&) = delete;
    SleeperProcess& operator=(const SleeperProcess&) = delete;

    [[nodiscard]] static std::wstring ProgramPath();
    [[nodiscard]] DWORD Id() const noexcept { return m_child.Id(); }
    [[nodiscard]] bool Running() const noexcept;
    void End() noexcept;

private:
    ChildProcess m_child;
};

// The process of a sleeper that another program started (the tray, for the sandbox), opened to be
// waited on and ended once its window exists; empty when none shows within `timeout`.
[[nodiscard]] UniqueHandle OpenStartedSleeper(std::chrono::milliseconds timeout = std::chrono::seconds(15));

// The first visible window of process `processId`, once it exists; nullptr after `timeout`.
HWND WaitForProcessWindow(DWORD processId, std::chrono::milliseconds timeout = std::chrono::seconds(30));

}  // namespace veyra::test
