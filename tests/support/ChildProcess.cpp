#include "ChildProcess.h"

#include <shlwapi.h>

namespace veyra::test {

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments, ChildGroup group)
{
    std::wstring folder = program;
    PathRemoveFileSpecW(folder.data());
    folder.resize(wcslen(folder.c_str()));
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (group == ChildGroup::Job) {
        m_job.reset(CreateJobObjectW(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!m_job || !SetInformationJobObject(m_job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
            return;
        }
    }
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, m_job ? CREATE_SUSPENDED : 0,
                       nullptr, folder.c_str(), &startup, &info)) {
        if (m_job && !AssignProcessToJobObject(m_job.get(), info.hProcess)) {
            TerminateProcess(info.hProcess, 1);
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
            return;
        }
        ResumeThread(info.hThread);
        CloseHandle(info.hThread);
        m_process.reset(info.hProcess);
        m_id = info.dwProcessId;
    }
}

ChildProcess::~ChildProcess()
{
    if (m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.get(), 1);
        WaitForSingleObject(m_process.get(), 10000);
    }
}

std::optional<DWORD> ChildProcess::WaitForExit(DWORD timeoutMs) const
{
    DWORD code = 0;
    if (!m_process || WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(m_process.get(), &code)) {
        return std::nullopt;
    }
    return code;
}

namespace {
struct WindowSearch {
    DWORD processId;
    const wchar_t* windowClass;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    // A window is made before it is shown: wait for the shown one, as the user would see it.
    if (owner == search->processId && lstrcmpiW(name, search->windowClass) == 0 && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND ChildProcess::ShownWindow(const wchar_t* windowClass) const
{
    WindowSearch search{m_id, windowClass, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ChildProcess::WaitForShownWindow(const wchar_t* windowClass, DWORD timeoutMs) const
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        if (const HWND found = ShownWindow(windowClass)) {
            return found;
        }
        if (!m_process || WaitForSingleObject(m_process.get(), 50) != WAIT_TIMEOUT) {
            return nullptr;
        }
    } while (GetTickCount64() < deadline);
    return nullptr;
}

}  // namespace veyra::test
