#include "suite/common/SandboxProcessList.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "base/FixedPath.h"
#include "base/UniqueResource.h"

namespace veyra::suite {

namespace {

constexpr DWORD kEntryVersion = 1;

// One value per process, named by its id: fixed-width, the same for 32-bit and 64-bit processes.
#pragma pack(push, 1)
struct StoredEntry {
    std::uint32_t version;
    std::uint32_t processId;
    std::int32_t ownerId;
    std::uint64_t creationTime;
    std::uint64_t sequence;  // order of addition
    wchar_t imagePath[MAX_PATH];
};
#pragma pack(pop)

UniqueRegKey OpenProcessesKey() noexcept
{
    UniqueRegKey state = OpenEngineStateKey();
    if (!state) {
        return {};
    }
    UniqueRegKey processes;
    RegCreateKeyExW(state.get(), L"Processes", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                    nullptr, processes.put(), nullptr);
    return processes;
}

std::wstring ValueName(DWORD processId)
{
    return std::to_wstring(processId);
}

std::uint64_t NextSequence() noexcept
{
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace

UniqueRegKey OpenEngineStateKey() noexcept
{
    // The suite's key stays; the state below it is volatile, like the engine's state in memory.
    UniqueRegKey suite;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KavoSafe", 0, nullptr, 0, KEY_CREATE_SUB_KEY | KEY_WOW64_64KEY,
                        nullptr, suite.put(), nullptr) != ERROR_SUCCESS) {
        return {};
    }
    UniqueRegKey state;
    RegCreateKeyExW(suite.get(), L"SandBoxEngine", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                    nullptr, state.put(), nullptr);
    return state;
}

std::uint64_t RunningProcessCreationTime(DWORD processId) noexcept
{
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    DWORD exitCode = 0;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !GetExitCodeProcess(process.get(), &exitCode) || exitCode != STILL_ACTIVE ||
        !GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) {
        return 0;
    }
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

bool AddSandboxProcess(DWORD processId, std::int32_t ownerId, const std::wstring& imagePath) noexcept
{
    StoredEntry entry{};
    entry.version = kEntryVersion;
    entry.processId = processId;
    entry.ownerId = ownerId;
    entry.creationTime = RunningProcessCreationTime(processId);
    entry.sequence = NextSequence();
    if (entry.creationTime == 0 || !CopyBounded(entry.imagePath, imagePath)) {
        return false;
    }
    UniqueRegKey key = OpenProcessesKey();
    try {
        return key && RegSetValueExW(key.get(), ValueName(processId).c_str(), 0, REG_BINARY,
                                     reinterpret_cast<const BYTE*>(&entry), sizeof(entry)) == ERROR_SUCCESS;
    } catch (...) {
        return false;
    }
}

void RemoveSandboxProcess(DWORD processId) noexcept
{
    UniqueRegKey key = OpenProcessesKey();
    try {
        if (key) {
            RegDeleteValueW(key.get(), ValueName(processId).c_str());
        }
    } catch (...) {
    }
}

std::vector<SandboxProcess> ListSandboxProcesses() noexcept
{
    std::vector<std::pair<std::uint64_t, SandboxProcess>> found;
    std::vector<std::wstring> ended;
    UniqueRegKey key = OpenProcessesKey();
    try {
        for (DWORD index = 0; key; ++index) {
            wchar_t name[32];
            DWORD nameChars = 32;
            StoredEntry entry{};
            DWORD size = sizeof(entry);
            DWORD type = 0;
            const LSTATUS status = RegEnumValueW(key.get(), index, name, &nameChars, nullptr, &type,
                                                 reinterpret_cast<BYTE*>(&entry), &size);
            if (status == ERROR_NO_MORE_ITEMS) {
                break;
            }
            entry.imagePath[MAX_PATH - 1] = L'\0';
            const bool wellFormed = status == ERROR_SUCCESS && type == REG_BINARY && size == sizeof(entry) &&
                                    entry.version == kEntryVersion;
            if (!wellFormed || RunningProcessCreationTime(entry.processId) != entry.creationTime) {
                ended.emplace_back(name);
                continue;
            }
            found.push_back({entry.sequence, {entry.processId, entry.ownerId, entry.creationTime, entry.imagePath}});
        }
        for (const std::wstring& name : ended) {
            RegDeleteValueW(key.get(), name.c_str());
        }
        std::stable_sort(found.begin(), found.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<SandboxProcess> processes;
        for (auto& [sequence, process] : found) {
            processes.push_back(std::move(process));
        }
        return processes;
    } catch (...) {
        return {};
    }
}

}  // namespace veyra::suite
