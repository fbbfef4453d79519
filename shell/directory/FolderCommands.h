#pragma once
// The commands of menu 201 that a folder window handles (WM_COMMAND ids), and the positions of its two
// pop-ups.

#include <windows.h>

namespace veyra::FolderCommand {

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

inline constexpr int kMenuResource = 201;
inline constexpr int kEmptySpacePopup = 0;
inline constexpr int kItemPopup = 1;
inline constexpr UINT kNewPopupPosition = 4;  // "新建(&W)" inside the empty-space pop-up

}  // namespace veyra::FolderCommand
