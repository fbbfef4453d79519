// NsExplorer: the in-place rename box over the focus item's caption, and the selection's paths.

#include <shlwapi.h>

#include "core/fileops/OperationStarters.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/shellutil/DesktopMetrics.h"
#include "shell/dragdrop/DragState.h"
#include "shell/explorer/NsExplorer.h"

namespace veyra {

namespace {

constexpr int kEditorLineHeight = 17;
constexpr int kComputerNameLimit = 20;
constexpr int kNameLimit = 200;

}  // namespace

RECT NsExplorer::RenameEditorRect(const FileItemRecord& record) const
{
    const RECT& cell = record.cellRect;
    RECT rect{cell.left - 2, cell.top - kScrollUnitPixels * ScrollPosition() + kLabelTop, cell.right + 2, 0};
    rect.bottom = rect.top + kEditorLineHeight;
    if (record.lineCount == 1) {
        const int width = MeasureLabelWidth(m_hostWindow, record.caption.c_str()) + 10;
        const int spanLeft = cell.left - 2, spanWidth = (cell.right - cell.left) + 8;
        rect.left = spanLeft + (spanWidth - width) / 2;
        rect.right = rect.left + width;
    }
    return rect;
}

void NsExplorer::FollowRenamingItem()
{
    if (m_renameEditor && m_renamingItem && m_renameEditor->Handle()) {
        const RECT rect = RenameEditorRect(m_renamingItem->Record());
        MoveWindow(m_renameEditor->Handle(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    }
}

int NsExplorer::BeginRename()
{
    CloseRenameEditor();
    NsIcon* item = FocusItem();
    if (InternalDragFlag == 1 || !item || !m_labelFont || item->IsDrive() || !item->IconControl()) {
        return 0;
    }
    const FileItemRecord& record = item->Record();
    item->IconControl()->SetLabel(L"", m_viewMode);
    item->Refresh();

    const RECT rect = RenameEditorRect(record);
    auto editor = std::make_unique<CSimpleEditCtrl>(m_panel.get(), item, m_viewMode == VIEW_MODE_DESKTOP ? 1 : 0);
    if (!editor->Create(m_hostWindow, rect, kRenameBoxStyle)) {
        item->IconControl()->SetLabel(record.caption, m_viewMode);
        item->Refresh();
        return 0;
    }
    const HWND box = editor->Handle();
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(m_labelFont.get()), FALSE);
    SetWindowTextW(box, record.caption.c_str());
    SendMessageW(box, EM_LIMITTEXT, m_viewMode == VIEW_MODE_COMPUTER ? kComputerNameLimit : kNameLimit, 0);
    int selectionEnd = -1;
    if (!item->IsFolder() && !item->IsShortcut()) {
        const size_t dot = record.caption.rfind(L'.');
        selectionEnd = dot == std::wstring::npos ? -1 : static_cast<int>(dot);
    }
    SendMessageW(box, EM_SETSEL, 0, selectionEnd);
    ShowWindow(box, SW_SHOW);
    SetFocus(box);
    m_renameEditor = std::move(editor);
    m_renamingItem = item;
    ScopedLock lock(m_itemsLock);
    m_selection.SetFocus(item);
    return 1;
}

void NsExplorer::CommitRename(int changed)
{
    if (!m_renameEditor || !m_renamingItem) {
        return;  // the box went with its item, or a second notice
    }
    const std::wstring newName = m_renameEditor->NewName();
    const std::wstring oldPath = m_renamingItem->Record().path;
    if (m_renamingItem->IconControl()) {
        m_renamingItem->IconControl()->SetLabel(m_renamingItem->Record().caption, m_viewMode);
    }
    m_renamingItem->Refresh();
    m_renamingItem = nullptr;
    ShowWindow(m_renameEditor->Handle(), SW_HIDE);
    SendMessageW(m_renameEditor->Handle(), WM_CLOSE, 0, 0);
    m_renameEditor.reset();
    if (changed) {
        static_cast<void>(RenameItem(oldPath, newName, m_ownerKey, m_hostWindow));
    }
}

std::wstring NsExplorer::ResolvedPath(const std::wstring& path) const
{
    std::wstring resolved;
    int deleted = 0;
    return CSandBoxFileSystem::Instance().ResolvePath(path, resolved, m_ownerKey, deleted) == SBFS_EXISTS ? resolved
                                                                                                      : path;
}

void NsExplorer::CollectSelectedPaths(std::vector<std::wstring>& paths)
{
    ScopedLock lock(m_itemsLock);
    for (NsIcon* item : m_selection.Selected()) {
        if (!item->Record().path.empty()) {
            paths.push_back(ResolvedPath(item->Record().path));
        }
    }
}

}  // namespace veyra
