// veyra_icon_host: the icon-view engine with its items, rename box, icon loader and the ghost frame in
// real skinned windows, for the end-to-end test, the benchmark and screenshots. It lays out the stand-in
// suite in a temporary folder, builds the desktop (VEYRA_ICON_HOST_FOLDER listed into panel 2001) and a
// folder window (VEYRA_ICON_HOST_BROWSE, or the drives when unset, listed into panel 1005) and runs until
// one of them is closed. The sandbox number comes from VEYRA_ICON_HOST_SANDBOX (0 when unset); the rename
// result goes to VEYRA_ICON_HOST_RESULT.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cwchar>
#include <string>

#include "base/MessageLoop.h"
#include "core/GlobalInfo.h"
#include "core/fileops/ChangeNotice.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/shellutil/GdiplusSession.h"
#include "shell/explorer/NsExplorer.h"
#include "shell/skin/SkinBinding.h"
#include "shell/skin/SkinStartup.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/iconhost/IconHostWindows.h"

using namespace veyra;
using namespace veyra::test;

namespace {


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
    // The covers of the items' states come from the desktop's pack.
    if (FAILED(skin::CreateResourcePack(skin::ImagePack)) ||
        FAILED(skin::ImagePack->Load(0, (suite.ThemeFolder() + L"\\KavoSandBox\\KavoSandbox.xml").c_str()))) {
        return 13;
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
    IconHostWindow desktop(1, sandboxId);
    if (!desktop.Build(L"VeyraIconHostDesktop", layouts + L"KavoSandbox.xml", 2001, nullptr, 40, 40)) {
        return 5;
    }
    RegisterHostWindow(0, desktop.Handle());
    desktop.SetResultFile(Variable(L"VEYRA_ICON_HOST_RESULT"));
    IconHostWindow folder(0, sandboxId);
    if (!folder.Build(L"VeyraIconHostFolder", layouts + L"NsExplorer.xml", 1005, desktop.Handle(), 120, 140)) {
        return 6;
    }
    folder.SetDragStrip(32);
    desktop.Show();
    folder.Show();
    const std::wstring shown = Variable(L"VEYRA_ICON_HOST_FOLDER");
    if (!shown.empty()) {
        desktop.Load(shown);
    }
    const std::wstring browsed = Variable(L"VEYRA_ICON_HOST_BROWSE");
    folder.Load(browsed.empty() ? std::wstring(kComputerItemPath) : browsed);
    const int code = loop.Run();
    RegisterHostWindow(0, nullptr);
    skin::ImagePack.reset();
    skin::EnginePtr.reset();
    CoUninitialize();
    return code;
}
