// NsExplorer: the start of an OLE drag of the selection, with its picture. UI thread; DoDragDrop's modal
// loop lets notices and timers change the items meanwhile, so nothing of an item is held across it.

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/dragdrop/FileDrag.h"
#include "shell/explorer/NsExplorer.h"

namespace veyra {

int NsExplorer::BeginDrag(const std::vector<std::wstring>& paths)
{
    NsIcon* focus = FocusItem();
    if (paths.empty() || !focus || m_renameEditor) {
        return 0;
    }
    // The picture shows what the item stands for: a shortcut's target, in the sandbox copy when there is one.
    std::wstring source = focus->Record().path;
    if (focus->IsShortcut()) {
        std::wstring target;
        if (CSandBoxFileSystem::Instance().ResolveShortcut(source, target, m_ownerKey) && !target.empty()) {
            source = std::move(target);
        }
    }
    const ShellPlatform platform = CurrentShellPlatform();
    FileDragImage image;
    image.bitmap = MakeDragImage(m_hostWindow, ResolvedPath(source), paths.size(), platform);
    image.placement = PlaceDragImage(focus->Record().labelRect, platform);
    image.colorKey = DragImageColorKey(platform);
    return RunFileDrag(m_hostWindow, paths, std::move(image));
}

}  // namespace veyra
