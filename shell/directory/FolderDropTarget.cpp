// The folder window as a drop target: the item under the pointer looked up for the drop decision, the
// highlight it asks for, and the copy or move a drop starts. Called by its CIDropTarget on the UI
// thread from inside OLE's drag loop.

#include "core/fileops/OperationStarters.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/directory/FolderDropDecision.h"
#include "shell/directory/NsDirectoryDlg.h"
#include "shell/dragdrop/DragState.h"
#include "shell/protocol/WindowProtocol.h"

namespace veyra {

namespace {

FolderDragItem DescribeItem(NsIcon* item, int sandboxId)
{
    FolderDragItem described;
    if (!item) {
        return described;
    }
    described.kind = item->IsFolder() ? DragItemKind::Folder : item->IsDrive() ? DragItemKind::Drive : DragItemKind::Other;
    described.notReady = item->IsNotReady();
    described.path = item->Record().path;
    described.target = described.path;
    const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    if (item->IsShortcut()) {
        std::wstring resolved;
        if (view.ResolveShortcut(described.path, resolved, sandboxId)) {
            described.target = std::move(resolved);
        }
    }
    int deleted = 0;
    static_cast<void>(view.ResolvePath(described.path, described.resolved, sandboxId, deleted));
    return described;
}

}  // namespace

void NsDirectoryDlg::DragOverTarget(IDataObject*, const std::vector<std::wstring>& paths, POINT clientPoint,
                                    DWORD& effect, std::wstring& targetPath, int& noMove)
{
    noMove = 0;
    NsIcon* item = m_view ? m_view->ItemFromPoint(&clientPoint) : nullptr;
    const FolderDragDecision decision =
        DecideFolderDrag(paths, targetPath, DescribeItem(item, m_ownerKey), InternalDragFlag == 1,
                         InternalDragFlag == 1 && DragSourceWindow == Handle());
    effect = decision.effect;
    targetPath = decision.targetPath;
    if (decision.highlightItem) {
        m_view->PostDropHighlight(Handle(), item);
    } else if (decision.clearHighlight && m_view) {
        m_view->ClearDropHighlight(kCoverNormal);
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

void NsDirectoryDlg::DragEnded()
{
    if (m_view) {
        m_view->EndDropHighlight();
    }
}

}  // namespace veyra
