// One change of the process list as the taskbar meets it: NsProcessTab rebuilt from 40 processes with
// titled windows in the desktop's real skinned taskbar strip, and the strip painted. The figure is that
// UI-thread time over the 1000 ms between two snapshots of the process watch (the share of the UI
// thread a change every second costs). Prints "taskbar-rebuild-40 ratio x" (the median of 21 changes)
// and "taskbar-rebuild-40 items-ms n" (of that, the median time to replace the buttons before painting).

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"
#include "bench/BenchFolders.h"
#include "core/GlobalInfo.h"
#include "core/shellutil/GdiplusSession.h"
#include "shell/protocol/WindowProtocol.h"
#include "shell/skin/SkinBinding.h"
#include "shell/taskbar/NsProcessTab.h"
#include "tests/support/FakeSuite.h"

namespace {

using namespace veyra;
using Clock = std::chrono::steady_clock;

constexpr int kProcesses = 40;
constexpr int kChanges = 21;
constexpr double kSnapshotMs = 1000.0;
constexpr USHORT kTaskbarStrip = 2002;

LRESULT CALLBACK BenchHostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NS_GET_FOLDER_WINDOWS) {
        return 1;  // no folder windows: the map stays empty
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

int Run()
{
    test::FakeSuite suite(test::SuitePart::SkinLibrary | test::SuitePart::ThemeFiles, test::SuiteRegistration::Leave);
    const std::wstring layouts = suite.ThemeFolder() + L"\\KavoSandBox\\";
    ComPtr<vorrelUI::Ivorrel_theme> theme;
    if (!LoadLibraryW((suite / L"vorrel.dll").c_str()) || FAILED(skin::CreateEngine()) ||
        FAILED(skin::EnginePtr->GetTheme(theme.put())) ||
        FAILED(theme->LoadTheme((suite.ThemeFolder() + L"\\sandbox_theme.xml").c_str())) ||
        FAILED(skin::CreateResourcePack(skin::ImagePack)) ||
        FAILED(skin::ImagePack->Load(0, (layouts + L"KavoSandbox.xml").c_str()))) {
        std::fprintf(stderr, "taskbar_bench: no skin\n");
        return 1;
    }
    g_globalInfo.Init();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"veyra-taskbar-bench-" + std::to_wstring(GetCurrentProcessId());
    if (!bench::MakeFolderTree(folder)) {
        return 1;
    }
    std::vector<ProcessEntry> processes(kProcesses);
    for (int index = 0; index < kProcesses; ++index) {
        const std::wstring image = folder + L"\\program-" + std::to_wstring(index) + L".exe";
        UniqueFileHandle file(CreateFileW(image.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ProcessEntry& entry = processes[index];
        entry = ProcessEntry{};
        entry.record.processId = 1000 + index;
        wcsncpy(entry.record.imagePath, image.c_str(), kSbRuleImagePathChars - 1);
        wcsncpy(entry.title, (L"Program " + std::to_wstring(index)).c_str(), kProcessTitleChars - 1);
    }

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = BenchHostProc;
    windowClass.lpszClassName = L"VeyraTaskbarBenchHost";
    RegisterClassW(&windowClass);
    UniqueWindow host(CreateWindowExW(0, windowClass.lpszClassName, L"taskbar bench", WS_POPUP | WS_CLIPCHILDREN, 30, 30,
                                      830, 625, nullptr, nullptr, nullptr, nullptr));
    ComPtr<vorrelUI::Ivorrel_winfactory> factory;
    ComPtr<vorrelUI::Ivorrel_window> skinWindow;
    ComPtr<vorrelUI::Ivorrel_control> control;
    ComPtr<vorrelUI::Ivorrel_panel> strip;
    if (!host || FAILED(skin::CreateWindowFactory(factory)) ||
        FAILED(factory->CreateSkinWindow((layouts + L"KavoSandbox.xml").c_str(), host.get(), 0, skinWindow.put())) ||
        FAILED(skinWindow->FindControl(kTaskbarStrip, control.put())) ||
        FAILED(control.As(vorrelUI::IID_Ivorrel_panel, strip))) {
        std::fprintf(stderr, "taskbar_bench: no skinned window\n");
        return 1;
    }
    skinWindow->Show(TRUE);
    ShowWindow(host.get(), SW_SHOWNOACTIVATE);
    Pump();
    {
        NsProcessTab taskbar(strip.get(), host.get(), 0);
        static_cast<void>(taskbar.Init());
        std::vector<double> times;
        std::vector<double> rebuilds;
        for (int change = 0; change < kChanges; ++change) {
            std::swap(processes[change % kProcesses].title[0], processes[(change + 1) % kProcesses].title[0]);
            const Clock::time_point start = Clock::now();
            static_cast<void>(taskbar.Rebuild(processes));
            const double rebuilt = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            UpdateWindow(host.get());  // what the rebuild left to paint: the strip
            Pump();
            const double total = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            rebuilds.push_back(rebuilt);
            times.push_back(total);
        }
        std::nth_element(times.begin(), times.begin() + kChanges / 2, times.end());
        std::nth_element(rebuilds.begin(), rebuilds.begin() + kChanges / 2, rebuilds.end());
        std::printf("taskbar-rebuild-40 ratio %.4f\n", times[kChanges / 2] / kSnapshotMs);
        std::printf("taskbar-rebuild-40 items-ms %.1f\n", rebuilds[kChanges / 2]);
    }
    skinWindow->ReleaseControls();
    bench::RemoveFolder(folder);
    return 0;
}

}  // namespace

int main()
{
    CoInitialize(nullptr);
    GdiplusSession gdiplus;
    const int result = Run();
    skin::ImagePack.reset();
    skin::EnginePtr.reset();
    CoUninitialize();
    return result;
}
