#pragma once
// Texts made from paths and files: long forms of short paths, the Sysnative form of a System32 path, a
// file's size and date as the folder window's status line shows them, and its type name. Every output
// into a caller's buffer is bounded by its size: a result that does not fit gives 0 and an empty text.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/shellutil/ShellPlatform.h"

namespace veyra {

// Lengthens the path in `text` (an icon location's path part, or a command: a quoted or unquoted path
// followed by arguments). A text without "~" is copied unchanged. 1 or 0.
int ShortToLongPath(const wchar_t* text, wchar_t* out, std::size_t outChars) noexcept;

// A path below the Windows folder's System32, read through Sysnative where the process needs it, so that
// a 32-bit program sees the 64-bit system folder; any other path is copied unchanged. 1 or 0.
int ToSysnativePath(const wchar_t* path, wchar_t* out, std::size_t outChars,
                    const ShellPlatform& platform = CurrentShellPlatform()) noexcept;

// "0 KB", "1 KB" up to 1023 bytes, then "%0.1f KB", "MB", "GB", "TB".
[[nodiscard]] std::wstring FormatSizeText(std::uint64_t bytes);
// "%4d/%02d/%02d %02d:%02d" of a UTC file time in local time (with that date's daylight rule); empty on failure.
[[nodiscard]] std::wstring FormatDateText(const FILETIME& utc);

// The size and last-write date texts of one file or folder. 1 or 0.
int GetFileSizeAndDate(const wchar_t* path, std::wstring& sizeText, std::wstring& dateText) noexcept;

// The shell's type name of the file ("Text Document"). 1 or 0.
int GetFileTypeName(const wchar_t* path, std::wstring& typeName) noexcept;

}  // namespace veyra
