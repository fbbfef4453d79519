#pragma once
// The texts a drive item shows: its caption from the volume label (or the drive type's name when it
// has none) and its free-space line. Plain functions of their inputs.

#include <windows.h>

#include <cstdint>
#include <string>

namespace veyra {

// "<label>(<drive>)"; an empty label becomes the name of the drive type (removable, fixed, CD-ROM).
[[nodiscard]] std::wstring DriveCaption(const std::wstring& label, int driveType, const std::wstring& drive);

struct DriveSpaceTexts {
    std::wstring line;        // "12.3 GB 可用，共 100 GB"
    std::wstring freeText;    // "12.3 GB"
    std::wstring totalText;   // "100.0 GB"
};

// In GB, the total without decimals; in MB (both with one decimal) when the total is below 1 GB.
[[nodiscard]] DriveSpaceTexts FormatDriveSpace(std::uint64_t freeBytes, std::uint64_t totalBytes);

}  // namespace veyra
