// Merged listing of a folder against the raw listing it is built from: FindFirstFileW over the real
// folder plus its sandbox copy. Half of the entries are real, half only in the sandbox copy, and a tenth
// of the real ones carry a deletion mark. Prints "listing-<entries> ratio <merged / raw>" (lower is better).

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "core/sandboxview/CSandBoxFileSystem.h"

namespace {

using veyra::CSandBoxFileSystem;

constexpr int kSandbox = 4712;
constexpr int kRounds = 15;

bool MakeFolderTree(const std::wstring& path)
{
    const auto slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 2) {
        MakeFolderTree(path.substr(0, slash));
    }
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    veyra::UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            }
        } while (FindNextFileW(find.get(), &found));
    }
    RemoveDirectoryW(folder.c_str());
}

bool WriteSmallFile(const std::wstring& path)
{
    veyra::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), "x", 1, &written, nullptr);
}

std::size_t RawListing(const std::wstring& folder)
{
    std::size_t count = 0;
    WIN32_FIND_DATAW found;
    veyra::UniqueFindHandle find(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
    if (find) {
        do {
            ++count;
        } while (FindNextFileW(find.get(), &found));
    }
    return count;
}

template <typename Work>
double BestSeconds(Work&& work)
{
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];  // the median: steady against one slow round
}

bool RunCase(CSandBoxFileSystem& view, const std::wstring& base, int entries)
{
    const std::wstring real = base + L"\\listing-" + std::to_wstring(entries);
    std::wstring shadow;
    if (!MakeFolderTree(real) || !view.ToSandboxPath(real, shadow, kSandbox) || !MakeFolderTree(shadow)) {
        return false;
    }
    for (int index = 0; index < entries; ++index) {
        wchar_t name[32];
        std::swprintf(name, 32, L"\\entry-%06d.txt", index);
        const bool isReal = index % 2 == 0;
        if (!WriteSmallFile((isReal ? real : shadow) + name)) {
            return false;
        }
        if (isReal && index % 20 == 0 && !view.SetDeletedMark(real + name, kSandbox)) {
            return false;
        }
    }
    std::size_t merged = 0;
    std::size_t raw = 0;
    const double mergedSeconds = BestSeconds([&] {
        std::vector<veyra::FileItemRecord> items;
        view.ListFolder(real, items, kSandbox);
        merged = items.size();
    });
    const double rawSeconds = BestSeconds([&] { raw = RawListing(real) + RawListing(shadow); });
    RemoveFolder(real);
    RemoveFolder(shadow);
    // The sandbox copy's parent folders were made for this run only: remove them up to the sandbox folder.
    for (auto slash = shadow.find_last_of(L'\\');
         slash != std::wstring::npos && view.IsInSandboxFolder(shadow.substr(0, slash), kSandbox);
         slash = shadow.find_last_of(L'\\', slash - 1)) {
        RemoveDirectoryW(shadow.substr(0, slash).c_str());
    }
    if (merged != static_cast<std::size_t>(entries - entries / 20) || raw < static_cast<std::size_t>(entries)) {
        std::fprintf(stderr, "listing-%d: %zu merged entries, %zu raw\n", entries, merged, raw);
        return false;
    }
    std::printf("listing-%d ratio %.2f\n", entries, mergedSeconds / rawSeconds);
    return true;
}

}  // namespace

int main()
{
    wchar_t temp[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        return 1;
    }
    const std::wstring base = std::wstring(temp) + L"veyra-bench-" + std::to_wstring(GetCurrentProcessId());
    CSandBoxFileSystem view(0);
    bool ok = true;
    for (int entries : {10000, 1000}) {
        ok = RunCase(view, base, entries) && ok;
    }
    RemoveDirectoryW(base.c_str());
    wchar_t markRoot[32];
    std::swprintf(markRoot, 32, L"KavoSandBox\\%08d", kSandbox);
    RegDeleteTreeW(HKEY_USERS, markRoot);
    RegDeleteKeyW(HKEY_USERS, markRoot);
    return ok ? 0 : 1;
}
