// The copy and move workers: list the sources into work items, count them, then work them one by one
// through the sandbox view's writes, which call the file primitives with this worker's context.

#include <shlwapi.h>

#include "NsOperations.h"
#include "TransferWorker.h"

namespace veyra {

namespace {

std::wstring ViewPathOf(const CSandBoxFileSystem& view, const std::wstring& path, int sandboxId)
{
    std::wstring viewPath;
    (void)view.GetViewPath(path, viewPath, sandboxId);
    return viewPath;
}

// A folder source that holds the destination is left out: the starter already told the user.
FileOperationItems ListCopySources(const CSandBoxFileSystem& view, const NsCopyOperate& operation)
{
    FileOperationItems items;
    const int id = operation.sourcesInView;
    const int key = operation.ownerKey;
    for (const std::wstring& given : operation.sources) {
        if (id == 1) {
            const std::wstring source = ViewPathOf(view, given, key);
            if (view.ClassifyPath(source, key) == SBFS_FOLDER) {
                const std::wstring target = operation.destination + L"\\" + PathFindFileNameW(source.c_str());
                if (!IsSameOrInside(operation.destination, source)) {
                    ListFolderItems(view, source, target, id, SourceListing::View, key, items);
                }
            } else if (view.PathExists(source, key)) {
                items.push_back({id, 0, source, operation.destination, 0});
            }
        } else if (PathIsDirectoryW(given.c_str())) {
            const std::wstring target = operation.destination + L"\\" + PathFindFileNameW(given.c_str());
            if (!IsSameOrInside(operation.destination, given)) {
                ListFolderItems(view, given, target, id, SourceListing::Real, key, items);
            }
        } else if (PathFileExistsW(given.c_str())) {
            items.push_back({id, 0, given, operation.destination, 0});
        }
    }
    return items;
}

FileOperationItems ListMoveSources(const CSandBoxFileSystem& view, const NsMoveOperate& operation)
{
    FileOperationItems items;
    const int key = operation.ownerKey;
    for (const std::wstring& given : operation.sources) {
        const std::wstring source = ViewPathOf(view, given, key);
        if (view.ClassifyPath(source, key) == SBFS_FOLDER) {
            const std::wstring target = operation.destination + L"\\" + PathFindFileNameW(source.c_str());
            if (!IsSameOrInside(operation.destination, source)) {
                ListFolderItems(view, source, target, 1, SourceListing::View, key, items);
            }
        } else if (view.PathExists(source, key)) {
            items.push_back({1, 0, source, operation.destination, 0});
        }
    }
    return items;
}

}  // namespace

DWORD CopyWorkerThread(NsCopyOperate* operation) noexcept
{
    return RunTransferWorker(
        operation, OperationType::kCopy, ListCopySources,
        [](const CSandBoxFileSystem& view, const FileOperationItem& item, FileOperationContext& context) {
            (void)view.CopyFileIn(item.source, item.target, context.ownerKey, item.id, &context);
        },
        SourceFolders::Keep);
}

DWORD MoveWorkerThread(NsMoveOperate* operation) noexcept
{
    return RunTransferWorker(
        operation, OperationType::kMove, ListMoveSources,
        [](const CSandBoxFileSystem& view, const FileOperationItem& item, FileOperationContext& context) {
            (void)view.MoveFileIn(ViewPathOf(view, item.source, context.ownerKey), item.target, context.ownerKey,
                                  &context);
        },
        SourceFolders::RemoveEmptied);
}

DWORD NsCopyOperate::RunWorker() noexcept
{
    return CopyWorkerThread(this);
}

DWORD NsMoveOperate::RunWorker() noexcept
{
    return MoveWorkerThread(this);
}

}  // namespace veyra
