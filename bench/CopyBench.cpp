// Copy of a tree through the file-operation engine's per-file path (progress routine, conflict and
// in-use handling, progress counters, a change notice per file sent to a desktop window on another
// thread) against raw CopyFileExW of the same tree, in one run. Prints "copy-large ratio X" and
// "copy-small ratio X": raw time over engine time, higher is better.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Thread.h"
#include "base/UniqueResource.h"
#include "core/fileops/ChangeNotice.h"
#include "core/fileops/FilePrimitives.h"
#include "core/fileops/OperationProgress.h"

namespace {

using namespace veyra;

constexpr std::size_t kLargeBytes = 180u << 20;
constexpr int kSmallFiles = 2000;
constexpr std::size_t kSmallBytes = 10u << 10;
constexpr int kRounds = 3;

bool WriteFilled(const std::wstring& path, std::size_t bytes)
{
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) {
        return false;
    }
    std::vector<char> block(1 << 20, 'v');
    while (bytes > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min(bytes, block.size()));
        DWORD written = 0;
        if (!WriteFile(file.get(), block.data(), chunk, &written, nullptr) || written != chunk) {
            return false;
        }
        bytes -= chunk;
    }
    return true;
}

void RemoveFiles(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) {
        return;
    }
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            DeleteFileW((folder + L"\\" + data.cFileName).c_str());
        }
    } while (FindNextFileW(find.get(), &data));
}

struct Job {
    std::vector<std::wstring> names;
    std::wstring source;
    std::wstring target;
};

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs `copy` over every name on a worker thread while this thread serves the desktop window.
template <typename Copy>
double TimeOnWorker(const Job& job, Copy copy)
{
    RemoveFiles(job.target);
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    UniqueHandle thread = StartThread([&job, &copy] {
        for (const std::wstring& name : job.names) {
            copy(job.source + L"\\" + name, job.target + L"\\" + name);
        }
    });
    HANDLE running = thread.get();
    while (running && MsgWaitForMultipleObjects(1, &running, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

LRESULT CALLBACK DesktopProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Best of kRounds, raw and engine interleaved so both see the same cache and disk state.
void Compare(const char* name, const Job& job)
{
    RefPtr<OperationProgress> progress = MakeRef<OperationProgress>();
    auto raw = [](const std::wstring& from, const std::wstring& to) {
        CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS);
    };
    auto engine = [&progress](const std::wstring& from, const std::wstring& to) {
        FileOperationContext context;
        context.Initialise(nullptr, OperationType::kCopy, progress.get(), 0);
        (void)CopyFileWithPrompts(from, to, 1, 0, &context);
        progress->FinishItem(0);
    };
    double rawBest = 1e30;
    double engineBest = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        rawBest = std::min(rawBest, TimeOnWorker(job, raw));
        engineBest = std::min(engineBest, TimeOnWorker(job, engine));
    }
    std::printf("%s ratio %.2f\n", name, rawBest / engineBest);
}

}  // namespace

int wmain()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"veyra-copy-bench-" + std::to_wstring(GetCurrentProcessId());
    Job large{{L"large.bin"}, root + L"\\large", root + L"\\large-copy"};
    Job small{{}, root + L"\\small", root + L"\\small-copy"};
    for (const std::wstring& folder : {root, large.source, large.target, small.source, small.target}) {
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    bool ready = WriteFilled(large.source + L"\\large.bin", kLargeBytes);
    for (int i = 0; ready && i < kSmallFiles; ++i) {
        small.names.push_back(L"small" + std::to_wstring(i) + L".txt");
        ready = WriteFilled(small.source + L"\\" + small.names.back(), kSmallBytes);
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DesktopProc;
    windowClass.lpszClassName = L"VeyraCopyBenchDesktop";
    RegisterClassW(&windowClass);
    HWND desktop = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   nullptr, nullptr);
    RegisterHostWindow(0, desktop);
    int status = 1;
    if (ready && desktop) {
        Compare("copy-large", large);
        Compare("copy-small", small);
        status = 0;
    } else {
        std::fprintf(stderr, "copy bench: cannot prepare the tree\n");
    }
    RegisterHostWindow(0, nullptr);
    DestroyWindow(desktop);
    for (const Job* job : {&large, &small}) {
        RemoveFiles(job->source);
        RemoveFiles(job->target);
        RemoveDirectoryW(job->source.c_str());
        RemoveDirectoryW(job->target.c_str());
    }
    RemoveDirectoryW(root.c_str());
    return status;
}
