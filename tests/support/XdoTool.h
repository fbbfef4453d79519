#pragma once
// Real X input for end-to-end tests: xdotool runs beside the test through a link "xdotool.exe" in the
// programs' folder (Wine starts a Unix program it is given). Input from it reaches the windows as a
// user's would, with the modifier state GetKeyState reads, which posted messages cannot give.

#include <windows.h>

#include <string>

namespace veyra::test {

// Runs xdotool with `arguments`; true when it started (and, where the process can be awaited, answered 0).
// Under Wine the Unix process cannot be awaited: callers wait for what the input does.
bool RunXdotool(const std::wstring& arguments, DWORD timeoutMs = 10000);
// The same for another Unix program linked beside the programs ("import.exe", ImageMagick's).
bool RunLinkedTool(const wchar_t* link, const std::wstring& arguments, DWORD timeoutMs = 10000);

// With VEYRA_SHOT_DIR naming a folder (a Wine path): the whole screen into "<folder>\<name>.png" by
// ImageMagick's import (linked beside the programs like xdotool), for a person to look at; the path once
// written, or "" without the variable or on failure.
std::wstring SaveScreenshot(const std::wstring& name);

// A click of the left button at a screen point, with "ctrl" or "shift" held when `modifier` names one.
bool ClickAt(POINT screen, const wchar_t* modifier = nullptr);

}  // namespace veyra::test
