// One change of the process list as the taskbar and the task manager meet it: NsProcessTab rebuilt
// from 40 processes with titled windows in the desktop's real skinned taskbar strip, and the task
// manager's 40 rows rebuilt in its real list, each then painted. The figure is that UI-thread time over
// the 1000 ms between two snapshots of the process watch (the share of the UI thread a change every
// second costs). A change is one process ending and another starting; "taskbar-retitle-40" is a change
// of two windows' titles, which leaves the buttons in place. Prints "taskbar-rebuild-40 ratio x",
// "taskbar-retitle-40 ratio y" and "taskmgr-rebuild-40 ratio z" (medians of 21 changes).

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
#include "shell/taskmgr/TaskList.h"
#include "tests/support/FakeSuite.h"

namespace {

using namespace veyra;
using Clock = std::chrono::steady_clock;

constexpr int kProcesses = 40;
constexpr int kChanges = 21;
constexpr double kSnapshotMs = 1000.0;
constexpr USHORT kTaskbarStrip = 2002;
constexpr USHORT kTaskList = 7002;

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

// `layout` built into a new host window; false when it cannot be.
bool BuildHost(const std::wstring& layout, const RECT& bounds, UniqueWindow& host, ComPtr<vorrelUI::Ivorrel_window>& skinWindow)
{
    host.reset(CreateWindowExW(0, L"VeyraTaskbarBenchHost", L"tasks bench", WS_POPUP | WS_CLIPCHILDREN, bounds.left,
                               bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr,
                               nullptr, nullptr));
    ComPtr<vorrelUI::Ivorrel_winfactory> factory;
    if (!host || FAILED(skin::CreateWindowFactory(factory)) ||
        FAILED(factory->CreateSkinWindow(layout.c_str(), host.get(), 0, skinWindow.put()))) {
        return false;
    }
    skinWindow->Show(TRUE);
    ShowWindow(host.get(), SW_SHOWNOACTIVATE);
    Pump();
    return true;
}

enum class ChangeKind { Titles, Process };

// Between two snapshots either two windows change their titles, or one process ends and another starts.
void ChangeList(std::vector<ProcessEntry>& processes, int run, ChangeKind kind)
{
    if (kind == ChangeKind::Titles) {
        std::swap(processes[run % kProcesses].title[0], processes[(run + 1) % kProcesses].title[0]);
    } else {
        processes[run % kProcesses].record.processId += kProcesses;
    }
}

// The median time of `changes` runs of `change`, each followed by the paint it left, over 1000 ms.
template <typename Change>
double MedianShare(HWND host, std::vector<ProcessEntry>& processes, ChangeKind kind, Change change)
{
    std::vector<double> times;
    for (int run = 0; run < kChanges; ++run) {
        ChangeList(processes, run, kind);
        const Clock::time_point start = Clock::now();
        change();
        UpdateWindow(host);  // what the change left to paint
        Pump();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + kChanges / 2, times.end());
    return times[kChanges / 2] / kSnapshotMs;
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
    UniqueWindow desktopHost, tasksHost;
    ComPtr<vorrelUI::Ivorrel_window> desktopSkin, tasksSkin;
    ComPtr<vorrelUI::Ivorrel_control> control;
    ComPtr<vorrelUI::Ivorrel_panel> strip;
    ComPtr<vorrelUI::Ivorrel_list> list;
    if (!BuildHost(layouts + L"KavoSandbox.xml", RECT{30, 30, 860, 655}, desktopHost, desktopSkin) ||
        FAILED(desktopSkin->FindControl(kTaskbarStrip, control.put())) ||
        FAILED(control.As(vorrelUI::IID_Ivorrel_panel, strip)) ||
        !BuildHost(layouts + L"NsTaskmgr.xml", RECT{300, 100, 600, 420}, tasksHost, tasksSkin) ||
        FAILED(tasksSkin->FindControl(kTaskList, control.put())) || FAILED(control.As(vorrelUI::IID_Ivorrel_list, list))) {
        std::fprintf(stderr, "taskbar_bench: no skinned windows\n");
        return 1;
    }
    {
        NsProcessTab taskbar(strip.get(), desktopHost.get(), 0);
        static_cast<void>(taskbar.Init());
        const auto rebuild = [&] { static_cast<void>(taskbar.Rebuild(processes)); };
        std::printf("taskbar-rebuild-40 ratio %.4f\n", MedianShare(desktopHost.get(), processes, ChangeKind::Process, rebuild));
        std::printf("taskbar-retitle-40 ratio %.4f\n", MedianShare(desktopHost.get(), processes, ChangeKind::Titles, rebuild));
    }
    {
        TaskList rows(list.get());
        const double share = MedianShare(tasksHost.get(), processes, ChangeKind::Process, [&] {
            rows.Rebuild(processes);
            list->Redraw(TRUE);
        });
        std::printf("taskmgr-rebuild-40 ratio %.4f\n", share);
    }
    desktopSkin->ReleaseControls();
    tasksSkin->ReleaseControls();
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
