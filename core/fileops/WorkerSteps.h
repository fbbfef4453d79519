#pragma once
// Steps the copy, move, rename and delete workers share: listing a folder into work items, the
// totals, the per-item progress line, the stop test and the removal of emptied source folders.
// Run on the worker thread; the view is called without a lock.

#include <windows.h>

#include <cstdint>
#include <string>

#include "FileOperationContext.h"
#include "OperationProgress.h"

namespace veyra {

class CSandBoxFileSystem;

// Operations above this many bytes show their progress window.
constexpr std::uint64_t kProgressWindowThreshold = 31457280;

// How a folder's entries are listed: through the view (merged, every entry including names that
// begin with '.'), or the real folder alone (a drop from another program).
enum class SourceListing { View, Real };

// Adds a folder item for (source, target), then every entry below it: files go to `target`, folders
// recurse. Items carry `id`; a listing that fails leaves the folder item alone.
void ListFolderItems(const CSandBoxFileSystem& view, const std::wstring& source, const std::wstring& target, int id,
                     SourceListing listing, int sandboxId, FileOperationItems& items);

// True when `target` is `source` or lies inside it (letter case ignored): such a copy or move would
// pour a folder into itself.
[[nodiscard]] bool IsSameOrInside(const std::wstring& target, const std::wstring& source) noexcept;

// Counts the file items and their bytes, sets the progress totals and the context's count, and for
// copy and move shows the progress window (with its texts) above the threshold.
void ShowOperationTotals(const CSandBoxFileSystem& view, FileOperationItems& items, FileOperationContext& context,
                         HWND progressWindow);

// The detail line of one file item ("从 ... 复制到 ..."); empty for rename.
void ShowItemProgress(const CSandBoxFileSystem& view, const FileOperationItem& item, const FileOperationContext& context);

// Stop before the next item: the user cancelled, or an answer asked to stop.
[[nodiscard]] bool ShouldStop(const FileOperationContext& context) noexcept;

// The move and rename workers' last pass: each remembered source folder, deepest first, is removed
// when nothing is left in it (also after a cancel or a stop).
void RemoveSourceFolders(const CSandBoxFileSystem& view, FileOperationItems folders, FileOperationContext& context);

// Makes a folder item's target folder (its notice says a folder appeared); true when it exists afterwards.
bool MakeTargetFolder(const CSandBoxFileSystem& view, const FileOperationItem& item, FileOperationContext& context);

// The per-item loop of the copy, move and rename workers; `transfer` works one file item. Returns the
// folder items whose target folder exists (the move and rename workers remove their emptied sources).
template <typename Transfer>
FileOperationItems WorkItems(const CSandBoxFileSystem& view, const FileOperationItems& items,
                             FileOperationContext& context, Transfer transfer)
{
    FileOperationItems madeFolders;
    for (const FileOperationItem& item : items) {
        if (ShouldStop(context)) {
            break;
        }
        context.SetId(item.id);
        if (item.isFolder) {
            if (MakeTargetFolder(view, item, context)) {
                madeFolders.push_back(item);
            }
            continue;
        }
        ShowItemProgress(view, item, context);
        transfer(item);
        context.progressDialog->FinishItem(item.size);
    }
    return madeFolders;
}

// Per-thread COM for the shell-link calls of the view.
class ScopedCoInitialize {
public:
    ScopedCoInitialize() noexcept;
    ~ScopedCoInitialize();
    ScopedCoInitialize(const ScopedCoInitialize&) = delete;
    ScopedCoInitialize& operator=(const ScopedCoInitialize&) = delete;

private:
    bool m_initialised;
};

}  // namespace veyra
