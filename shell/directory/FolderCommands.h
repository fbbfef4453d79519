#pragma once
// The commands of menu 201 that a folder window handles (the views' file commands and its own), and the
// positions of its two pop-ups.

#include <windows.h>

#include "shell/explorer/ViewCommandIds.h"

namespace veyra::FolderCommand {

using namespace ViewCommand;

inline constexpr int kMenuResource = 201;
inline constexpr int kEmptySpacePopup = 0;
inline constexpr int kItemPopup = 1;
inline constexpr UINT kNewPopupPosition = 4;  // "新建(&W)" inside the empty-space pop-up

}  // namespace veyra::FolderCommand
