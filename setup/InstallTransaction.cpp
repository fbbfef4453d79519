#include "InstallTransaction.h"

#include <shlwapi.h>

#include "base/UniqueResource.h"

namespace veyra::setup {

namespace {
constexpr wchar_t kTemporarySuffix[] = L".veyra-new";
constexpr wchar_t kKeptSuffix[] = L".veyra-old";
}  // namespace

DWORD WriteFileSafely(const std::wstring& path, const void* data, DWORD size)
{
    const std::wstring temporary = path + kTemporarySuffix;
    {
        UniqueFileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE | FILE_WRITE_DATA, FILE_SHARE_WRITE,
                                          nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return GetLastError();
        }
        DWORD written = 0;
        if (!::WriteFile(file.get(), data, size, &written, nullptr) || written != size ||
            !FlushFileBuffers(file.get())) {
            const DWORD error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
            file.reset();
            DeleteFileW(temporary.c_str());
            return error;
        }
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return error;
    }
    return 0;
}

bool DeleteFileForced(const std::wstring& path) noexcept
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

DWORD InstallTransaction::KeepCopy(const std::wstring& path, std::wstring& kept)
{
    kept.clear();
    if (!PathFileExistsW(path.c_str())) {
        return 0;
    }
    const std::wstring copy = path + kKeptSuffix;
    DeleteFileForced(copy);
    if (!CopyFileW(path.c_str(), copy.c_str(), FALSE)) {
        return GetLastError();
    }
    kept = copy;
    return 0;
}

DWORD InstallTransaction::Write(const std::wstring& path, const void* data, DWORD size)
{
    std::wstring kept;
    if (const DWORD error = KeepCopy(path, kept)) {
        return error;
    }
    if (const DWORD error = WriteFileSafely(path, data, size)) {
        if (!kept.empty()) {
            DeleteFileForced(kept);
        }
        return error;
    }
    m_records.push_back({kept.empty() ? Step::Created : Step::Replaced, path, kept});
    return 0;
}

DWORD InstallTransaction::Move(const std::wstring& from, const std::wstring& to)
{
    std::wstring kept;
    if (const DWORD error = KeepCopy(to, kept)) {
        return error;
    }
    if (!kept.empty()) {
        // The kept copy stands in for `to` until the end; the move needs the name free.
        m_records.push_back({Step::Replaced, to, kept});
        if (!DeleteFileForced(to)) {
            return GetLastError();
        }
    }
    if (!::MoveFileW(from.c_str(), to.c_str())) {
        return GetLastError();
    }
    m_records.push_back({Step::Moved, to, from});
    return 0;
}

void InstallTransaction::Commit() noexcept
{
    for (const Record& record : m_records) {
        if (record.step == Step::Replaced) {
            DeleteFileForced(record.other);
        }
    }
    m_records.clear();
}

bool InstallTransaction::Rollback() noexcept
{
    bool complete = true;
    for (auto record = m_records.rbegin(); record != m_records.rend(); ++record) {
        bool undone = false;
        switch (record->step) {
        case Step::Created:
            undone = DeleteFileForced(record->path);
            break;
        case Step::Replaced:
            undone = MoveFileExW(record->other.c_str(), record->path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
            break;
        case Step::Moved:
            undone = MoveFileExW(record->path.c_str(), record->other.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
            break;
        }
        complete = complete && undone;
    }
    m_records.clear();
    return complete;
}

}  // namespace veyra::setup
