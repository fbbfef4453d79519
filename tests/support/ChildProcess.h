#pragma once
// A program started by a test, ended (terminated) when the object goes unless it has ended by itself.

#include <windows.h>

#include <optional>
#include <string>

#include "base/UniqueResource.h"

namespace veyra::test {

// Job: the program runs in a job object that ends it, and whatever it started, when the test lets go.
enum class ChildGroup { None, Job };

class ChildProcess {
public:
    // Starts `program` in its own folder, with `arguments` after its quoted name; check Started().
    explicit ChildProcess(const std::wstring& program, const std::wstring& arguments = {},
                          ChildGroup group = ChildGroup::None);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    [[nodiscard]] bool Started() const noexcept { return m_process.valid(); }
    [[nodiscard]] HANDLE Process() const noexcept { return m_process.get(); }
    [[nodiscard]] DWORD Id() const noexcept { return m_id; }

    // The exit code once the program has ended within `timeoutMs`, else nothing.
    [[nodiscard]] std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;

    // The first shown top-level window of `windowClass` that belongs to this process, or nullptr.
    [[nodiscard]] HWND ShownWindow(const wchar_t* windowClass) const;
    // The same, waiting up to
    // `timeoutMs` for it; nullptr when none is shown in time (or the process ends first).
    [[nodiscard]] HWND WaitForShownWindow(const wchar_t* windowClass, DWORD timeoutMs) const;

private:
    UniqueHandle m_job;
    UniqueHandle m_process;
    DWORD m_id = 0;
};

}  // namespace veyra::test
