#pragma once
// The OLE part of a view's drag: the data object with the paths' CF_HDROP block, the drop source, the
// optional drag image, and DoDragDrop offering only a copy (a move is decided and done by the target, so
// the source never deletes anything). UI thread with OLE initialised; OLE's modal loop runs inside, so
// the caller holds no item pointer across the call.

#include <windows.h>

#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "shell/dragdrop/DragImage.h"

namespace veyra {

struct FileDragImage {
    UniqueBitmap bitmap;  // may be empty: the drag then runs without a picture
    DragImagePlacement placement{};
    COLORREF colorKey = 0;
};

// Runs the drag of `paths` from the view hosted in `host` (DragSourceWindow and InternalDragFlag are
// set for its length). 1 when it ended in a drop, 0 when it was cancelled, refused or could not start.
[[nodiscard]] int RunFileDrag(HWND host, const std::vector<std::wstring>& paths, FileDragImage image) noexcept;

}  // namespace veyra
