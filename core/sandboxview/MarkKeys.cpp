#include "core/sandboxview/MarkKeys.h"

#include <cwchar>

#include "core/sandboxview/CSandBoxFileSystem.h"

namespace veyra::sandboxview {

namespace {

constexpr wchar_t kMarkValueName[] = L"Information";
constexpr DWORD kMarkDeletedBit = 0x1;
constexpr ULONGLONG kSettleTime100ns = 1'000'000;  // 100 ms

ULONGLONG AsNumber(const FILETIME& time) noexcept
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

std::wstring MarkRootKey(int sandboxId)
{
    if (sandboxId == 0) {
        return L"KavoSandBox";
    }
    wchar_t number[16];
    std::swprintf(number, 16, L"%08d", sandboxId);
    return std::wstring(L"KavoSandBox\\") + number;
}

LSTATUS OpenMarkKey(const std::wstring& keyPath, REGSAM access, bool create, UniqueRegKey& key)
{
    auto attempt = [&] {
        if (create) {
            return RegCreateKeyExW(HKEY_USERS, keyPath.c_str(), 0, nullptr, 0, access, nullptr, key.put(), nullptr);
        }
        return RegOpenKeyExW(HKEY_USERS, keyPath.c_str(), 0, access, key.put());
    };
    LSTATUS status = attempt();
    if (status == ERROR_ACCESS_DENIED) {
        CSandBoxFileSystem::GrantAdministratorsAccess(L"USERS\\" + keyPath);
        status = attempt();
    }
    return status;
}

LSTATUS WatchKey(HKEY key, BOOL subtree, DWORD filter, HANDLE event) noexcept
{
    const LSTATUS status = RegNotifyChangeKeyValue(key, subtree, filter | REG_NOTIFY_THREAD_AGNOSTIC, event, TRUE);
    if (status != ERROR_INVALID_PARAMETER) {
        return status;
    }
    // Before Windows 8 the watch ends with the arming thread, which signals the event: a needless second
    // look at the marks, never a missed change.
    return RegNotifyChangeKeyValue(key, subtree, filter, event, TRUE);
}

MarkState ReadMark(HKEY key, const wchar_t* subKey)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    const LSTATUS status = RegGetValueW(key, subKey, kMarkValueName, RRF_RT_ANY, &type, &value, &size);
    if (status == ERROR_SUCCESS) {
        return type == REG_BINARY && size == sizeof(value) && (value & kMarkDeletedBit) ? MarkState::Marked
                                                                                         : MarkState::Unmarked;
    }
    // Too long a value is no mark; a key or value that is gone is none either.
    if (status == ERROR_MORE_DATA || status == ERROR_FILE_NOT_FOUND) {
        return MarkState::Unmarked;
    }
    return MarkState::Unreadable;
}

ULONGLONG SettledBefore() noexcept
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return AsNumber(now) - kSettleTime100ns;
}

bool IsSettled(const FILETIME& lastWrite, ULONGLONG settledBefore) noexcept
{
    return AsNumber(lastWrite) < settledBefore;
}

std::wstring UpperCase(std::wstring text)
{
    if (!text.empty()) {
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    }
    return text;
}

}  // namespace veyra::sandboxview
