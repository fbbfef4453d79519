#pragma once
// Drives a real Veyra.exe of a fake suite from a test: the program runs in a job object (ended with
// whatever it started when the driver goes), its skinned desktop is read through the skin library's
// dump message, and the mouse is moved and pressed as a user would, at the window's position plus a
// point of the layout.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/TempFolder.h"

namespace veyra::test {

class DesktopDriver {
public:
    explicit DesktopDriver(const FakeSuite& suite);

    // The shown desktop window, waiting up to `timeoutMs`; nullptr when it never showed.
    HWND WaitForDesktop(DWORD timeoutMs = 60000);
    [[nodiscard]] HWND Window() const noexcept { return m_window; }
    [[nodiscard]] const ChildProcess& Program() const noexcept { return m_program; }
    [[nodiscard]] std::optional<DWORD> WaitForExit(DWORD timeoutMs) const { return m_program.WaitForExit(timeoutMs); }

    // The skin's control tree (one line a control: id, kind, rect, visible, image, text), "" when the
    // window does not answer.
    [[nodiscard]] std::string Dump() const;
    // The dump's line of control `id`, "" when there is none.
    [[nodiscard]] std::string ControlLine(USHORT id) const;
    // The same for another skinned window of the program (each answers the dump message itself).
    [[nodiscard]] std::string DumpOf(HWND window) const;
    [[nodiscard]] std::string ControlLineOf(HWND window, USHORT id) const;

    // The window answers a message within `timeoutMs`.
    [[nodiscard]] bool Answers(DWORD timeoutMs = 5000) const;
    // The program has handled the input given so far and waits for more.
    [[nodiscard]] bool WaitUntilIdle(DWORD timeoutMs = 5000) const;

    // Mouse input at layout points (window-relative pixels), through the system's input queue.
    bool Press(POINT layout) const;
    bool MoveTo(POINT layout, POINT origin) const;  // `origin`: the window's top-left the point is taken from
    bool Release(POINT layout, POINT origin) const;
    bool Click(POINT layout) const;
    // A click at a point of another window of the program.
    bool ClickIn(HWND window, POINT layout) const;

private:
    ChildProcess m_program;
    TempFolder m_dumps{L"dumps"};
    HWND m_window = nullptr;
};

// The shown windows of class `className` that `owner` owns (tooltips are owned windows too, hence the
// class), and the first of them or nullptr.
std::vector<HWND> ShownOwnedWindows(HWND owner, const wchar_t* className);
HWND ShownOwnedWindow(HWND owner, const wchar_t* className);
// The skin library's own message box (the exit and restore questions) shown over `owner`, or nullptr.
HWND ShownLibraryMessageBox(HWND owner);

}  // namespace veyra::test
