#pragma once
// The tray's check of a launch request (WM_COPYDATA code 0x00534258): exactly 528 bytes, command 1626,
// a path terminated inside its 260 characters with only zeros after the terminator, reserved 0.

#include <windows.h>

#include <string>

namespace veyra::suite {

// The path of a well-formed request; otherwise false with `reason` naming the first fault.
bool ParseLaunchRecord(const COPYDATASTRUCT* data, std::wstring& path, const wchar_t*& reason) noexcept;

}  // namespace veyra::suite
