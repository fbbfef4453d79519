#pragma once
// The view-mode word of an icon view: which layout its grid follows and how its items draw. The item
// classes read the same bits (NsIcon.h); the words below are the four a view ever holds.

#include <cstdint>

#include "shell/iconview/NsIcon.h"

namespace veyra {

inline constexpr std::uint32_t kViewGrouped = 0x1000;
inline constexpr std::uint32_t kViewFolder = 0x10000;
inline constexpr std::uint32_t kViewNamespace = 0x1000000;

inline constexpr std::uint32_t VIEW_MODE_FOLDER = 0x10104;
inline constexpr std::uint32_t VIEW_MODE_COMPUTER = 0x1001204;
inline constexpr std::uint32_t VIEW_MODE_DESKTOP = 0x20104;
inline constexpr std::uint32_t VIEW_MODE_TASKBAR = 0x102;

// The computer tiles' bits, as placement tests them.
inline constexpr std::uint32_t kViewComputerTiles = 0x1204;

// "Has M": every bit of `bits` is set in `mode`.
[[nodiscard]] constexpr bool HasViewMode(std::uint32_t mode, std::uint32_t bits) noexcept
{
    return (mode & bits) == bits;
}

}  // namespace veyra
