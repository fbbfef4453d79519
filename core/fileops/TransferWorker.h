#pragma once
// The frame of the copy, move and rename workers: early exits, COM, the sorted work list, the
// context, the totals, the per-item loop and, for move and rename, the removal of emptied source
// folders; then the progress window is closed. Runs on the operation's worker thread.

#include "NsOperate.h"
#include "WorkOrder.h"
#include "WorkerSteps.h"
#include "core/sandboxview/CSandBoxFileSystem.h"

namespace veyra {

enum class SourceFolders { Keep, RemoveEmptied };

template <typename Operation, typename List, typename Transfer>
DWORD RunTransferWorker(Operation* operation, int type, List list, Transfer transfer, SourceFolders sourceFolders) noexcept
{
    if (!operation) {
        return 0;
    }
    if (!operation->progressDialog) {
        PostMessageW(operation->progressWindow, WM_CLOSE, 0, 0);
        return 0;
    }
    try {
        ScopedCoInitialize com;
        const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
        FileOperationItems items = list(view, *operation);
        SortByTarget(items);
        FileOperationContext context;
        context.Initialise(operation->progressWindow, type, operation->progressDialog.get(), operation->ownerKey);
        ShowOperationTotals(view, items, context, operation->progressWindow);
        FileOperationItems madeFolders = WorkItems(view, items, context, [&](const FileOperationItem& item) {
            transfer(view, item, context);
        });
        if (sourceFolders == SourceFolders::RemoveEmptied) {
            RemoveSourceFolders(view, std::move(madeFolders), context);
        }
    } catch (...) {
        // Out of memory: the operation ends here; every source not yet worked stays as it was.
    }
    PostMessageW(operation->progressWindow, WM_CLOSE, 0, 0);
    return 1;
}

}  // namespace veyra
