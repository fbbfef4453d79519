#pragma once
// What one install has changed in the suite's folder, so a failed install can put every file back as it
// was: files it created are deleted, files it replaced come back from a kept copy, and the move of the
// suite's program to its backup name is undone. Commit drops the kept copies. Lives on the UI thread for
// the length of one install; rolls back when it goes uncommitted.

#include <windows.h>

#include <string>
#include <vector>

namespace veyra::setup {

class InstallTransaction {
public:
    InstallTransaction() = default;
    InstallTransaction(const InstallTransaction&) = delete;
    InstallTransaction& operator=(const InstallTransaction&) = delete;
    ~InstallTransaction() { Rollback(); }

    // Writes `size` bytes to `path` through a temporary name moved into place, so the path never holds
    // a half-written file; a file it replaces is kept until the transaction ends. Win32 error, 0 on success.
    [[nodiscard]] DWORD Write(const std::wstring& path, const void* data, DWORD size);
    // Moves `from` to `to` (an existing `to` is kept first); undone by moving it back. Win32 error or 0.
    [[nodiscard]] DWORD Move(const std::wstring& from, const std::wstring& to);

    void Commit() noexcept;
    // Undoes every recorded step, newest first; true when each one could be undone.
    bool Rollback() noexcept;

private:
    enum class Step { Created, Replaced, Moved };
    struct Record {
        Step step;
        std::wstring path;   // the file as it stands after the step
        std::wstring other;  // Replaced: the kept copy; Moved: where the file came from
    };

    [[nodiscard]] DWORD KeepCopy(const std::wstring& path, std::wstring& kept);

    std::vector<Record> m_records;
};

// Writes a whole file through a temporary name beside it, moved into place; Win32 error or 0.
[[nodiscard]] DWORD WriteFileSafely(const std::wstring& path, const void* data, DWORD size);
// Deletes a file, clearing a read-only attribute first; true when it is gone.
bool DeleteFileForced(const std::wstring& path) noexcept;

}  // namespace veyra::setup
