#pragma once
// The few facts about the running system that the shell utilities decide on, taken from the
// process-wide system information. Passed explicitly where a caller (a test) needs another system.

#include <windows.h>
// gdiplus.h needs the OLE types that WIN32_LEAN_AND_MEAN leaves out of windows.h.
#include <objidl.h>

#include <gdiplus.h>

#include <memory>

namespace veyra {

struct ShellPlatform {
    bool vistaOrLater = true;
    bool win8OrLater = false;  // 6.2 and 6.3 only
    // A 32-bit process on a 64-bit system: System32 names the 32-bit folder and Sysnative the real one.
    // A 64-bit process has no Sysnative alias, so it never needs it.
    bool sysnativeNeeded = false;
};

// From g_globalInfo (filled at start-up).
[[nodiscard]] ShellPlatform CurrentShellPlatform() noexcept;

// A new GDI+ image owned by the caller; empty means "no image".
using ImagePtr = std::unique_ptr<Gdiplus::Image>;

}  // namespace veyra
