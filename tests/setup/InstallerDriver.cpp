#include "InstallerDriver.h"

#include <vector>

namespace veyra::test {

namespace {

constexpr wchar_t kMainCaption[] = L"Veyra安装程序";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr int kMessageBoxTextId = 0xFFFF;

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             5000, &length)) {
        return {};
    }
    return text;
}

struct Search {
    DWORD processId;
    const wchar_t* caption;
    HWND exclude;
    HWND found;
};

BOOL CALLBACK FindDialogWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[64] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    if (processId == search->processId && window != search->exclude && IsWindowVisible(window) &&
        std::wstring(className) == kDialogClass && WindowText(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

InstallerDriver::~InstallerDriver()
{
    Stop();
}

void InstallerDriver::Stop() noexcept
{
    if (m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.get(), 1);
    }
    if (m_job) {
        TerminateJobObject(m_job.get(), 1);
        m_job.reset();
    }
}

bool InstallerDriver::Start(const std::wstring& program, std::chrono::milliseconds timeout)
{
    m_job.reset(CreateJobObjectW(nullptr, nullptr));
    if (!m_job) {
        return false;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(m_job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));

    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    m_process.reset(process.hProcess);
    UniqueHandle thread(process.hThread);
    m_processId = process.dwProcessId;
    AssignProcessToJobObject(m_job.get(), m_process.get());
    ResumeThread(thread.get());

    Search search{m_processId, kMainCaption, nullptr, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(&FindDialogWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr || WaitForSingleObject(m_process.get(), 0) == WAIT_OBJECT_0;
        },
        timeout);
    m_dialog = search.found;
    return m_dialog != nullptr;
}

std::wstring InstallerDriver::Text(int controlId) const
{
    return ControlText(m_dialog, controlId);
}

std::wstring InstallerDriver::ControlText(HWND window, int controlId)
{
    HWND control = GetDlgItem(window, controlId);
    return control ? WindowText(control) : std::wstring();
}

bool InstallerDriver::IsEnabled(int controlId) const
{
    HWND control = GetDlgItem(m_dialog, controlId);
    return control && IsWindowEnabled(control);
}

void InstallerDriver::Click(int controlId) const
{
    PostMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(m_dialog, controlId)));
}

HWND InstallerDriver::WaitForBox(const std::wstring& caption, std::chrono::milliseconds timeout) const
{
    Search search{m_processId, caption.c_str(), m_dialog, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(&FindDialogWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeout);
    return search.found;
}

std::wstring InstallerDriver::BoxText(HWND box)
{
    return ControlText(box, kMessageBoxTextId);
}

void InstallerDriver::Answer(HWND box, int buttonId)
{
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

bool InstallerDriver::Close(std::chrono::milliseconds timeout)
{
    PostMessageW(m_dialog, WM_CLOSE, 0, 0);
    return WaitForExit(timeout);
}

bool InstallerDriver::WaitForExit(std::chrono::milliseconds timeout) const
{
    return m_process && WaitForSingleObject(m_process.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD InstallerDriver::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process.get(), &code);
    return code;
}

DWORD InstallerDriver::ProcessesStarted() const
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!QueryInformationJobObject(m_job.get(), JobObjectBasicAccountingInformation, &accounting,
                                   sizeof(accounting), nullptr)) {
        return 0;
    }
    return accounting.TotalProcesses;
}

}  // namespace veyra::test
