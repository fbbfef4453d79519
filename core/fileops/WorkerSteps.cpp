#include "WorkerSteps.h"

#include <objbase.h>
#include <shlwapi.h>

#include "WorkOrder.h"
#include "base/UniqueResource.h"
#include "core/sandboxview/CSandBoxFileSystem.h"

namespace veyra {

namespace {

bool IsDotName(const wchar_t* name) noexcept
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

// The real folder's entries, every name (also those beginning with '.'), without the view.
bool ListRealEntries(const std::wstring& folder, std::vector<std::pair<std::wstring, bool>>& entries)
{
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        if (!IsDotName(data.cFileName)) {
            entries.emplace_back(data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
    } while (FindNextFileW(find.get(), &data));
    return true;
}

bool ListViewEntries(const CSandBoxFileSystem& view, const std::wstring& folder, int sandboxId,
                     std::vector<std::pair<std::wstring, bool>>& entries)
{
    std::vector<FileItemRecord> records;
    if (!view.ListFolder(folder, records, sandboxId, ListingScope::Everything)) {
        return false;
    }
    for (const FileItemRecord& record : records) {
        entries.emplace_back(PathFindFileNameW(record.path.c_str()), record.IsFolder());
    }
    return true;
}

std::wstring MegabytesText(std::uint64_t bytes)
{
    return std::to_wstring(static_cast<long long>(static_cast<double>(bytes) / 1048576.0));
}

}  // namespace

void ListFolderItems(const CSandBoxFileSystem& view, const std::wstring& source, const std::wstring& target, int id,
                     SourceListing listing, int sandboxId, FileOperationItems& items)
{
    items.push_back({id, 1, source, target, 0});
    std::vector<std::pair<std::wstring, bool>> entries;
    const bool listed = listing == SourceListing::View ? ListViewEntries(view, source, sandboxId, entries)
                                                       : ListRealEntries(source, entries);
    if (!listed) {
        return;
    }
    for (const auto& [name, isFolder] : entries) {
        if (isFolder) {
            ListFolderItems(view, source + L"\\" + name, target + L"\\" + name, id, listing, sandboxId, items);
        } else {
            items.push_back({id, 0, source + L"\\" + name, target, 0});
        }
    }
}

bool IsSameOrInside(const std::wstring& target, const std::wstring& source) noexcept
{
    if (source.empty() || target.size() < source.size()) {
        return false;
    }
    const bool prefix = CompareStringOrdinal(target.c_str(), static_cast<int>(source.size()), source.c_str(),
                                             static_cast<int>(source.size()), TRUE) == CSTR_EQUAL;
    return prefix && (target.size() == source.size() || target[source.size()] == L'\\' || source.back() == L'\\');
}

void ShowOperationTotals(const CSandBoxFileSystem& view, FileOperationItems& items, FileOperationContext& context,
                         HWND progressWindow)
{
    const bool rename = (context.type & OperationType::kRename) != 0;
    int count = 0;
    std::uint64_t total = 0;
    for (FileOperationItem& item : items) {
        if (item.isFolder) {
            continue;
        }
        count += 1;
        std::wstring resolved;
        int deleted = 0;
        (void)view.ResolvePath(item.source, resolved, context.ownerKey, deleted);
        // A copy of a sandbox file is a rename inside the sandbox copy: it costs no bytes worth showing.
        if (deleted || (!rename && view.IsInSandboxFolder(resolved, context.ownerKey))) {
            continue;
        }
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExW(resolved.c_str(), GetFileExInfoStandard, &data)) {
            item.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            total += item.size;
        }
    }
    OperationProgress* progress = context.progressDialog;
    progress->SetTotals(count, total);
    if (rename) {
        progress->SetText(std::wstring());
    } else if (total > kProgressWindowThreshold) {
        const bool copy = (context.type & OperationType::kCopy) != 0;
        progress->SetTitle(copy ? L"正在复制..." : L"正在移动...");
        progress->SetText((copy ? L"正在复制 " : L"正在移动 ") + std::to_wstring(count) + L" 个项目（" +
                          MegabytesText(total) + L" MB）");
        // The window belongs to the UI thread: the worker only queues the show, after the texts it is
        // to show at once.
        ShowWindowAsync(progressWindow, SW_SHOWNORMAL);
    }
    context.SetCount(count);
}

void ShowItemProgress(const CSandBoxFileSystem& view, const FileOperationItem& item, const FileOperationContext& context)
{
    OperationProgress* progress = context.progressDialog;
    if ((context.type & OperationType::kRename) != 0) {
        progress->SetDetail(std::wstring());
        return;
    }
    std::wstring sourceView;
    std::wstring targetView;
    (void)view.GetViewPath(item.source, sourceView, context.ownerKey);
    (void)view.GetViewPath(item.target, targetView, context.ownerKey);
    const std::wstring sourceFolder = view.GetParentPath(sourceView);
    const wchar_t* verb = (context.type & OperationType::kMove) != 0 ? L") 移动到 " : L") 复制到 ";
    progress->SetDetail(L"从 " + view.GetDisplayName(sourceFolder) + L" (" + sourceFolder + verb +
                        view.GetDisplayName(targetView) + L" (" + targetView + L") ");
}

bool MakeTargetFolder(const CSandBoxFileSystem& view, const FileOperationItem& item, FileOperationContext& context)
{
    context.type |= OperationType::kFolderMade;
    const int made = view.MakeFolder(item.target, context.ownerKey, &context);
    context.type &= ~OperationType::kFolderMade;
    return made == SBFS_FOLDER_READY;
}

bool ShouldStop(const FileOperationContext& context) noexcept
{
    return context.Stopped() || (context.progressDialog && context.progressDialog->Cancelled());
}

void RemoveSourceFolders(const CSandBoxFileSystem& view, FileOperationItems folders, FileOperationContext& context)
{
    context.type = OperationType::kRemoveSourceFolders;
    SortBySourceDescending(folders);
    for (const FileOperationItem& folder : folders) {
        context.SetId(folder.id);
        std::wstring viewPath;
        (void)view.GetViewPath(folder.source, viewPath, context.ownerKey);
        (void)view.DeleteFolder(viewPath, context.ownerKey, 1, &context);
    }
}

ScopedCoInitialize::ScopedCoInitialize() noexcept : m_initialised(SUCCEEDED(CoInitialize(nullptr))) {}

ScopedCoInitialize::~ScopedCoInitialize()
{
    if (m_initialised) {
        CoUninitialize();
    }
}

}  // namespace veyra
