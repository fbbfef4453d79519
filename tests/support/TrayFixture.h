#pragma once
// The tray stand-in in a test: the log it writes (KAVOTRAY_LOG, set in this process's environment so a
// tray that the code under test starts writes it too), starting it and ending every tray process seen
// in the log when the fixture goes.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace veyra::test {

// Sets an environment variable of this process for the scope (child processes inherit it).
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(std::wstring name, const std::wstring& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::wstring m_name;
    bool m_existed = false;
    std::wstring m_previous;
};

class TrayFixture {
public:
    // `mode`: empty, "slow" or "no-window" (KAVOTRAY_MODE for trays started while the fixture lives).
    explicit TrayFixture(const std::wstring& mode = L"");
    ~TrayFixture();

    // Starts `trayProgram` (bin\KavoTray.exe unless given) and waits for its window; false on timeout.
    bool Start(const std::wstring& trayProgram = L"");

    // The lines logged so far.
    [[nodiscard]] std::vector<std::wstring> Lines() const;
    // Waits until a logged line satisfies `match`; false after `timeout`.
    bool WaitForLine(const std::function<bool(const std::wstring&)>& match,
                     std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    bool WaitForLine(const std::wstring& exact, std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

    // Ends every tray process that logged its start, and waits until none of them runs. A tray that is
    // creating its window is given time to finish first: a GUI process ended in the middle of that can
    // leave Wine's desktop process holding the test's output pipe.
    void StopAll();

private:
    std::wstring m_modeName;
    TempFolder m_folder;
    std::wstring m_logPath;
    ScopedEnvironmentVariable m_log;
    ScopedEnvironmentVariable m_mode;
};

// The window of the running tray, when one exists within `timeout`.
HWND WaitForTrayWindow(std::chrono::milliseconds timeout);

}  // namespace veyra::test
