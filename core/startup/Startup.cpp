#include "Startup.h"

#include <commctrl.h>
#include <ole2.h>

#include "base/MessageLoop.h"
#include "core/fileops/EngineBinding.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/shellutil/GdiplusSession.h"
#include "core/startup/SingleInstance.h"
#include "core/startup/SuiteServices.h"
#include "core/startup/ThemeRedirect.h"
#include "shell/desktop/NsDesktop.h"
#include "shell/desktop/NsDesktopDlg.h"
#include "shell/dialogs/CShellPrompts.h"
#include "shell/directory/NsDirectoryDlg.h"
#include "shell/introduction/NsIntroductionDlg.h"
#include "shell/settings/NsSettingDlg.h"
#include "shell/startmenu/NsStartDlg.h"
#include "shell/taskbar/TaskbarPart.h"
#include "shell/taskmgr/NsTaskmgrDlg.h"

namespace veyra {

namespace {

void PrepareProcess() noexcept
{
    CoInitialize(nullptr);
    OleInitialize(nullptr);
    // Lets the system set up the thread's window state before the first window exists.
    DefWindowProcW(nullptr, WM_NULL, 0, 0);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

// The message loop registers itself for the UI thread while it exists (the window framework's table of
// loops by thread); the desktop window is created with owner key 0.
int RunDesktopWindow(int showCommand) noexcept
{
    try {
        MessageLoop loop;
        NsDesktopDlg desktop(0);
        if (!desktop.CreateDesktopWindow()) {
            return 0;
        }
        ShowWindow(desktop.Handle(), showCommand);
        return loop.Run();
    } catch (...) {
        return 0;
    }
}

}  // namespace

int RunDesktopProgram(HINSTANCE, int showCommand) noexcept
{
    PrepareProcess();
    if (!InstallThemeRedirect() || !InitSuiteServices()) {
        return 0;
    }
    BindSandboxEngine();
    if (CheckSingleInstance()) {
        return 0;
    }
    // The images of every window need GDI+ for as long as the process lives (it is never shut down:
    // the desktop ends by terminating its process).
    static GdiplusSession gdiplus;
    InstallFileOperationEngine(CSandBoxFileSystem::Instance());
    InstallDesktopView();
    dialogs::InstallShellDialogs();
    InstallFolderWindows();
    InstallTaskbar();
    InstallStartMenu();
    InstallTaskManager();
    InstallIntroduction();
    InstallSettingsMenu();
    const int exitCode = RunDesktopWindow(showCommand);
    CoUninitialize();
    OleUninitialize();
    return exitCode;
}

}  // namespace veyra
