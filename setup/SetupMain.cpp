// Entry of the installer: one modeless main dialog on the UI thread's message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "base/MessageLoop.h"
#include "resources/setup/SetupResources.h"
#include "setup/CMainDlg.h"

namespace {

int Run(int showCommand)
{
    veyra::MessageLoop loop;
    veyra::setup::CMainDlg dialog;
    if (!dialog.CreateModeless(GetModuleHandleW(nullptr), IDD_MAIN_DLG, nullptr)) {
        return 0;
    }
    ShowWindow(dialog.Handle(), showCommand);
    return loop.Run();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    const HRESULT com = CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const int exitCode = Run(showCommand);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return exitCode;
}
