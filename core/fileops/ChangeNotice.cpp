#include "ChangeNotice.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace veyra {

namespace {

using namespace OperationType;

SRWLOCK s_hostLock = SRWLOCK_INIT;
std::map<int, HWND>& HostWindows()
{
    static std::map<int, HWND> windows;
    return windows;
}

void CopyCut(wchar_t (&buffer)[260], const std::wstring& text) noexcept
{
    const std::size_t length = std::min<std::size_t>(text.size(), 259);
    std::wmemcpy(buffer, text.data(), length);
    buffer[length] = L'\0';
}

}  // namespace

void RegisterHostWindow(int ownerKey, HWND window) noexcept
{
    AcquireSRWLockExclusive(&s_hostLock);
    try {
        if (window) {
            HostWindows()[ownerKey] = window;
        } else {
            HostWindows().erase(ownerKey);
        }
    } catch (...) {
        // Out of memory: the key stays unregistered and notices are not sent.
    }
    ReleaseSRWLockExclusive(&s_hostLock);
}

HWND GetHostWindow(int ownerKey) noexcept
{
    AcquireSRWLockShared(&s_hostLock);
    const auto& windows = HostWindows();
    const auto found = windows.find(ownerKey);
    HWND window = found == windows.end() ? nullptr : found->second;
    ReleaseSRWLockShared(&s_hostLock);
    return window;
}

LRESULT SendChangeNotice(int flags, int kind, int id, const std::wstring& path1, const std::wstring& path2,
                         int ownerKey) noexcept
{
    HWND host = GetHostWindow(ownerKey);
    if (!host) {
        return 0;
    }
    ChangeNoticeRecord record{};
    record.flags = flags;
    record.kind = kind;
    record.id = id;
    CopyCut(record.path1, path1);
    CopyCut(record.path2, path2);
    COPYDATASTRUCT data{COPYDATA_CHANGE_NOTICE, sizeof(record), &record};
    return SendMessageW(host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

int NotifyFileChange(const FileOperationContext* context, int code, const std::wstring& path,
                     const std::wstring& target, int ownerKey) noexcept
{
    if (!context) {
        return 0;
    }
    const int type = context->type;
    const bool replaced = (code & kNoticeReplacedBit) != 0;
    auto send = [&](int kind, const std::wstring& named) {
        (void)SendChangeNotice(code, kind, context->id, named, std::wstring(), ownerKey);
    };
    if ((type & (kMove | kRename)) != 0) {
        if ((type & kFolderMade) != 0) {
            send(NoticeKind::kFolderAppeared, path);
        } else {
            if (!replaced) {
                send(NoticeKind::kFileAppeared, target);
            }
            send(NoticeKind::kFileGone, path);
        }
    } else if ((type & kDelete) != 0) {
        send((type & kFolderRemoved) != 0 ? NoticeKind::kFolderGone : NoticeKind::kFileGone, path);
    } else if ((type & kCopy) != 0) {
        if ((type & kFolderMade) != 0) {
            send(NoticeKind::kFolderAppeared, path);
        } else if (!replaced) {
            send(NoticeKind::kFileAppeared, target);
        }
    }
    return 1;
}

}  // namespace veyra
