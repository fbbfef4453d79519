// veyra_icon_host: the icon items, the rename box and the ghost frame in real skinned windows, for the
// end-to-end test and for screenshots. It lays out the stand-in suite in a temporary folder, builds the
// desktop (items of VEYRA_ICON_HOST_FOLDER in panel 2001) and a folder window (the drives in panel 1005)
// and runs until one of them is closed. The sandbox number comes from VEYRA_ICON_HOST_SANDBOX (0 when
// unset); the rename result goes to VEYRA_ICON_HOST_RESULT.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cwchar>
#include <string>
#include <vector>

#include "base/MessageLoop.h"
#include "core/GlobalInfo.h"
#include "core/fileops/ChangeNotice.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/shellutil/GdiplusSession.h"
#include "shell/iconview/NsIcon.h"
#include "shell/skin/SkinBinding.h"
#include "shell/skin/SkinStartup.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/iconhost/IconHostWindows.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr std::uint32_t kDesktopMode = 0x20104;
constexpr std::uint32_t kComputerMode = 0x1001204;

std::wstring Variable(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value) : std::wstring();
}

// 0, or 10 plus the skin start-up step that failed (20: the desktop's theme file).
int StartSkin(const FakeSuite& suite)
{
    if (!LoadLibraryW((suite / L"vorrel.dll").c_str())) {
        return 10;
    }
    if (const skin::SkinStartReport report = skin::StartSkin(suite.Root().c_str()); !report.Succeeded()) {
        return 10 + static_cast<int>(report.failedStep);
    }
    // This host is not the suite's ipc\veyra.exe, so the theme centre names no theme file for it.
    if (FAILED(skin::ThemeLoaderPtr->LoadTheme((suite.ThemeFolder() + L"\\sandbox_theme.xml").c_str()))) {
        return 20;
    }
    return 0;
}

}  // namespace

int wmain()
{
    if (FAILED(CoInitialize(nullptr))) {
        return 3;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    GdiplusSession gdiplus;
    g_globalInfo.Init();
    FakeSuite suite(SuitePart::SkinLibrary | SuitePart::ThemeFiles | SuitePart::Tray | SuitePart::SkinProxy);
    if (const int failed = StartSkin(suite)) {
        return failed;
    }
    const int sandboxId = _wtoi(Variable(L"VEYRA_ICON_HOST_SANDBOX").c_str());
    const std::wstring layouts = suite.ThemeFolder() + L"\\KavoSandBox\\";

    MessageLoop loop;
    IconHostWindow desktop(kDesktopMode, sandboxId);
    if (!desktop.Build(L"VeyraIconHostDesktop", layouts + L"KavoSandbox.xml", 2001, nullptr, 40, 40)) {
        return 5;
    }
    RegisterHostWindow(0, desktop.Handle());
    desktop.SetResultFile(Variable(L"VEYRA_ICON_HOST_RESULT"));
    IconHostWindow folder(kComputerMode, sandboxId);
    if (!folder.Build(L"VeyraIconHostFolder", layouts + L"NsExplorer.xml", 1005, desktop.Handle(), 120, 140)) {
        return 6;
    }
    folder.SetDragStrip(32);

    std::vector<FileItemRecord> items;
    const std::wstring shown = Variable(L"VEYRA_ICON_HOST_FOLDER");
    if (!shown.empty()) {
        static_cast<void>(CSandBoxFileSystem::Instance().ListFolder(shown, items, sandboxId));
    }
    desktop.AddItems(items);
    std::vector<FileItemRecord> drives;
    static_cast<void>(CSandBoxFileSystem::Instance().ListDrives(drives, sandboxId));
    folder.AddItems(drives);
    desktop.Show();
    folder.Show();
    const int code = loop.Run();
    RegisterHostWindow(0, nullptr);
    skin::EnginePtr.reset();
    CoUninitialize();
    return code;
}
