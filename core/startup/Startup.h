#pragma once
// The start-up of the desktop program, on its UI thread: prepares COM, OLE, the common controls and
// the window framework, redirects the suite's theme file, loads the skin library and the suite's
// services, binds the sandbox engine, refuses a second instance, then creates the desktop window and
// runs the one message loop. The command line is not read.

#include <windows.h>

namespace veyra {

// The exit code: 0 on every early exit (nothing is undone then), else the message loop's result.
[[nodiscard]] int RunDesktopProgram(HINSTANCE instance, int showCommand) noexcept;

}  // namespace veyra
