#include "shell/directory/FolderDropDecision.h"

#include <shlwapi.h>

#include <algorithm>

namespace veyra {

FolderDragDecision DecideFolderDrag(const std::vector<std::wstring>& paths, const std::wstring& folder,
                                    const FolderDragItem& item, bool internalDrag, bool fromThisWindow)
{
    FolderDragDecision decision;
    decision.targetPath = folder;
    if (paths.empty()) {
        return decision;
    }
    decision.effect = DROPEFFECT_COPY;
    // A drag of our own within one drive is a move, decided here (the source only ever offers a copy).
    if (internalDrag && StrCmpNIW(paths.front().c_str(), folder.c_str(), 2) == 0) {
        decision.effect = DROPEFFECT_MOVE;
    }
    if (item.kind == DragItemKind::Folder || item.kind == DragItemKind::Drive) {
        if (item.kind == DragItemKind::Drive && item.notReady) {
            return decision;
        }
        decision.targetPath = item.target;
        if (internalDrag && fromThisWindow) {
            // An item is not dropped into itself, whether it was named by its view path or resolved.
            for (const std::wstring& self : {item.resolved, item.path}) {
                if (std::find(paths.begin(), paths.end(), self) != paths.end()) {
                    decision.effect = DROPEFFECT_NONE;
                    return decision;
                }
            }
        }
        decision.highlightItem = true;
        return decision;
    }
    decision.clearHighlight = true;
    if (internalDrag && fromThisWindow) {
        decision.effect = DROPEFFECT_NONE;  // nothing is dropped on the folder it came from
    }
    return decision;
}

}  // namespace veyra
