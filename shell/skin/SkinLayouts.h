#pragma once
// Building a secondary window's skin from one of the skin folder's "\KavoSandBox" layouts, and the
// typed look-ups every such window makes on it. UI thread.

#include <windows.h>

#include <string>

#include "base/ComPtr.h"
#include "shell/skin/SkinBinding.h"

namespace veyra::skin {

// The program's empty pop-up dialog template (resources/Veyra.rc) that a skin covers whole: the
// introduction, the settings menu and the task manager are built on it.
inline constexpr int kSkinnedDialogTemplate = 212;

// The skin folder's "\KavoSandBox\<file>".
[[nodiscard]] std::wstring LayoutPath(const wchar_t* file);

// The layout built into `host` and its root container; false when either is missing.
[[nodiscard]] bool BuildLayout(const wchar_t* file, HWND host, ComPtr<vorrelUI::Ivorrel_window>& window,
                               ComPtr<vorrelUI::Ivorrel_container>& root) noexcept;

// Control `id` of the window as interface `iid`; false when it is missing or answers otherwise.
template <typename Interface>
bool FindControlAs(vorrelUI::Ivorrel_window* window, USHORT id, REFIID iid, ComPtr<Interface>& out) noexcept
{
    ComPtr<vorrelUI::Ivorrel_control> control;
    return window && SUCCEEDED(window->FindControl(id, control.put())) &&
           SUCCEEDED(ConvertControl(control.get(), iid, out)) && out;
}

// The identifier of a skin event's sender (0 when it is no control).
[[nodiscard]] USHORT SenderId(ULONG_PTR sender) noexcept;

// The image of that name from the registered packs; empty when none has it.
[[nodiscard]] ComPtr<vorrelUI::Ivorrel_image> RegisteredImage(const wchar_t* name) noexcept;

}  // namespace veyra::skin
