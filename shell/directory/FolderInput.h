#pragma once
// The folder window's decisions that need no window: what a key does, which context menu a right
// click opens and what it leaves out or greys, and where its own maximise puts the window. Pure.

#include <windows.h>

#include <vector>

namespace veyra {

enum class FolderKeyAction { None, Back, Open, Arrow, Delete, Rename, Reload, Copy, Paste, Cut, SelectAll };

// Ctrl with Alt counts as neither: Ctrl+Alt+C is the plain C, which does nothing.
[[nodiscard]] FolderKeyAction FolderKeyActionFor(UINT key, bool ctrl, bool alt) noexcept;

struct FolderMenuChoice {
    int popup = -1;                // position in menu 201; -1: no menu
    std::vector<WORD> removed;     // commands deleted from the pop-up
    std::vector<WORD> greyed;      // commands greyed
    bool greyNewPopup = false;     // the "新建(&W)" pop-up greyed
};

struct FolderMenuContext {
    bool onItem = false;
    bool onShortcut = false;
    bool inViewPanel = false;       // the point, scrolling taken off, lies in the view panel
    bool inComputer = false;        // the window shows My Computer
    bool clipboardHasEntry = false; // the file clipboard holds something for this desktop
};

[[nodiscard]] FolderMenuChoice ChooseFolderMenu(const FolderMenuContext& context);

// The desktop's window rectangle with its caption strip and taskbar left visible.
inline constexpr int kMaximisedTopInset = 25;
inline constexpr int kMaximisedBottomInset = 40;
[[nodiscard]] RECT MaximisedFolderRect(const RECT& desktopWindow) noexcept;

}  // namespace veyra
