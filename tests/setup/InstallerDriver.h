#pragma once
// Drives a real Veyrasetup.exe from the outside, as a user would: starts it (inside a job, so every
// process it starts is counted and none outlives the test), finds its dialogs and message boxes, reads
// their texts and button states and posts clicks. Every wait has a time limit.

#include <windows.h>

#include <chrono>
#include <string>

#include "base/UniqueResource.h"

namespace veyra::test {

using namespace std::chrono_literals;

class InstallerDriver {
public:
    InstallerDriver() = default;
    ~InstallerDriver();
    InstallerDriver(const InstallerDriver&) = delete;
    InstallerDriver& operator=(const InstallerDriver&) = delete;

    // Starts the program and waits for its main dialog ("Veyra安装程序").
    [[nodiscard]] bool Start(const std::wstring& program, std::chrono::milliseconds timeout = 30s);

    [[nodiscard]] HWND MainDialog() const noexcept { return m_dialog; }
    [[nodiscard]] std::wstring Text(int controlId) const;
    [[nodiscard]] bool IsEnabled(int controlId) const;
    // Posts a button click to the main dialog (it runs on the installer's own thread).
    void Click(int controlId) const;

    // A visible top-level window of the installer other than the main dialog, with this caption.
    [[nodiscard]] HWND WaitForBox(const std::wstring& caption, std::chrono::milliseconds timeout = 30s) const;
    // The text of a message box (its static control 0xFFFF).
    [[nodiscard]] static std::wstring BoxText(HWND box);
    [[nodiscard]] static std::wstring ControlText(HWND window, int controlId);
    // Answers a box with a button id (IDOK, IDCANCEL).
    static void Answer(HWND box, int buttonId);

    // Waits until `condition` holds, polling; false at the time limit.
    template <typename Condition>
    static bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = 30s)
    {
        const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
        while (!condition()) {
            if (GetTickCount64() > end) {
                return false;
            }
            Sleep(20);
        }
        return true;
    }

    // Posts WM_CLOSE to the main dialog after whatever was posted before it, and waits for the exit.
    [[nodiscard]] bool Close(std::chrono::milliseconds timeout = 30s);
    [[nodiscard]] bool WaitForExit(std::chrono::milliseconds timeout = 30s) const;
    [[nodiscard]] DWORD ExitCode() const;
    // Ends the installer and every process it started.
    void Stop() noexcept;
    // Every process started in the job so far, the installer included.
    [[nodiscard]] DWORD ProcessesStarted() const;

private:
    UniqueHandle m_job;
    UniqueHandle m_process;
    DWORD m_processId = 0;
    HWND m_dialog = nullptr;
};

}  // namespace veyra::test
