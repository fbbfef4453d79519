#include "shell/protocol/WindowProtocol.h"

#include <cwchar>

namespace veyra {

namespace {

// The payload of an exactly sized record, or null.
template <typename Record>
const Record* PayloadOf(const COPYDATASTRUCT* data, RecordCheck& check) noexcept
{
    if (!data || !data->lpData) {
        check = RecordCheck::NoPayload;
        return nullptr;
    }
    if (data->cbData != sizeof(Record)) {
        check = RecordCheck::WrongSize;
        return nullptr;
    }
    check = RecordCheck::Accepted;
    return static_cast<const Record*>(data->lpData);
}

RecordCheck CopyHostEntry(const COPYDATASTRUCT* data, HostWindowEntry& out, bool mustBeLive) noexcept
{
    RecordCheck check = RecordCheck::Accepted;
    const auto* entry = PayloadOf<HostWindowEntry>(data, check);
    if (!entry) {
        return check;
    }
    const HostWindowEntry copy = *entry;
    const HWND window = WindowOf(copy);
    if (!IsWindow(window)) {
        if (mustBeLive) {
            return RecordCheck::NotAWindow;
        }
    } else {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId()) {
            return RecordCheck::ForeignWindow;
        }
    }
    out = copy;
    return RecordCheck::Accepted;
}

}  // namespace

bool IsTerminatedWithin(const wchar_t* text, std::size_t capacity) noexcept
{
    return text && std::wmemchr(text, L'\0', capacity) != nullptr;
}

RecordCheck CheckOpenFolderRequest(const COPYDATASTRUCT* data, OpenFolderRequest& out) noexcept
{
    RecordCheck check = RecordCheck::Accepted;
    const auto* request = PayloadOf<OpenFolderRequest>(data, check);
    if (!request) {
        return check;
    }
    if (!IsTerminatedWithin(request->folder, kRecordPathChars) ||
        !IsTerminatedWithin(request->select, kRecordPathChars)) {
        return RecordCheck::Unterminated;
    }
    if (request->folder[0] == L'\0') {
        return RecordCheck::MissingText;
    }
    out = *request;
    return RecordCheck::Accepted;
}

RecordCheck CheckChangeNotice(const COPYDATASTRUCT* data, ChangeNoticeRecord& out) noexcept
{
    RecordCheck check = RecordCheck::Accepted;
    const auto* notice = PayloadOf<ChangeNoticeRecord>(data, check);
    if (!notice) {
        return check;
    }
    if (!IsTerminatedWithin(notice->path1, kRecordPathChars) || !IsTerminatedWithin(notice->path2, kRecordPathChars)) {
        return RecordCheck::Unterminated;
    }
    if (notice->path1[0] == L'\0') {
        return RecordCheck::MissingText;
    }
    switch (notice->kind) {
    case NoticeKind::kFileAppeared:
    case NoticeKind::kFolderAppeared:
    case NoticeKind::kFileGone:
    case NoticeKind::kFolderGone:
        break;
    default:
        return RecordCheck::UnknownKind;
    }
    out = *notice;
    return RecordCheck::Accepted;
}

RecordCheck CheckRegistration(const COPYDATASTRUCT* data, HostWindowEntry& out) noexcept
{
    return CopyHostEntry(data, out, true);
}

RecordCheck CheckUnregistration(const COPYDATASTRUCT* data, HostWindowEntry& out) noexcept
{
    return CopyHostEntry(data, out, false);
}

bool IsSentByThisThread() noexcept
{
    return InSendMessageEx(nullptr) == ISMEX_NOSEND;
}

}  // namespace veyra
