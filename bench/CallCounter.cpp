#include "bench/CallCounter.h"

#include <atomic>
#include <cstring>

namespace veyra::bench {

namespace {

constexpr int kCallCount = static_cast<int>(CountedCall::Count);
constexpr const char* kNames[kCallCount] = {
    "RegOpenKeyExW",    "RegCreateKeyExW", "RegCloseKey",     "RegQueryInfoKeyW", "RegEnumKeyExW",
    "RegGetValueW",     "RegQueryValueExW", "RegSetValueExW", "RegNotifyChangeKeyValue", "FindFirstFileW",
    "FindNextFileW",    "QueryDosDeviceW", "WaitForMultipleObjects"};
constexpr int kFirstNonRegistry = static_cast<int>(CountedCall::FindFirstFileW);

std::atomic<unsigned long> s_counts[kCallCount];
ULONG_PTR s_original[kCallCount];

// Counts the call and hands back the system's function to forward it to.
template <CountedCall Call, typename Function>
Function Forward() noexcept
{
    s_counts[static_cast<int>(Call)].fetch_add(1, std::memory_order_relaxed);
    return reinterpret_cast<Function>(s_original[static_cast<int>(Call)]);
}

LSTATUS WINAPI CountRegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    return Forward<CountedCall::RegOpenKeyExW, decltype(&::RegOpenKeyExW)>()(key, subKey, options, access, result);
}

LSTATUS WINAPI CountRegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                                    REGSAM access, const LPSECURITY_ATTRIBUTES security, PHKEY result,
                                    LPDWORD disposition)
{
    return Forward<CountedCall::RegCreateKeyExW, decltype(&::RegCreateKeyExW)>()(
        key, subKey, reserved, keyClass, options, access, security, result, disposition);
}

LSTATUS WINAPI CountRegCloseKey(HKEY key)
{
    return Forward<CountedCall::RegCloseKey, decltype(&::RegCloseKey)>()(key);
}

LSTATUS WINAPI CountRegQueryInfoKeyW(HKEY key, LPWSTR keyClass, LPDWORD classLength, LPDWORD reserved,
                                     LPDWORD subKeys, LPDWORD maxSubKeyLength, LPDWORD maxClassLength,
                                     LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                                     LPDWORD securityLength, PFILETIME lastWrite)
{
    return Forward<CountedCall::RegQueryInfoKeyW, decltype(&::RegQueryInfoKeyW)>()(
        key, keyClass, classLength, reserved, subKeys, maxSubKeyLength, maxClassLength, values, maxValueNameLength,
        maxValueLength, securityLength, lastWrite);
}

LSTATUS WINAPI CountRegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                                  LPWSTR keyClass, LPDWORD classLength, PFILETIME lastWrite)
{
    return Forward<CountedCall::RegEnumKeyExW, decltype(&::RegEnumKeyExW)>()(key, index, name, nameLength, reserved,
                                                                            keyClass, classLength, lastWrite);
}

LSTATUS WINAPI CountRegGetValueW(HKEY key, LPCWSTR subKey, LPCWSTR value, DWORD flags, LPDWORD type, PVOID data,
                                 LPDWORD size)
{
    return Forward<CountedCall::RegGetValueW, decltype(&::RegGetValueW)>()(key, subKey, value, flags, type, data,
                                                                          size);
}

LSTATUS WINAPI CountRegQueryValueExW(HKEY key, LPCWSTR value, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                     LPDWORD size)
{
    return Forward<CountedCall::RegQueryValueExW, decltype(&::RegQueryValueExW)>()(key, value, reserved, type, data,
                                                                                  size);
}

LSTATUS WINAPI CountRegSetValueExW(HKEY key, LPCWSTR value, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    return Forward<CountedCall::RegSetValueExW, decltype(&::RegSetValueExW)>()(key, value, reserved, type, data,
                                                                              size);
}

LSTATUS WINAPI CountRegNotifyChangeKeyValue(HKEY key, BOOL subtree, DWORD filter, HANDLE event, BOOL asynchronous)
{
    return Forward<CountedCall::RegNotifyChangeKeyValue, decltype(&::RegNotifyChangeKeyValue)>()(
        key, subtree, filter, event, asynchronous);
}

HANDLE WINAPI CountFindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW found)
{
    return Forward<CountedCall::FindFirstFileW, decltype(&::FindFirstFileW)>()(pattern, found);
}

BOOL WINAPI CountFindNextFileW(HANDLE find, LPWIN32_FIND_DATAW found)
{
    return Forward<CountedCall::FindNextFileW, decltype(&::FindNextFileW)>()(find, found);
}

DWORD WINAPI CountQueryDosDeviceW(LPCWSTR device, LPWSTR target, DWORD length)
{
    return Forward<CountedCall::QueryDosDeviceW, decltype(&::QueryDosDeviceW)>()(device, target, length);
}

DWORD WINAPI CountWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL all, DWORD timeoutMs)
{
    return Forward<CountedCall::WaitForMultipleObjects, decltype(&::WaitForMultipleObjects)>()(count, handles, all,
                                                                                              timeoutMs);
}

const ULONG_PTR kForwarders[kCallCount] = {
    reinterpret_cast<ULONG_PTR>(&CountRegOpenKeyExW),    reinterpret_cast<ULONG_PTR>(&CountRegCreateKeyExW),
    reinterpret_cast<ULONG_PTR>(&CountRegCloseKey),      reinterpret_cast<ULONG_PTR>(&CountRegQueryInfoKeyW),
    reinterpret_cast<ULONG_PTR>(&CountRegEnumKeyExW),    reinterpret_cast<ULONG_PTR>(&CountRegGetValueW),
    reinterpret_cast<ULONG_PTR>(&CountRegQueryValueExW), reinterpret_cast<ULONG_PTR>(&CountRegSetValueExW),
    reinterpret_cast<ULONG_PTR>(&CountRegNotifyChangeKeyValue), reinterpret_cast<ULONG_PTR>(&CountFindFirstFileW),
    reinterpret_cast<ULONG_PTR>(&CountFindNextFileW),    reinterpret_cast<ULONG_PTR>(&CountQueryDosDeviceW),
    reinterpret_cast<ULONG_PTR>(&CountWaitForMultipleObjects)};

int IndexOf(const char* name) noexcept
{
    for (int index = 0; index < kCallCount; ++index) {
        if (std::strcmp(kNames[index], name) == 0) {
            return index;
        }
    }
    return -1;
}

bool Redirect(IMAGE_THUNK_DATA* slot, int index) noexcept
{
    DWORD oldProtection = 0;
    if (!VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &oldProtection)) {
        return false;
    }
    s_original[index] = slot->u1.Function;
    slot->u1.Function = kForwarders[index];
    VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), oldProtection, &oldProtection);
    return true;
}

}  // namespace

unsigned long CallCounts::Registry() const noexcept
{
    unsigned long total = 0;
    for (int index = 0; index < kFirstNonRegistry; ++index) {
        total += calls[index];
    }
    return total;
}

std::string CallCounts::Describe() const
{
    std::string text;
    for (int index = 0; index < kCallCount; ++index) {
        if (calls[index] != 0) {
            text += (text.empty() ? "" : ", ") + std::string(kNames[index]) + " " + std::to_string(calls[index]);
        }
    }
    return text.empty() ? "none" : text;
}

bool InstallCallCounter()
{
    auto* image = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return false;
    }
    bool all = true;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(image + directory.VirtualAddress); module->Name;
         ++module) {
        if (module->OriginalFirstThunk == 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(image + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(image + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(image + names->u1.AddressOfData);
            const int index = IndexOf(reinterpret_cast<const char*>(byName->Name));
            if (index >= 0) {
                all = Redirect(slots, index) && all;
            }
        }
    }
    return all;
}

CallCounts TakeCallCounts()
{
    CallCounts counts;
    for (int index = 0; index < kCallCount; ++index) {
        counts.calls[index] = s_counts[index].exchange(0);
    }
    return counts;
}

}  // namespace veyra::bench
