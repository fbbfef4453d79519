#pragma once
// The subclassing of skinned hosts: the host's window procedure is replaced by the library's, which
// hands each message to its SkinWindow first and passes it on to the procedure the host had. The hooks
// are kept in a table of this library instead of window properties: a property read is a round trip to
// the Wine server, and comctl32's subclassing makes two for every message a host receives.
// Each host belongs to its thread; the table is shared under a lock, held only for look-ups.

#include <windows.h>

namespace vorrel {

class SkinWindow;

// Sends the host's messages to `skin` from now on (replacing an earlier skin of the same host).
[[nodiscard]] bool HookHost(HWND host, SkinWindow* skin) noexcept;
// Stops sending them to `skin`; the host gets its procedure back unless something subclassed it later,
// in which case the hook stays in its chain and passes everything on until the window goes.
void UnhookHost(HWND host, const SkinWindow* skin) noexcept;
// The procedure the host had before it was hooked (DefWindowProcW for a host not hooked).
[[nodiscard]] WNDPROC HostProcedure(HWND host) noexcept;
// The message handled by that procedure.
LRESULT PassToHost(HWND host, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace vorrel
