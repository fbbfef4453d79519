// How a real folder view of 5,000 pictures follows the disk, against a full reload of the same view in the
// same run (from the Reload call to the end of the fill, painted): one change notice for a new file, and a
// resync (Refresh) after one file was added and one removed, each with the repaint it causes, timed once
// the icon loader has put every picture in (the state the user works in). The median of several rounds.
// Prints "notice-5000 ratio x" and "resync-5000 ratio y".

#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "bench/BenchFolders.h"
#include "bench/BenchSkin.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/explorer/ViewMessages.h"
#include "tests/support/iconhost/TestView.h"

namespace {

using namespace veyra;
using veyra::bench::MakeFolderTree;
using veyra::bench::RemoveFolder;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 5000;
constexpr int kSandbox = 4714;
constexpr int kRounds = 5;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

test::TestView* g_view = nullptr;
int g_applied = 0;  // pictures put in since the last reload

LRESULT CALLBACK SyncHostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NS_ITEMS_LOADED && g_view && !wParam) {
        static_cast<void>(g_view->FillNextStep(static_cast<std::uint32_t>(lParam)));  // the fill's next step
        return 1;
    }
    if (message == WM_NS_ITEMS_LOADED && g_view) {
        std::unique_ptr<std::vector<FileItemRecord>> records(reinterpret_cast<std::vector<FileItemRecord>*>(wParam));
        if (records && g_view->IsCurrentListing(static_cast<std::uint32_t>(lParam))) {
            static_cast<void>(g_view->StartIconLoader());  // a reload paused it
            static_cast<void>(g_view->FillItems(*records));
        }
        return 1;
    }
    if (message == WM_NS_ICON_LOADED && g_view) {
        g_applied += g_view->ApplyLoadedIcon(reinterpret_cast<NsIcon*>(wParam), 48);
        return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Runs the UI thread's loop until `done` holds (or the time is up).
template <typename Done>
bool PumpUntil(Done done, std::chrono::seconds limit)
{
    const auto end = Clock::now() + limit;
    MSG message{};
    while (!done() && Clock::now() < end) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
        }
    }
    return done();
}

bool PicturesIn(int count)
{
    return PumpUntil([count] { return g_applied >= count; }, std::chrono::seconds(120));
}

// One small picture, saved once and copied for every file.
bool MakePicture(const std::wstring& path)
{
    Gdiplus::Bitmap bitmap(48, 36, PixelFormat32bppARGB);
    Gdiplus::Graphics(&bitmap).Clear(Gdiplus::Color(255, 200, 120, 30));
    CLSID png{};
    return SUCCEEDED(CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png)) &&
           bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

std::wstring g_picture;

bool WritePicture(const std::wstring& path)
{
    return CopyFileW(g_picture.c_str(), path.c_str(), FALSE) != FALSE;
}

std::wstring FileName(const std::wstring& folder, const wchar_t* stem, int index)
{
    wchar_t name[40];
    std::swprintf(name, 40, L"\\%ls-%05d.png", stem, index);
    return folder + name;
}

ChangeNoticeRecord AppearedNotice(const std::wstring& path)
{
    ChangeNoticeRecord record{};
    record.kind = NoticeKind::kFileAppeared;
    path.copy(record.path1, std::min<size_t>(path.size(), 259));
    return record;
}

struct Figures {
    std::vector<double> reloadMs, noticeMs, resyncMs;
};

bool Measure(HWND host, const std::wstring& folder, Figures& figures)
{
    int shown = kFiles;
    for (int round = 0; round < kRounds; ++round) {
        g_applied = 0;
        const auto reloadStart = Clock::now();
        static_cast<void>(g_view->Reload(folder));
        if (!PumpUntil([shown] { return g_view->ItemCount() == shown; }, std::chrono::seconds(120))) {
            return false;
        }
        UpdateWindow(host);
        figures.reloadMs.push_back(MillisecondsSince(reloadStart));
        if (!PicturesIn(shown)) {
            return false;
        }
        UpdateWindow(host);

        // A worker's notice for a file it made.
        const std::wstring made = FileName(folder, L"pasted", round);
        const ChangeNoticeRecord notice = AppearedNotice(made);
        if (!WritePicture(made)) {
            return false;
        }
        const auto noticeStart = Clock::now();
        if (g_view->ApplyChangeNotice(&notice) != 1) {
            return false;
        }

        UpdateWindow(host);
        figures.noticeMs.push_back(MillisecondsSince(noticeStart));
        if (g_view->ItemCount() != ++shown || !PicturesIn(shown)) {
            return false;
        }
        UpdateWindow(host);

        // Refresh after one file came and one went behind the view's back.
        if (!WritePicture(FileName(folder, L"added", round)) ||
            !DeleteFileW(FileName(folder, L"file", 1000 + round * 700).c_str())) {
            return false;
        }
        const auto resyncStart = Clock::now();
        if (g_view->SyncItems(folder, 0) != 1) {
            return false;
        }
        UpdateWindow(host);
        figures.resyncMs.push_back(MillisecondsSince(resyncStart));
        if (g_view->ItemCount() != shown) {
            return false;
        }
    }
    return true;
}

int Run()
{
    bench::SkinnedFolderWindow window;
    if (!window.Open(L"VeyraSyncBenchHost", SyncHostProc)) {
        std::fprintf(stderr, "sync_bench: no skinned window\n");
        return 1;
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"veyra-sync-bench-" + std::to_wstring(GetCurrentProcessId());
    g_picture = folder + L".png";
    if (!MakeFolderTree(folder) || !MakePicture(g_picture)) {
        return 1;
    }
    for (int index = 0; index < kFiles; ++index) {
        if (!WritePicture(FileName(folder, L"file", index))) {
            return 1;
        }
    }

    auto view = std::make_unique<test::TestView>(window.Panel(), window.Host(), kSandbox, 0);
    g_view = view.get();
    Figures figures;
    const bool measured = Measure(window.Host(), folder, figures);
    const int shownAtEnd = view->ItemCount();
    view->ClearItems();
    view->StopIconLoader();
    g_view = nullptr;
    view.reset();
    window.Close();
    RemoveFolder(folder);
    DeleteFileW(g_picture.c_str());
    if (!measured) {
        std::fprintf(stderr, "sync_bench: the view did not follow the folder (%d shown, %d pictures)\n", shownAtEnd,
                     g_applied);
        return 1;
    }
    const double reload = Median(figures.reloadMs), notice = Median(figures.noticeMs), resync = Median(figures.resyncMs);
    std::printf("notice-5000 ratio %.4f\n", notice / reload);
    std::printf("resync-5000 ratio %.3f\n", resync / reload);
    std::fprintf(stderr, "sync_bench: reload %.1f ms, notice %.2f ms, resync %.1f ms (medians of %d)\n", reload, notice,
                 resync, kRounds);
    return 0;
}

}  // namespace

int main()
{
    return veyra::bench::RunViewBenchmark(&Run);
}
