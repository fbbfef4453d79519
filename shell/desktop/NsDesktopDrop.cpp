// NsDesktop: what the desktop window's drop target asks of it. Called by OLE on the UI thread inside
// its drag loop; item pointers are not kept across calls (the highlight is posted and checked).

#include <shlwapi.h>

#include "core/fileops/OperationStarters.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/desktop/DesktopTimers.h"
#include "shell/desktop/NsDesktop.h"
#include "shell/dragdrop/DragState.h"
#include "shell/protocol/WindowProtocol.h"

namespace veyra {

namespace {

bool SamePath(const std::wstring& a, const std::wstring& b) noexcept
{
    return !a.empty() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

void NsDesktop::DragOverTarget(IDataObject*, const std::vector<std::wstring>& paths, POINT clientPoint,
                               DWORD& effect, std::wstring& targetPath, int& noMove)
{
    noMove = 0;
    effect = DROPEFFECT_COPY;
    if (paths.empty()) {
        effect = DROPEFFECT_NONE;
        return;
    }
    if (InternalDragFlag == 1 && StrCmpNIW(paths.front().c_str(), targetPath.c_str(), 2) == 0) {
        effect = DROPEFFECT_MOVE;  // a view's own drag within one drive
    }
    const bool fromHere = DragSourceWindow == m_hostWindow;
    NsIcon* item = ItemFromPoint(&clientPoint);
    if (!item || (!item->IsFolder() && !item->IsDrive())) {
        ClearDropHighlight(kCoverNormal);
        noMove = fromHere ? 1 : 0;  // back onto the desktop it came from: a reposition, not a move
        return;
    }
    const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    std::wstring folder = item->Record().path;
    std::wstring resolved;
    if (item->IsShortcut() && view.ResolveShortcut(folder, resolved, m_ownerKey)) {
        folder = resolved;
    }
    if (fromHere) {
        // The dragged paths are the items' resolved paths: the folder is refused under either name.
        int deleted = 0;
        std::wstring actual;
        if (view.ResolvePath(folder, actual, m_ownerKey, deleted) != SBFS_EXISTS) {
            actual.clear();
        }
        for (const std::wstring& path : paths) {
            if (SamePath(path, folder) || SamePath(path, actual)) {
                effect = DROPEFFECT_NONE;
                return;
            }
        }
    }
    targetPath = folder;
    PostDropHighlight(m_hostWindow, item);
}

void NsDesktop::DropOnTarget(IDataObject*, const std::vector<std::wstring>& paths, const std::wstring& targetPath,
                             int move)
{
    if (DragSourceWindow == m_hostWindow && IsSameFolder(targetPath, m_desktopFolder)) {
        // Dropped on the desktop it came from: the icon moves, no file does.
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(m_hostWindow, &cursor);
        static_cast<void>(RepositionSelection(POINT{cursor.x, cursor.y - DesktopGrid::kCursorLift}));
        return;
    }
    if (paths.empty() || targetPath.empty()) {
        return;
    }
    if (move == 1 && InternalDragFlag == 1) {
        static_cast<void>(StartMoveOperation(&paths, targetPath, m_ownerKey));
    } else if (move == 0) {
        static_cast<void>(StartCopyOperation(&paths, targetPath, m_ownerKey, InternalDragFlag == 1 ? 1 : 0));
    }
}

void NsDesktop::DragEnded()
{
    EndDropHighlight();
}

bool NsDesktop::RepositionSelection(POINT point)
{
    std::vector<NsIcon*> selected = SelectedItems();
    const int cell = m_grid.IndexFromPoint(point);
    if (selected.size() != 1 || cell < 0 || m_grid.IsOccupied(cell) || ItemFromPoint(&point)) {
        return false;
    }
    const std::wstring path = selected.front()->Record().path;
    if (path.rfind(L"::", 0) == 0) {
        return false;  // a shell item cannot be made again from its path
    }
    RemoveItems(selected);  // gives its cell back
    return AddItems({path}) == 1;
}

}  // namespace veyra
