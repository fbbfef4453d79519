#include "shell/directory/FolderInput.h"

#include "shell/directory/FolderCommands.h"

namespace veyra {

FolderKeyAction FolderKeyActionFor(UINT key, bool ctrl, bool alt) noexcept
{
    if (ctrl && !alt) {
        switch (key) {
        case 'C':
            return FolderKeyAction::Copy;
        case 'V':
            return FolderKeyAction::Paste;
        case 'X':
            return FolderKeyAction::Cut;
        case 'A':
            return FolderKeyAction::SelectAll;
        default:
            return FolderKeyAction::None;
        }
    }
    switch (key) {
    case VK_BACK:
        return FolderKeyAction::Back;
    case VK_RETURN:
        return FolderKeyAction::Open;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return FolderKeyAction::Arrow;
    case VK_DELETE:
        return FolderKeyAction::Delete;
    case VK_F2:
        return FolderKeyAction::Rename;
    case VK_F5:
        return FolderKeyAction::Reload;
    default:
        return FolderKeyAction::None;
    }
}

FolderMenuChoice ChooseFolderMenu(const FolderMenuContext& context)
{
    using namespace FolderCommand;
    FolderMenuChoice choice;
    if (context.onItem) {
        choice.popup = kItemPopup;
        if (!context.onShortcut) {
            choice.removed.push_back(kOpenLocation);
        }
        if (context.inComputer) {
            choice.removed.push_back(kDelete);
        }
        return choice;
    }
    if (!context.inViewPanel) {
        return choice;
    }
    choice.popup = kEmptySpacePopup;
    if (context.inComputer || !context.clipboardHasEntry) {
        choice.greyed.push_back(kPaste);
    }
    choice.greyNewPopup = context.inComputer;
    return choice;
}

RECT MaximisedFolderRect(const RECT& desktopWindow) noexcept
{
    return RECT{desktopWindow.left, desktopWindow.top + kMaximisedTopInset, desktopWindow.right,
                desktopWindow.bottom - kMaximisedBottomInset};
}

}  // namespace veyra
