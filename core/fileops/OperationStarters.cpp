#include "OperationStarters.h"

#include <shlwapi.h>

#include <cwctype>

#include "ChangeNotice.h"
#include "FilePrimitives.h"
#include "NsOperations.h"
#include "OperationPrompts.h"
#include "WorkerSteps.h"
#include "core/sandboxview/CSandBoxFileSystem.h"

namespace veyra {

namespace {

// Drops the sources that would be worked into themselves: a source equal to the destination (with
// view paths, compared exactly) and a folder that holds the destination (told to the user).
std::vector<std::wstring> FilterSources(const std::vector<std::wstring>& sources, const std::wstring& destination,
                                        int ownerKey, bool viewPaths)
{
    const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    std::vector<std::wstring> kept;
    for (const std::wstring& source : sources) {
        std::wstring compared = source;
        if (viewPaths) {
            (void)view.GetViewPath(source, compared, ownerKey);
            if (compared == destination) {
                continue;
            }
        }
        if (IsSameOrInside(destination, compared)) {
            FileOperationContext context;
            context.Initialise(GetHostWindow(ownerKey), 0, nullptr, ownerKey);
            context.sourcePath = compared;
            context.targetPath = destination;
            (void)ReportTargetInsideSource(&context);
            continue;
        }
        kept.push_back(source);
    }
    return kept;
}

int SendToDesktop(const RefPtr<NsOperate>& operation, int ownerKey) noexcept
{
    (void)SendMessageW(GetHostWindow(ownerKey), WM_NS_START_OPERATION, reinterpret_cast<WPARAM>(operation.get()), 0);
    return 1;
}

std::wstring UpperExtension(const std::wstring& path)
{
    std::wstring extension = PathFindExtensionW(path.c_str());
    for (wchar_t& c : extension) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return extension;
}

bool EndsWithLnk(const std::wstring& path)
{
    return path.size() > 4 && lstrcmpiW(path.c_str() + path.size() - 4, L".lnk") == 0;
}

// The name checks; false when the rename must not go on.
bool NameAccepted(const std::wstring& oldPath, const std::wstring& newName, bool isFolder, bool isShortcut,
                  FileOperationContext& context)
{
    if (isFolder || isShortcut) {
        if (newName.empty() && isFolder) {
            (void)ShowNameRequired(&context);
        }
        return !newName.empty();
    }
    const std::wstring newExtension = UpperExtension(newName);
    if (newName.size() <= newExtension.size()) {
        (void)ShowNameRequired(&context);
        return false;
    }
    return newExtension == UpperExtension(oldPath) || ConfirmExtensionChange(&context) == 1;
}

}  // namespace

int StartCopyOperation(const std::vector<std::wstring>* sources, const std::wstring& destination, int ownerKey,
                       int sourcesInView) noexcept
{
    try {
        if (!sources) {
            return 0;
        }
        std::vector<std::wstring> kept = FilterSources(*sources, destination, ownerKey, sourcesInView == 1);
        if (kept.empty()) {
            return 0;
        }
        RefPtr<NsOperate> operation = MakeRef<NsCopyOperate>(std::move(kept), destination, ownerKey, sourcesInView);
        return operation ? SendToDesktop(operation, ownerKey) : 0;
    } catch (...) {
        return 0;
    }
}

int StartMoveOperation(const std::vector<std::wstring>* sources, const std::wstring& destination,
                       int ownerKey) noexcept
{
    try {
        if (!sources) {
            return 0;
        }
        std::vector<std::wstring> kept = FilterSources(*sources, destination, ownerKey, true);
        if (kept.empty()) {
            return 0;
        }
        RefPtr<NsOperate> operation = MakeRef<NsMoveOperate>(std::move(kept), destination, ownerKey);
        return operation ? SendToDesktop(operation, ownerKey) : 0;
    } catch (...) {
        return 0;
    }
}

int StartRenameOperation(const std::wstring& oldPath, const std::wstring& newPath, int ownerKey) noexcept
{
    try {
        RefPtr<NsOperate> operation = MakeRef<NsRenameOperate>(oldPath, newPath, ownerKey);
        return operation ? SendToDesktop(operation, ownerKey) : 0;
    } catch (...) {
        return 0;
    }
}

int StartDeleteOperation(const std::vector<std::wstring>* paths, int ownerKey, int) noexcept
{
    try {
        if (!paths) {
            return 0;
        }
        RefPtr<NsOperate> operation = MakeRef<NsDeleteOperate>(*paths, ownerKey);
        if (!operation) {
            return 0;
        }
        HANDLE thread = operation->Start();
        if (!thread) {
            return 0;
        }
        CloseHandle(thread);
        return 1;
    } catch (...) {
        return 0;
    }
}

int RenameItem(const std::wstring& oldPath, const std::wstring& newName, int ownerKey, HWND ownerWindow) noexcept
{
    try {
        const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
        const bool isFolder = view.ClassifyPath(oldPath, ownerKey) == SBFS_FOLDER;
        const bool isShortcut = !isFolder && EndsWithLnk(oldPath);
        FileOperationContext context;
        context.Initialise(ownerWindow, 0, nullptr, ownerKey);
        if (!NameAccepted(oldPath, newName, isFolder, isShortcut, context)) {
            return 0;
        }
        const std::wstring parent = view.GetParentPath(oldPath);
        const std::wstring candidate = isShortcut ? newName + L".lnk" : newName;
        std::wstring newPath = parent + L"\\" + candidate;
        // Any entry takes a name (a file and a folder cannot share one); a change of letter case
        // alone is no clash with the item itself.
        const bool caseOnly = lstrcmpiW(candidate.c_str(), PathFindFileNameW(oldPath.c_str())) == 0;
        if (!caseOnly && view.NameExistsInFolder(parent, candidate, 0, ownerKey)) {
            std::wstring freeName;
            if (MakeKeepBothName(newPath, freeName, ownerKey, isFolder ? 1 : 0)) {
                newPath = std::move(freeName);
            }
            if (ConfirmAutoRename(&context) != 1) {
                return 0;
            }
        }
        return StartRenameOperation(oldPath, newPath, ownerKey);
    } catch (...) {
        return 0;
    }
}

}  // namespace veyra
