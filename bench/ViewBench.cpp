// The icon view filled with 5,000 PNG files (half only in the sandbox copy) in a real skinned window,
// against a plain Win32 loop doing the same work in the same run: FindFirstFileW over the folder and its
// sandbox copy, each caption measured and drawn at its cell, then the same GetThumbnailImage (48) calls on
// one worker thread with each image drawn. Times run from the listing's start. A probe thread posts to the
// host every 10 ms; the longest wait for an answer while icons load and during warm-cache reloads is the
// UI latency. Prints "view-5000-labels ratio x", "view-5000-icons ratio y", "view-5000-ui-latency ms n",
// "view-5000-fill-step ms n" (the longest fill step) and "view-5000-reload private-kb-per-reload n" (after ten reloads).

#include <windows.h>

#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"
#include "bench/BenchFolders.h"
#include "bench/BenchSkin.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/shellutil/Thumbnails.h"
#include "shell/explorer/ViewMessages.h"
#include "shell/iconview/NsIconLabelFont.h"
#include "tests/support/iconhost/TestView.h"

namespace {

using veyra::bench::MakeFolderTree;
using veyra::bench::RemoveFolder;

using namespace veyra;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 5000;
constexpr int kSandbox = 4713;
constexpr int kReloads = 10;
constexpr UINT WM_PROBE = WM_APP + 1;
constexpr size_t kProbeSlots = 1 << 16;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// What the host window measures; one per run, reached through the window's user data.
struct Measure {
    veyra::test::TestView* view = nullptr;
    Clock::time_point start;
    double labelsMs = 0;
    double iconsMs = 0;
    double fillMs = 0;
    int applied = 0;
    bool labelsDone = false;
    bool iconsDone = false;
    std::atomic<bool> measuring{false};
    double worstDelayMs = 0;
    std::vector<Clock::time_point> probeSent = std::vector<Clock::time_point>(kProbeSlots);
};

void OnListing(HWND hwnd, Measure& measure, WPARAM wParam, LPARAM lParam)
{
    const auto fillStart = Clock::now();
    if (!wParam) {
        static_cast<void>(measure.view->FillNextStep(static_cast<std::uint32_t>(lParam)));
    } else {
        std::unique_ptr<std::vector<FileItemRecord>> records(reinterpret_cast<std::vector<FileItemRecord>*>(wParam));
        if (!measure.view->IsCurrentListing(static_cast<std::uint32_t>(lParam))) {
            return;
        }
        static_cast<void>(measure.view->StartIconLoader());
        static_cast<void>(measure.view->FillItems(*records));  // the first step; the next ones come posted
    }
    measure.fillMs = std::max(measure.fillMs, MillisecondsSince(fillStart));
    if (measure.view->ItemCount() == kFiles) {
        UpdateWindow(hwnd);
        measure.labelsMs = MillisecondsSince(measure.start);
        measure.labelsDone = true;
    }
}

LRESULT CALLBACK BenchHostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* measure = reinterpret_cast<Measure*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!measure) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_NS_ITEMS_LOADED:
        OnListing(hwnd, *measure, wParam, lParam);
        return 1;
    case WM_NS_ICON_LOADED:
        if (measure->view->ApplyLoadedIcon(reinterpret_cast<NsIcon*>(wParam), 48) && ++measure->applied == kFiles) {
            UpdateWindow(hwnd);
            measure->iconsMs = MillisecondsSince(measure->start);
            measure->iconsDone = true;
            measure->measuring = false;
        }
        return 1;
    case WM_PROBE:
        if (measure->measuring) {
            const double delay = std::chrono::duration<double, std::milli>(
                                     Clock::now() - measure->probeSent[wParam % kProbeSlots])
                                     .count();
            measure->worstDelayMs = std::max(measure->worstDelayMs, delay);
        }
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// Handles what waits in the queue, so probes held up by the plain loop's run are not counted.
void DrainMessages()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Runs the UI thread's loop until the icons are all applied (or the time is up).
bool PumpUntilDone(Measure& measure, std::chrono::seconds limit)
{
    const auto end = Clock::now() + limit;
    MSG message{};
    while (!measure.iconsDone && Clock::now() < end) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    return measure.iconsDone;
}

// One small PNG's bytes, encoded once and written 5,000 times.
std::string PngBytes()
{
    Gdiplus::Bitmap bitmap(48, 36, PixelFormat32bppARGB);
    Gdiplus::Graphics(&bitmap).Clear(Gdiplus::Color(255, 30, 120, 200));
    CLSID png{};
    CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png);
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) || bitmap.Save(stream.get(), &png, nullptr) != Gdiplus::Ok) {
        return {};
    }
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::string bytes(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The plain loop: list both folders, measure and draw each caption at its cell, then make and draw each
// thumbnail on one worker thread. Milliseconds to the labels and to the last image.
std::pair<double, double> RawRun(HWND hwnd, const std::wstring& real, const std::wstring& shadow)
{
    const auto start = Clock::now();
    std::vector<std::wstring> paths;
    {
        const HDC dc = GetDC(hwnd);
        const HGDIOBJ oldFont = SelectObject(dc, IconLabelFont());
        int index = 0;
        for (const std::wstring& folder : {real, shadow}) {
            WIN32_FIND_DATAW found;
            UniqueFindHandle find(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
            if (!find) {
                continue;
            }
            do {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    continue;
                }
                paths.push_back(folder + L"\\" + found.cFileName);
                RECT measured{0, 0, 72, 17};
                DrawTextW(dc, found.cFileName, -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
                RECT cell{155 + (index % 7) * 81, 70 + ((index / 7) % 4) * 89 + 54, 0, 0};
                cell.right = cell.left + 74;
                cell.bottom = cell.top + 34;
                DrawTextW(dc, found.cFileName, -1, &cell, DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS);
                ++index;
            } while (FindNextFileW(find.get(), &found));
        }
        SelectObject(dc, oldFont);
        ReleaseDC(hwnd, dc);
    }
    const double labels = MillisecondsSince(start);
    std::thread worker([&paths] {
        CoInitialize(nullptr);
        Gdiplus::Bitmap canvas(120, 120, PixelFormat32bppARGB);
        Gdiplus::Graphics graphics(&canvas);
        for (const std::wstring& path : paths) {
            if (const ImagePtr image = GetThumbnailImage(path.c_str(), 48)) {
                graphics.DrawImage(image.get(), 0, 0, 48, 48);
            }
        }
        CoUninitialize();
    });
    worker.join();
    return {labels, MillisecondsSince(start)};
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    return counters.PrivateUsage;
}

int Run()
{
    veyra::bench::SkinnedFolderWindow window;
    if (!window.Open(L"VeyraViewBenchHost", BenchHostProc)) {
        std::fprintf(stderr, "view_bench: no skinned window\n");
        return 1;
    }
    const HWND host = window.Host();

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring real = std::wstring(temp) + L"veyra-view-bench-" + std::to_wstring(GetCurrentProcessId());
    std::wstring shadow;
    CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    const std::string png = PngBytes();
    if (png.empty() || !MakeFolderTree(real) || !view.ToSandboxPath(real, shadow, kSandbox) || !MakeFolderTree(shadow)) {
        return 1;
    }
    for (int index = 0; index < kFiles; ++index) {
        wchar_t name[32];
        std::swprintf(name, 32, L"\\picture-%05d.png", index);
        if (!WriteBytes((index % 2 == 0 ? real : shadow) + name, png)) {
            return 1;
        }
    }

    static_cast<void>(RawRun(host, real, shadow));  // warms the file cache for both sides
    auto testView = std::make_unique<veyra::test::TestView>(window.Panel(), host, kSandbox, 0);
    auto measure = std::make_unique<Measure>();
    measure->view = testView.get();
    SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(measure.get()));

    std::atomic<bool> probing{true};
    std::thread probe([&] {
        for (size_t sequence = 0; probing; ++sequence) {
            measure->probeSent[sequence % kProbeSlots] = Clock::now();
            PostMessageW(host, WM_PROBE, sequence, 0);
            Sleep(10);  // the probe's own pace, not a wait for a state
        }
    });

    measure->start = Clock::now();
    measure->measuring = true;
    static_cast<void>(testView->Load(real));
    const bool cold = PumpUntilDone(*measure, std::chrono::seconds(300));
    const double viewLabels = measure->labelsMs, viewIcons = measure->iconsMs, fill = measure->fillMs;
    const double coldDelay = measure->worstDelayMs;
    const auto [rawLabels, rawIcons] = RawRun(host, real, shadow);

    SIZE_T firstReload = 0;
    double reloadCallMs = 0;
    bool warm = cold;
    for (int reload = 0; reload < kReloads && warm; ++reload) {
        measure->applied = 0;
        measure->iconsDone = false;
        DrainMessages();
        measure->start = Clock::now();
        measure->measuring = true;  // the reload's clearing counts too
        const auto reloadStart = Clock::now();
        static_cast<void>(testView->Reload(real));
        reloadCallMs = std::max(reloadCallMs, MillisecondsSince(reloadStart));
        warm = PumpUntilDone(*measure, std::chrono::seconds(120));
        if (reload == 0) {
            firstReload = PrivateBytes();
        }
    }
    const SIZE_T lastReload = PrivateBytes();
    probing = false;
    probe.join();
    SetWindowLongPtrW(host, GWLP_USERDATA, 0);
    testView->ClearItems();
    testView->StopIconLoader();
    testView.reset();
    window.Close();
    RemoveFolder(real);
    RemoveFolder(shadow);
    if (!cold || !warm) {
        std::fprintf(stderr, "view_bench: the icons did not all arrive\n");
        return 1;
    }
    std::printf("view-5000-labels ratio %.2f\n", viewLabels / rawLabels);
    std::printf("view-5000-icons ratio %.2f\n", viewIcons / rawIcons);
    std::printf("view-5000-ui-latency ms %.0f\n", measure->worstDelayMs);
    std::printf("view-5000-fill-step ms %.0f\n", fill);
    std::printf("view-5000-reload private-kb-per-reload %.0f\n",
                (static_cast<double>(lastReload) - static_cast<double>(firstReload)) / 1024.0 / (kReloads - 1));
    std::fprintf(stderr, "view_bench: view %.0f / %.0f ms, raw %.0f / %.0f ms; longest wait %.0f ms while loading, "
                 "%.0f ms over the reloads, whose call took up to %.0f ms\n", viewLabels, viewIcons, rawLabels, rawIcons,
                 coldDelay, measure->worstDelayMs, reloadCallMs);
    return 0;
}

}  // namespace

int main()
{
    return veyra::bench::RunViewBenchmark(&Run);
}
