// The folder window as a drop target: where a drag over its view lands (its folder, or the folder or
// drive item under the pointer) and the copy or move a drop starts. Called by its CIDropTarget on
// the UI thread from inside OLE's drag loop.

#include <shlwapi.h>

#include <algorithm>

#include "core/fileops/OperationStarters.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/directory/NsDirectoryDlg.h"
#include "shell/dragdrop/DragState.h"
#include "shell/protocol/WindowProtocol.h"

namespace veyra {

namespace {

bool DraggedHere(HWND window) noexcept
{
    return InternalDragFlag == 1 && DragSourceWindow == window;
}

}  // namespace

void NsDirectoryDlg::DragOverTarget(IDataObject*, const std::vector<std::wstring>& paths, POINT clientPoint,
                                    DWORD& effect, std::wstring& targetPath, int& noMove)
{
    noMove = 0;
    effect = DROPEFFECT_COPY;
    if (paths.empty()) {
        effect = DROPEFFECT_NONE;
        return;
    }
    // A drag of our own within one drive is a move, decided here (the source only ever offers a copy).
    if (InternalDragFlag == 1 && StrCmpNIW(paths.front().c_str(), targetPath.c_str(), 2) == 0) {
        effect = DROPEFFECT_MOVE;
    }
    NsIcon* item = m_view ? m_view->ItemFromPoint(&clientPoint) : nullptr;
    if (item && (item->IsFolder() || item->IsDrive())) {
        if (item->IsDrive() && item->IsNotReady()) {
            return;
        }
        const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
        targetPath = item->Record().path;
        if (item->IsShortcut()) {
            std::wstring resolved;
            if (view.ResolveShortcut(targetPath, resolved, m_ownerKey)) {
                targetPath = std::move(resolved);
            }
        }
        if (DraggedHere(Handle())) {
            std::wstring itself;
            int deleted = 0;
            static_cast<void>(view.ResolvePath(item->Record().path, itself, m_ownerKey, deleted));
            if (std::find(paths.begin(), paths.end(), itself) != paths.end() ||
                std::find(paths.begin(), paths.end(), item->Record().path) != paths.end()) {
                effect = DROPEFFECT_NONE;  // an item is not dropped into itself
                return;
            }
        }
        PostMessageW(Handle(), WM_NS_DRAG_HIGHLIGHT, reinterpret_cast<WPARAM>(item), 0);
        return;
    }
    if (m_view) {
        m_view->ClearDropHighlight(kCoverNormal);
    }
    if (DraggedHere(Handle())) {
        effect = DROPEFFECT_NONE;  // nothing is dropped on the folder it came from
    }
}

void NsDirectoryDlg::DropOnTarget(IDataObject*, const std::vector<std::wstring>& paths, const std::wstring& targetPath,
                                  int move)
{
    if (paths.empty() || targetPath.empty()) {
        return;
    }
    if (move == 1 && InternalDragFlag == 1) {
        static_cast<void>(StartMoveOperation(&paths, targetPath, m_ownerKey));
    } else {
        static_cast<void>(StartCopyOperation(&paths, targetPath, m_ownerKey, InternalDragFlag));
    }
}

}  // namespace veyra
