#pragma once
// Opening programs and documents inside the sandbox: every launch is a request to the suite's tray
// program, sent from a short-lived thread so the UI thread never waits for the tray. Also the desktop's
// network switch. One process-wide object (g_launcher), used on the UI thread.

#include <windows.h>

#include <string>

namespace veyra {

class CLauncher {
public:
    // Starts the thread that sends one launch request for `path`; false when it could not be started
    // (the path is freed then).
    using ThreadStarter = bool (*)(std::wstring path) noexcept;
    // Asks the user whether to cut (block = 1) or give back (0) the sandbox's network access, owned by the
    // desktop window of `ownerKey`; the message-box answer (6 = yes).
    using NetworkQuestion = int (*)(int ownerKey, int block) noexcept;

    explicit CLauncher(ThreadStarter startThread = &StartTrayLaunchThread) noexcept : m_startThread(startThread) {}

    // Launches a document or program through the tray. 1, or 0 for a null path or one that does not fit
    // the launch record (259 characters), or when no thread could be started.
    int OpenFile(const wchar_t* path) noexcept;
    int LaunchViaTray(const wchar_t* path) noexcept;
    int RunProcess(const wchar_t* path) noexcept;

    // The engine's network switch after the user agreed: its result, or 0 when the user declined or no
    // question has been set up (the desktop shell sets it).
    int ToggleNetworkAccess(int block, int ownerKey) noexcept;
    static void SetNetworkQuestion(NetworkQuestion question) noexcept;

    // Starts the suite's message centre with "/NOTIFY=<code>": 1 when it started.
    static int StartMessageCenter(const wchar_t* suiteFolder, int code) noexcept;

    // The thread body: builds the record and sends it to the tray window (starting the tray if needed).
    static void TrayLaunchThread(const std::wstring& path) noexcept;

private:
    static bool StartTrayLaunchThread(std::wstring path) noexcept;

    int m_launchThroughTray = 1;
    ThreadStarter m_startThread;
};

extern CLauncher g_launcher;

}  // namespace veyra
