#include "FilePrimitives.h"

#include <shlwapi.h>

#include "ChangeNotice.h"
#include "FileOperationView.h"
#include "OperationProgress.h"
#include "OperationPrompts.h"
#include "base/UniqueResource.h"

namespace veyra {

namespace {

constexpr DWORD kCopyFlags = COPY_FILE_FAIL_IF_EXISTS | COPY_FILE_ALLOW_DECRYPTED_DESTINATION;

// How one failed transfer goes on.
enum class Next { Retry, Fail };

bool SameText(const std::wstring& a, const std::wstring& b) noexcept
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

bool Exists(const std::wstring& path) noexcept
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// True when both paths open the same file (another letter case, a short name, a second link).
bool SameFile(const std::wstring& a, const std::wstring& b) noexcept
{
    auto identify = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        UniqueFileHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return file && GetFileInformationByHandle(file.get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return identify(a, first) && identify(b, second) && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

bool IsDiskFull(DWORD error) noexcept
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

bool CancelledBy(const FileOperationContext* context) noexcept
{
    return context && context->progressDialog && context->progressDialog->Cancelled();
}

// The in-use question; a refusal stops the operation before its next item.
Next AskInUse(const std::wstring& existing, FileOperationContext& context) noexcept
{
    try {
        context.sourcePath = existing;
    } catch (...) {
        context.sourcePath.clear();
    }
    if (AskRetryFileInUse(&context)) {
        return Next::Retry;
    }
    context.Stop();
    return Next::Fail;
}

// Tells the user why a file could not be written; disk full (or a refusal to go on) stops the operation.
void ReportFailure(const std::wstring& existing, const std::wstring& target, DWORD error,
                   FileOperationContext& context) noexcept
{
    if (error == ERROR_REQUEST_ABORTED || CancelledBy(&context) || !Exists(existing)) {
        return;  // cancelled, or the item vanished: nothing to tell
    }
    try {
        context.sourcePath = existing;
        context.targetPath = target;
    } catch (...) {
    }
    const bool canContinue = !IsDiskFull(error);
    if (!ReportWriteFailure(&context, error, canContinue)) {
        context.Stop();
    }
}

struct Conflict {
    Next next = Next::Fail;
    bool replace = false;
};

// True when `target`, a path in the sandbox copy that holds no file yet, stands for a view path at
// which the view shows a real item: writing the copy there would hide the user's file without a word.
bool HidesShownItem(const std::wstring& target, int ownerKey) noexcept
{
    try {
        const IFileOperationView& view = GetFileOperationView();
        const std::wstring viewPath = view.GetViewPath(target, ownerKey);
        return !SameText(viewPath, target) && !Exists(target) && view.PathShown(viewPath, ownerKey);
    } catch (...) {
        return false;
    }
}

// The conflict question for an existing target; keep both renames the target in place.
Conflict AskConflict(const std::wstring& existing, std::wstring& target, int ownerKey,
                     FileOperationContext& context) noexcept
{
    std::wstring keepBoth;
    if (!MakeKeepBothName(target, keepBoth, ownerKey, 0)) {
        keepBoth.clear();
    }
    try {
        context.sourcePath = existing;
        context.targetPath = target;
        context.keepBothName = keepBoth;
    } catch (...) {
        return {};
    }
    const int answer = AskReplaceFile(&context);
    if (answer & ConflictAnswer::kReplace) {
        return {Next::Retry, true};
    }
    // Keep both without a free name is a skip: never a copy to an empty path.
    if ((answer & ConflictAnswer::kKeepBoth) && !keepBoth.empty()) {
        target = std::move(keepBoth);
        return {Next::Retry, false};
    }
    return {};
}

// A hidden sibling of `target` to write a replacement into; empty when none can be made. Names that
// begin with '.' never show in the view's listings.
std::wstring MakeReplacementName(const std::wstring& target) noexcept
{
    try {
        std::wstring folder = target;
        PathRemoveFileSpecW(folder.data());
        folder.resize(wcslen(folder.c_str()));
        wchar_t name[MAX_PATH] = {};
        if (folder.size() + 14 >= MAX_PATH || !GetTempFileNameW(folder.c_str(), L".vy", 0, name)) {
            return std::wstring();
        }
        return name;
    } catch (...) {
        return std::wstring();
    }
}

// Copies into a hidden sibling, then puts it in the target's place: the old file stays whole until
// the new one is complete. Leaves GetLastError set on failure.
bool ReplaceByCopy(const std::wstring& existing, const std::wstring& target, FileOperationContext& context) noexcept
{
    const std::wstring temporary = MakeReplacementName(target);
    if (temporary.empty()) {
        return CopyFileExW(existing.c_str(), target.c_str(), &CopyProgressRoutine, &context, nullptr,
                           COPY_FILE_ALLOW_DECRYPTED_DESTINATION) != FALSE;
    }
    if (CopyFileExW(existing.c_str(), temporary.c_str(), &CopyProgressRoutine, &context, nullptr,
                    COPY_FILE_ALLOW_DECRYPTED_DESTINATION) &&
        MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return true;
    }
    const DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    SetLastError(error);
    return false;
}

// One attempt of a new copy; a partial target it wrote is removed when the copy fails. A target that
// existed before fails with ERROR_FILE_EXISTS (the copy never replaces), so any other failure that
// leaves a file there left it half-written.
bool CopyNew(const std::wstring& existing, const std::wstring& target, FileOperationContext& context) noexcept
{
    if (CopyFileExW(existing.c_str(), target.c_str(), &CopyProgressRoutine, &context, nullptr, kCopyFlags)) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && Exists(target)) {
        DeleteFileW(target.c_str());
    }
    SetLastError(error);
    return false;
}

int CopyWithContext(const std::wstring& existing, std::wstring target, int ownerKey,
                    FileOperationContext& context) noexcept
{
    bool replace = false;
    bool asked = false;
    for (;;) {
        if (CancelledBy(&context)) {
            return 0;
        }
        // A name the view shows only as a real item conflicts as a sandbox copy of it would.
        const bool hidden = !asked && !replace && HidesShownItem(target, ownerKey);
        if (!hidden && (replace ? ReplaceByCopy(existing, target, context) : CopyNew(existing, target, context))) {
            break;
        }
        const DWORD error = hidden ? static_cast<DWORD>(ERROR_FILE_EXISTS) : GetLastError();
        Next next = Next::Fail;
        if (error == ERROR_SHARING_VIOLATION) {
            next = AskInUse(existing, context);
        } else if (error == ERROR_FILE_EXISTS && !replace) {
            if (SameFile(existing, target)) {
                return 1;  // the file onto itself: nothing to do
            }
            asked = true;
            const Conflict conflict = AskConflict(existing, target, ownerKey, context);
            next = conflict.next;
            replace = conflict.replace;
        } else {
            ReportFailure(existing, target, error, context);
        }
        if (next == Next::Fail) {
            return 0;
        }
    }
    NotifyItemDone(replace ? kNoticeItemDone | kNoticeReplacedBit : kNoticeItemDone, existing, target, ownerKey,
                   &context);
    return 1;
}

int MoveWithContext(const std::wstring& existing, std::wstring target, int ownerKey,
                    FileOperationContext& context) noexcept
{
    DWORD flags = 0;
    bool asked = false;
    for (;;) {
        if (CancelledBy(&context)) {
            return 0;
        }
        const bool hidden = !asked && flags == 0 && HidesShownItem(target, ownerKey);
        if (!hidden && MoveFileWithProgressW(existing.c_str(), target.c_str(), &CopyProgressRoutine, &context, flags)) {
            break;
        }
        const DWORD error = hidden ? static_cast<DWORD>(ERROR_FILE_EXISTS) : GetLastError();
        Next next = Next::Fail;
        if (error == ERROR_SHARING_VIOLATION) {
            next = AskInUse(existing, context);
        } else if ((error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) && flags == 0) {
            asked = true;
            const Conflict conflict = AskConflict(existing, target, ownerKey, context);
            next = conflict.next;
            if (conflict.replace) {
                flags = MOVEFILE_REPLACE_EXISTING;
            }
        } else {
            ReportFailure(existing, target, error, context);
        }
        if (next == Next::Fail) {
            return 0;
        }
    }
    NotifyItemDone(flags ? kNoticeItemDone | kNoticeReplacedBit : kNoticeItemDone, existing, target, ownerKey,
                   &context);
    return 1;
}

}  // namespace

int CopyFileWithPrompts(const std::wstring& existing, const std::wstring& newPath, int failIfExists, int ownerKey,
                        FileOperationContext* context) noexcept
{
    // The same file, also through a path in another letter case: nothing to do, no notice.
    if (SameText(existing, newPath)) {
        return 1;
    }
    if (!context) {
        return CopyFileW(existing.c_str(), newPath.c_str(), failIfExists ? TRUE : FALSE) ? 1 : 0;
    }
    return CopyWithContext(existing, newPath, ownerKey, *context);
}

int MoveFileWithPrompts(const std::wstring& existing, const std::wstring& newPath, int ownerKey,
                        FileOperationContext* context) noexcept
{
    if (existing == newPath) {
        return 1;
    }
    if (!context) {
        return MoveFileExW(existing.c_str(), newPath.c_str(), 0) ? 1 : 0;
    }
    return MoveWithContext(existing, newPath, ownerKey, *context);
}

int DeleteFileWithRetry(const std::wstring& path, int, FileOperationContext* context) noexcept
{
    for (;;) {
        if (DeleteFileW(path.c_str())) {
            return 1;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION || !context || !AskRetryFileInUse(context)) {
            return 0;
        }
    }
}

DWORD CALLBACK CopyProgressRoutine(LARGE_INTEGER, LARGE_INTEGER totalBytesTransferred, LARGE_INTEGER,
                                   LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE, LPVOID data) noexcept
{
    const auto* context = static_cast<const FileOperationContext*>(data);
    if (!context || !context->progressDialog || context->progressDialog->Cancelled()) {
        return PROGRESS_CANCEL;
    }
    context->progressDialog->SetRunningFileBytes(static_cast<std::uint64_t>(totalBytesTransferred.QuadPart));
    return PROGRESS_CONTINUE;
}

void NotifyItemDone(int code, const std::wstring& existing, const std::wstring& newPath, int ownerKey,
                    const FileOperationContext* context) noexcept
{
    try {
        const IFileOperationView& view = GetFileOperationView();
        (void)NotifyFileChange(context, code, view.GetViewPath(existing, ownerKey), view.GetViewPath(newPath, ownerKey),
                               ownerKey);
    } catch (...) {
        // Out of memory: the views catch up at their next listing.
    }
}

int NotifyPathDone(const std::wstring& path, int ownerKey, const FileOperationContext* context) noexcept
{
    if (!context) {
        return 0;
    }
    (void)NotifyFileChange(context, kNoticeItemDone, path, std::wstring(), ownerKey);
    return 1;
}

}  // namespace veyra
