#include "suite/pellox/DeletionMarkStore.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/Thread.h"
#include "base/UniqueResource.h"
#include "suite/pellox/SandboxCleanup.h"

namespace veyra::suite {

namespace {

constexpr std::uint32_t kMagic = 0x4D42534B;  // "KSBM"
constexpr std::uint32_t kFormatVersion = 1;
constexpr std::uint32_t kKindKey = 1;
constexpr std::uint32_t kKindValue = 2;
constexpr std::uint32_t kMaxPathChars = 32767;
constexpr std::uint32_t kMaxNameChars = 16383;
constexpr std::uint32_t kMaxDataBytes = 1u << 20;
constexpr DWORD kMaxStoreBytes = 64u << 20;
// Changes come in bursts (a delete marks many keys); one save after the burst is enough.
constexpr DWORD kSaveDelayMs = 20;

struct StoredRecord {
    std::uint32_t kind = kKindKey;
    std::wstring path;  // below the root
    std::wstring name;
    std::uint32_t type = 0;
    std::vector<BYTE> data;
};

// Saves and restores of all processes take turns.
class StoreLock {
public:
    StoreLock() noexcept : m_mutex(CreateMutexW(nullptr, FALSE, L"Local\\KavoSandBoxMarkStore"))
    {
        if (m_mutex) {
            WaitForSingleObject(m_mutex.get(), 10000);
        }
    }
    ~StoreLock()
    {
        if (m_mutex) {
            ReleaseMutex(m_mutex.get());
        }
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    UniqueHandle m_mutex;
};

void PutNumber(std::vector<BYTE>& out, std::uint32_t value)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof(value));
}

void PutText(std::vector<BYTE>& out, const std::wstring& text)
{
    PutNumber(out, static_cast<std::uint32_t>(text.size()));
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.data());
    out.insert(out.end(), bytes, bytes + text.size() * sizeof(wchar_t));
}

void CollectValues(HKEY key, const std::wstring& path, std::vector<StoredRecord>& records)
{
    std::vector<wchar_t> name(kMaxNameChars + 1);
    std::vector<BYTE> data(kMaxDataBytes);
    for (DWORD index = 0;; ++index) {
        DWORD nameChars = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueW(key, index, name.data(), &nameChars, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
            break;
        }
        records.push_back({kKindValue, path, std::wstring(name.data(), nameChars), type,
                           std::vector<BYTE>(data.begin(), data.begin() + size)});
    }
}

void CollectKeys(HKEY key, const std::wstring& path, std::vector<StoredRecord>& records)
{
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD chars = 256;
        if (RegEnumKeyExW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        const std::wstring subPath = path.empty() ? std::wstring(name, chars) : path + L"\\" + name;
        UniqueRegKey sub;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, sub.put()) != ERROR_SUCCESS) {
            continue;
        }
        records.push_back({kKindKey, subPath, {}, 0, {}});
        CollectValues(sub.get(), subPath, records);
        CollectKeys(sub.get(), subPath, records);
    }
}

std::vector<BYTE> Serialize(const std::vector<StoredRecord>& records)
{
    std::vector<BYTE> out;
    PutNumber(out, kMagic);
    PutNumber(out, kFormatVersion);
    PutNumber(out, static_cast<std::uint32_t>(records.size()));
    for (const StoredRecord& record : records) {
        PutNumber(out, record.kind);
        PutText(out, record.path);
        if (record.kind == kKindValue) {
            PutText(out, record.name);
            PutNumber(out, record.type);
            PutNumber(out, static_cast<std::uint32_t>(record.data.size()));
            out.insert(out.end(), record.data.begin(), record.data.end());
        }
    }
    return out;
}

// Reads from a byte range; every read is checked against what is left.
class Reader {
public:
    explicit Reader(const std::vector<BYTE>& bytes) : m_bytes(bytes) {}
    bool Number(std::uint32_t& value) noexcept { return Bytes(&value, sizeof(value)); }
    bool Text(std::wstring& text, std::uint32_t maxChars)
    {
        std::uint32_t chars = 0;
        if (!Number(chars) || chars > maxChars || chars * sizeof(wchar_t) > Left()) {
            return false;
        }
        text.resize(chars);
        return Bytes(text.data(), chars * sizeof(wchar_t));
    }
    bool Data(std::vector<BYTE>& data)
    {
        std::uint32_t size = 0;
        if (!Number(size) || size > kMaxDataBytes || size > Left()) {
            return false;
        }
        data.resize(size);
        return Bytes(data.data(), size);
    }
    [[nodiscard]] std::size_t Left() const noexcept { return m_bytes.size() - m_offset; }

private:
    bool Bytes(void* out, std::size_t count) noexcept
    {
        if (count > Left()) {
            return false;
        }
        if (count) {
            std::memcpy(out, m_bytes.data() + m_offset, count);
        }
        m_offset += count;
        return true;
    }
    const std::vector<BYTE>& m_bytes;
    std::size_t m_offset = 0;
};

bool ValidPath(const std::wstring& path) noexcept
{
    // A relative key path: no empty component, no NUL; nothing that climbs out of the root.
    return !path.empty() && path.find(L'\0') == std::wstring::npos && path.front() != L'\\' &&
           path.back() != L'\\' && path.find(L"\\\\") == std::wstring::npos;
}

bool Parse(const std::vector<BYTE>& bytes, std::vector<StoredRecord>& records)
{
    Reader reader(bytes);
    std::uint32_t magic = 0, version = 0, count = 0;
    if (!reader.Number(magic) || !reader.Number(version) || !reader.Number(count) || magic != kMagic ||
        version != kFormatVersion) {
        return false;
    }
    for (std::uint32_t index = 0; index < count; ++index) {
        StoredRecord record;
        if (!reader.Number(record.kind) || !reader.Text(record.path, kMaxPathChars) || !ValidPath(record.path)) {
            return false;
        }
        if (record.kind == kKindValue) {
            if (!reader.Text(record.name, kMaxNameChars) || !reader.Number(record.type) || !reader.Data(record.data)) {
                return false;
            }
        } else if (record.kind != kKindKey) {
            return false;
        }
        records.push_back(std::move(record));
    }
    return reader.Left() == 0;
}

bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>& bytes)
{
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxStoreBytes) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() || (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                             read == bytes.size());
}

bool WriteWholeFile(const std::wstring& path, const std::vector<BYTE>& bytes)
{
    const std::wstring temporary = path + L".new";
    {
        UniqueFileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size() || !FlushFileBuffers(file.get())) {
            return false;
        }
    }
    return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Apply(HKEY root, const std::vector<StoredRecord>& records)
{
    bool complete = true;
    for (const StoredRecord& record : records) {
        UniqueRegKey key;
        if (RegCreateKeyExW(root, record.path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) !=
            ERROR_SUCCESS) {
            complete = false;
            continue;
        }
        if (record.kind == kKindValue &&
            RegSetValueExW(key.get(), record.name.c_str(), 0, record.type, record.data.data(),
                           static_cast<DWORD>(record.data.size())) != ERROR_SUCCESS) {
            complete = false;
        }
    }
    return complete;
}

bool HasSubKeys(HKEY key) noexcept
{
    DWORD subKeys = 0;
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS &&
           subKeys > 0;
}

UniqueRegKey OpenRoot(REGSAM access) noexcept
{
    UniqueRegKey root;
    RegCreateKeyExW(HKEY_USERS, kDeletionMarksRoot, 0, nullptr, 0, access, nullptr, root.put(), nullptr);
    return root;
}

// Arms the notification before `armed` is set, so no change after the start can be missed.
void WatchAndSave(HANDLE armed) noexcept
{
    constexpr DWORD kFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
    UniqueRegKey root = OpenRoot(KEY_NOTIFY | KEY_READ);
    UniqueHandle changed(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    const bool watching =
        root && changed && RegNotifyChangeKeyValue(root.get(), TRUE, kFilter, changed.get(), TRUE) == ERROR_SUCCESS;
    SetEvent(armed);
    if (!watching) {
        return;
    }
    bool rearmed = true;
    while (rearmed) {
        WaitForSingleObject(changed.get(), INFINITE);
        Sleep(kSaveDelayMs);
        // Armed again before saving: a change during the save is saved next time.
        rearmed = RegNotifyChangeKeyValue(root.get(), TRUE, kFilter, changed.get(), TRUE) == ERROR_SUCCESS;
        SaveDeletionMarks();
    }
}

}  // namespace

std::wstring DeletionMarkStorePath() noexcept
{
    try {
        std::wstring folder(MAX_PATH, L'\0');
        DWORD length = GetEnvironmentVariableW(L"PELLOX_STATE_FOLDER", folder.data(), MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            folder.resize(length);
        } else {
            if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder.data()))) {
                return {};
            }
            folder.resize(wcslen(folder.c_str()));
            folder += L"\\KavoSafe";
            CreateDirectoryW(folder.c_str(), nullptr);
            folder += L"\\SandBox";
        }
        CreateDirectoryW(folder.c_str(), nullptr);
        return folder + L"\\DeletionMarks.dat";
    } catch (...) {
        return {};
    }
}

bool SaveDeletionMarks() noexcept
{
    try {
        const std::wstring path = DeletionMarkStorePath();
        StoreLock lock;
        UniqueRegKey root = OpenRoot(KEY_READ);
        if (path.empty() || !root) {
            return false;
        }
        std::vector<StoredRecord> records;
        CollectKeys(root.get(), {}, records);
        return WriteWholeFile(path, Serialize(records));
    } catch (...) {
        return false;
    }
}

bool RestoreDeletionMarks() noexcept
{
    try {
        const std::wstring path = DeletionMarkStorePath();
        StoreLock lock;
        UniqueRegKey root = OpenRoot(KEY_READ | KEY_WRITE);
        if (path.empty() || !root) {
            return false;
        }
        if (HasSubKeys(root.get()) || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return true;  // the registry still holds the marks, or none were ever saved
        }
        std::vector<BYTE> bytes;
        std::vector<StoredRecord> records;
        if (!ReadWholeFile(path, bytes) || !Parse(bytes, records)) {
            return false;
        }
        return Apply(root.get(), records);
    } catch (...) {
        return false;
    }
}

bool StartDeletionMarkWatcher() noexcept
{
    constexpr DWORD kArmTimeoutMs = 5000;
    static volatile LONG started = 0;
    if (InterlockedCompareExchange(&started, 1, 0) != 0) {
        return true;
    }
    UniqueHandle armed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!armed) {
        return false;
    }
    // The thread owns its own handle of the event: this side may stop waiting before the thread sets it.
    HANDLE threadEvent = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), armed.get(), GetCurrentProcess(), &threadEvent, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        return false;
    }
    if (!StartDetachedThread([threadEvent] {
            UniqueHandle owned(threadEvent);
            WatchAndSave(owned.get());
        })) {
        CloseHandle(threadEvent);
        return false;
    }
    return WaitForSingleObject(armed.get(), kArmTimeoutMs) == WAIT_OBJECT_0;
}

}  // namespace veyra::suite
