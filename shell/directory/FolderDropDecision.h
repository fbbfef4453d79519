#pragma once
// Where a drag over a folder window lands and with which effect: the window's folder, or the folder
// or drive item under the pointer. Pure: the window looks the item up and resolves its paths, so a
// table covers every case without a drag.

#include <windows.h>
#include <oleidl.h>

#include <string>
#include <vector>

namespace veyra {

enum class DragItemKind { None, Folder, Drive, Other };

// The item under the pointer as the window found it.
struct FolderDragItem {
    DragItemKind kind = DragItemKind::None;
    bool notReady = false;        // a drive without a medium
    std::wstring path;            // the item's view path
    std::wstring target;          // where a drop on it goes (a shortcut's resolved target, else the path)
    std::wstring resolved;        // the item's path as the sandbox view resolves it
};

struct FolderDragDecision {
    DWORD effect = DROPEFFECT_NONE;
    std::wstring targetPath;
    bool highlightItem = false;   // the item becomes the drop highlight
    bool clearHighlight = false;  // over empty space or another kind of item
};

// `internalDrag`: the drag began in one of this program's views; `fromThisWindow`: in this window.
[[nodiscard]] FolderDragDecision DecideFolderDrag(const std::vector<std::wstring>& paths, const std::wstring& folder,
                                                  const FolderDragItem& item, bool internalDrag, bool fromThisWindow);

}  // namespace veyra
