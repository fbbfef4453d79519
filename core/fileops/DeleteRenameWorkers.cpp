// The delete worker (asks, then removes files and emptied folders from the view) and the rename
// worker (moves an item, and for a folder everything in it, to its new path in the view).

#include <shlwapi.h>

#include "ChangeNotice.h"
#include "NsOperations.h"
#include "OperationPrompts.h"
#include "TransferWorker.h"

namespace veyra {

namespace {

FileOperationItems ListDeleteSources(const CSandBoxFileSystem& view, const NsDeleteOperate& operation)
{
    FileOperationItems items;
    const int key = operation.ownerKey;
    for (const std::wstring& given : operation.sources) {
        std::wstring source;
        (void)view.GetViewPath(given, source, key);
        if (view.ClassifyPath(source, key) == SBFS_FOLDER) {
            ListFolderItems(view, source, std::wstring(), 1, SourceListing::View, key, items);
        } else if (view.PathExists(source, key)) {
            items.push_back({1, 0, source, std::wstring(), 0});
        }
    }
    // Folder items listed with an empty target carry it into their file items: clear them all.
    for (FileOperationItem& item : items) {
        item.target.clear();
    }
    return items;
}

bool Confirmed(const NsDeleteOperate& operation, FileOperationContext& asking)
{
    asking.SetCount(static_cast<int>(operation.sources.size()));
    if (operation.sources.size() >= 2) {
        return ConfirmDeleteItems(&asking) == 1;
    }
    if (operation.sources.size() == 1) {
        asking.sourcePath = operation.sources.front();
        asking.keepBothName.clear();
        return ConfirmDeleteItem(&asking) == 1;
    }
    return false;
}

// Removes one item; true when it is gone from the view.
bool DeleteOne(const CSandBoxFileSystem& view, const FileOperationItem& item, FileOperationContext& context)
{
    context.SetId(item.id);
    if (!item.isFolder) {
        context.sourcePath = item.source;
        FileOperationContext* pointer = &context;
        return view.DeleteItem(item.source, context.ownerKey, &pointer) == SBFS_REMOVED;
    }
    context.type |= OperationType::kFolderRemoved;
    const int removed = view.DeleteFolder(item.source, context.ownerKey, 1, &context);
    context.type &= ~OperationType::kFolderRemoved;
    return removed == SBFS_REMOVED;
}

FileOperationItems ListRenameSource(const CSandBoxFileSystem& view, const NsRenameOperate& operation)
{
    FileOperationItems items;
    const int key = operation.ownerKey;
    std::wstring source;
    (void)view.GetViewPath(operation.oldPath, source, key);
    if (view.ClassifyPath(source, key) == SBFS_FOLDER) {
        ListFolderItems(view, source, operation.newPath, 1, SourceListing::View, key, items);
        // Rename file items name their full target path.
        for (FileOperationItem& item : items) {
            if (!item.isFolder) {
                item.target += L"\\";
                item.target += PathFindFileNameW(item.source.c_str());
            }
        }
    } else if (view.PathExists(source, key)) {
        items.push_back({1, 0, source, operation.newPath, 0});
    }
    return items;
}

}  // namespace

DWORD DeleteWorkerThread(NsDeleteOperate* operation) noexcept
{
    if (!operation) {
        return 0;
    }
    try {
        ScopedCoInitialize com;
        const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
        FileOperationContext asking;
        asking.Initialise(GetHostWindow(operation->ownerKey), OperationType::kDelete, nullptr, operation->ownerKey);
        const bool confirmed = !operation->Cancelled() && Confirmed(*operation, asking);
        FileOperationItems items = ListDeleteSources(view, *operation);
        SortBySourceDescending(items);
        if (!confirmed) {
            return 0;
        }
        FileOperationContext context;
        context.Initialise(asking.ownerWindow, OperationType::kDelete, nullptr, operation->ownerKey);
        int left = 0;
        std::wstring firstLeft;
        for (const FileOperationItem& item : items) {
            if (context.Stopped() || operation->Cancelled()) {
                break;
            }
            if (!DeleteOne(view, item, context) && left++ == 0) {
                firstLeft = item.source;
            }
        }
        // What could not be removed is told, not passed over in silence.
        if (left > 0 && !context.Stopped()) {
            context.SetCount(left);
            context.sourcePath = firstLeft;
            (void)ReportNotDeleted(&context);
        }
    } catch (...) {
        // Out of memory: what was removed stays removed; nothing else changes.
    }
    return 1;
}

DWORD RenameWorkerThread(NsRenameOperate* operation) noexcept
{
    return RunTransferWorker(
        operation, OperationType::kRename, ListRenameSource,
        [](const CSandBoxFileSystem& view, const FileOperationItem& item, FileOperationContext& context) {
            (void)view.MoveFile(item.source, item.target, context.ownerKey, &context);
        },
        SourceFolders::RemoveEmptied);
}

DWORD NsDeleteOperate::RunWorker() noexcept
{
    return DeleteWorkerThread(this);
}

DWORD NsRenameOperate::RunWorker() noexcept
{
    return RenameWorkerThread(this);
}

}  // namespace veyra
