#pragma once
// One entry of a listing of the sandbox view, as the user sees it: a file, a folder, a program or a drive.
// A plain value: listings build it, views and icon items copy it and fill in their own fields.

#include <windows.h>

#include <cstdint>
#include <string>

namespace veyra {

constexpr int kFileKindFolder = 0;
constexpr int kFileKindFile = 1;
constexpr int kFileKindProgram = 2;
constexpr int kFileKindDrive = 3;
constexpr int kFileKindNone = 4;  // not classified yet

// Where a listing found an entry. A reader that knows it need not ask the disk again which side holds it.
constexpr int kOriginUnknown = 0;
constexpr int kOriginRealFolder = 1;
constexpr int kOriginSandboxCopy = 2;

struct FileItemRecord {
    std::wstring path;     // view path (never inside the sandbox folder); a drive is "C:"
    std::wstring caption;  // filled by the icon items
    std::uint32_t attributes = 0;
    FILETIME creationTime{};
    FILETIME lastAccessTime{};
    FILETIME lastWriteTime{};
    std::uint32_t sizeHigh = 0;
    std::uint32_t sizeLow = 0;
    std::int32_t isShortcut = 0;
    std::int32_t kind = kFileKindNone;
    std::int32_t sandboxId = 0;
    std::int32_t driveType = 0;  // GetDriveTypeW of a drive's root; 0 for other items
    std::int32_t notReady = 0;
    std::int32_t panelIndex = 0;
    std::int32_t syncMark = 0;  // 2 shown and not found again, 0 found again, 1 new
    std::int32_t origin = kOriginUnknown;
    std::int32_t viewValues[4] = {};
    std::wstring extraText;
    RECT cellRect{};
    RECT labelRect{};
    std::int32_t lineCount = 0;

    [[nodiscard]] bool IsFolder() const noexcept { return kind == kFileKindFolder; }
    [[nodiscard]] bool IsDrive() const noexcept { return kind == kFileKindDrive; }
};

}  // namespace veyra
