#pragma once
// The file commands of menu 201 (WM_COMMAND ids) that every icon view runs the same way.

#include <windows.h>

namespace veyra::ViewCommand {

inline constexpr WORD kRefresh = 0x800E;
inline constexpr WORD kPaste = 0x800F;
inline constexpr WORD kNewTextDocument = 0x8012;
inline constexpr WORD kNewFolder = 0x8013;
inline constexpr WORD kOpen = 0x801D;
inline constexpr WORD kOpenLocation = 0x801E;
inline constexpr WORD kCut = 0x801F;
inline constexpr WORD kCopy = 0x8020;
inline constexpr WORD kDelete = 0x8021;
inline constexpr WORD kRename = 0x8022;
inline constexpr WORD kCreateShortcut = 0x8023;

}  // namespace veyra::ViewCommand
