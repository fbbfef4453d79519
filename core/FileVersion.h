#pragma once
// Reading the fixed version block of a file's version resource.

#include <windows.h>

namespace veyra {

// Largest version resource read at all; the callers set tighter limits of their own.
constexpr DWORD kVersionBlockCapacity = 8192;

// Reads the version resource of `size` bytes (below kVersionBlockCapacity) and copies its fixed block.
[[nodiscard]] bool ReadFixedFileVersion(const wchar_t* path, DWORD size, VS_FIXEDFILEINFO* fixed) noexcept;

// The 64-bit file version of `path` (most significant part in the high 32 bits). 1 or 0.
[[nodiscard]] int ReadFileVersionNumber(const wchar_t* path, ULONGLONG* version) noexcept;

}  // namespace veyra
