// veyra_message_box_host: the skin library's own message box as the desktop raises it, for screenshots.
// It lays out the stand-in suite, runs the program's skin start-up, shows an 830x625 owner window titled
// "Veyra" and asks the exit question over it (text, caption and type from VEYRA_BOX_TEXT, VEYRA_BOX_CAPTION
// and VEYRA_BOX_TYPE when set). The exit code is the box's answer; 100 and up: a start-up step failed.

#include <windows.h>

#include <objbase.h>

#include <cwchar>
#include <string>

#include "base/Window.h"
#include "shell/skin/SkinBinding.h"
#include "shell/skin/SkinStartup.h"
#include "tests/support/FakeSuite.h"

using namespace veyra;
using namespace veyra::test;

namespace {

std::wstring Variable(const wchar_t* name, const wchar_t* fallback)
{
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, ARRAYSIZE(value));
    return length > 0 && length < ARRAYSIZE(value) ? std::wstring(value) : std::wstring(fallback);
}

// A plain dark window standing where the desktop would.
class OwnerWindow final : public MappedWindow<OwnerWindow> {
public:
    static std::span<const Entry> Messages() { return {}; }
};

}  // namespace

int wmain()
{
    if (FAILED(CoInitialize(nullptr))) {
        return 100;
    }
    FakeSuite suite(SuitePart::SkinLibrary | SuitePart::SkinProxy | SuitePart::ThemeFiles);
    if (!LoadLibraryW((suite / L"vorrel.dll").c_str())) {
        return 101;
    }
    if (const skin::SkinStartReport report = skin::StartSkin(suite.Root().c_str()); !report.Succeeded()) {
        return 101 + static_cast<int>(report.failedStep);
    }
    OwnerWindow owner;
    WindowPlacement placement;
    placement.style = WS_POPUP;
    placement.x = (GetSystemMetrics(SM_CXSCREEN) - 830) / 2;
    placement.y = (GetSystemMetrics(SM_CYSCREEN) - 625) / 2;
    placement.width = 830;
    placement.height = 625;
    WindowClass windowClass{L"VeyraMessageBoxHostOwner"};
    // The desktop's dark ground; the class owns the brush (freed with the class).
    windowClass.background = CreateSolidBrush(RGB(0x1B, 0x28, 0x38));
    if (!owner.Create(windowClass, L"Veyra", placement)) {
        return 120;
    }
    ShowWindow(owner.Handle(), SW_SHOWNORMAL);
    UpdateWindow(owner.Handle());
    const std::wstring text = Variable(L"VEYRA_BOX_TEXT", L"退出时是否关闭虚拟系统所有的进程？");
    const std::wstring caption = Variable(L"VEYRA_BOX_CAPTION", L"Veyra");
    const UINT type = static_cast<UINT>(wcstoul(Variable(L"VEYRA_BOX_TYPE", L"36").c_str(), nullptr, 0));
    const int answer = skin::EngineMessageBox(owner.Handle(), text.c_str(), caption.c_str(), type);
    skin::ImagePack.reset();
    skin::MessageBoxPack.reset();
    skin::ThemeLoaderPtr.reset();
    skin::ResRegistryPtr.reset();
    skin::EnginePtr.reset();
    CoUninitialize();
    return answer;
}
