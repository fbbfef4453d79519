// Merged listing of a folder against the raw listing it is built from: FindFirstFileW over the real
// folder plus its sandbox copy. Half of the entries are real, half only in the sandbox copy, and a tenth
// of the real ones carry a deletion mark. For each size it prints, against the same raw baseline:
//   listing-<entries> ratio <merged / raw>        repeated listings, marks unchanged
//   listing-<entries>-cold ratio <merged / raw>   the first listing after a mark in the folder changed
//   listing-<entries>-records ratio <records / raw>  no merge: the same records built into a fresh vector,
//                                                   what any listing that hands out records pays (the floor)
// and the registry and search calls that one listing makes, warm and cold (lower is better).

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "bench/CallCounter.h"
#include "core/sandboxview/CSandBoxFileSystem.h"

namespace {

using veyra::CSandBoxFileSystem;
using veyra::bench::CallCounts;

constexpr int kSandbox = 4712;
constexpr int kRounds = 15;
// A real entry that carries no mark of the fixture: the cold rounds mark and unmark it in turn.
constexpr int kFlippedEntry = 2;

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

std::wstring EntryName(int index)
{
    wchar_t name[32];
    std::swprintf(name, 32, L"\\entry-%06d.txt", index);
    return name;
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

struct RoundTimes {
    double raw = 0;  // median seconds of the raw listing
    double merged = 0;  // median seconds of the merged one
};

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];  // steady against one slow round
}

template <typename Work>
double Seconds(Work&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each round times the raw listing and then the merged one, so that both see the same load of a busy
// machine; `prepare` runs untimed before each merged listing.
template <typename Raw, typename Prepare, typename Merged>
RoundTimes TimeRounds(Raw&& raw, Prepare&& prepare, Merged&& merged)
{
    std::vector<double> rawTimes;
    std::vector<double> mergedTimes;
    for (int round = 0; round < kRounds; ++round) {
        rawTimes.push_back(Seconds(raw));
        prepare();
        mergedTimes.push_back(Seconds(merged));
    }
    return {Median(rawTimes), Median(mergedTimes)};
}

class ListingCase {
public:
    ListingCase(CSandBoxFileSystem& view, const std::wstring& base, int entries)
        : m_view(view), m_entries(entries), m_real(base + L"\\listing-" + std::to_wstring(entries))
    {
    }
    ~ListingCase() { Remove(); }

    bool Make()
    {
        if (!MakeFolderTree(m_real) || !m_view.ToSandboxPath(m_real, m_shadow, kSandbox) ||
            !MakeFolderTree(m_shadow)) {
            return false;
        }
        for (int index = 0; index < m_entries; ++index) {
            const bool isReal = index % 2 == 0;
            if (!WriteSmallFile((isReal ? m_real : m_shadow) + EntryName(index))) {
                return false;
            }
            if (isReal && index % 20 == 0 && !m_view.SetDeletedMark(m_real + EntryName(index), kSandbox)) {
                return false;
            }
        }
        return true;
    }

    bool Run()
    {
        const std::size_t shown = static_cast<std::size_t>(m_entries - m_entries / 20);
        bool right = true;
        const auto raw = [&] {
            right = Check("raw", RawListing(m_real) + RawListing(m_shadow) >= static_cast<std::size_t>(m_entries)) &&
                    right;
        };
        List();  // the first listing of the folder is neither warm nor cold after a change
        const RoundTimes warm = TimeRounds(raw, [] {}, [&] { right = Check("warm", List() == shown) && right; });
        const RoundTimes records = TimeRounds(raw, [] {}, [&] { right = Check("records", Records() == shown) && right; });
        veyra::bench::TakeCallCounts();
        List();
        const CallCounts warmCalls = veyra::bench::TakeCallCounts();

        bool flippedMarked = false;
        const auto flip = [&] {
            flippedMarked = !flippedMarked;
            const std::wstring path = m_real + EntryName(kFlippedEntry);
            right = Check("mark", flippedMarked ? m_view.SetDeletedMark(path, kSandbox)
                                                : m_view.ClearDeletedMark(path, kSandbox)) && right;
        };
        const auto coldList = [&] { right = Check("cold", List() == shown - (flippedMarked ? 1 : 0)) && right; };
        const RoundTimes cold = TimeRounds(raw, flip, coldList);
        flip();
        veyra::bench::TakeCallCounts();
        coldList();
        const CallCounts coldCalls = veyra::bench::TakeCallCounts();
        if (flippedMarked) {
            flip();
        }
        if (!right) {
            return false;
        }
        std::printf("listing-%d ratio %.2f (merged %.2f ms, raw %.2f ms)\n", m_entries, warm.merged / warm.raw,
                    warm.merged * 1e3, warm.raw * 1e3);
        std::printf("listing-%d-cold ratio %.2f (merged %.2f ms, raw %.2f ms)\n", m_entries, cold.merged / cold.raw,
                    cold.merged * 1e3, cold.raw * 1e3);
        std::printf("listing-%d-records ratio %.2f (records %.2f ms, raw %.2f ms)\n", m_entries,
                    records.merged / records.raw, records.merged * 1e3, records.raw * 1e3);
        std::printf("listing-%d registry calls per listing: warm %lu, cold %lu\n", m_entries, warmCalls.Registry(),
                    coldCalls.Registry());
        std::printf("  warm: %s\n  cold: %s\n", warmCalls.Describe().c_str(), coldCalls.Describe().c_str());
        return true;
    }

private:
    std::size_t List()
    {
        std::vector<veyra::FileItemRecord> items;
        return m_view.ListFolder(m_real, items, kSandbox) ? items.size() : 0;
    }

    // The records of the shown entries, built from both folders as the listing builds them, with nothing
    // merged or left out by name: the marked real entries are skipped by their number.
    std::size_t Records()
    {
        std::vector<veyra::FileItemRecord> items;
        items.reserve(static_cast<std::size_t>(m_entries));
        for (const std::wstring* folder : std::initializer_list<const std::wstring*>{&m_real, &m_shadow}) {
            WIN32_FIND_DATAW found;
            veyra::UniqueFindHandle find(FindFirstFileW((*folder + L"\\*.*").c_str(), &found));
            if (!find) {
                return 0;
            }
            do {
                if (found.cFileName[0] == L'.' || IsMarkedName(found.cFileName)) {
                    continue;
                }
                const WIN32_FILE_ATTRIBUTE_DATA data{found.dwFileAttributes, found.ftCreationTime,
                                                     found.ftLastAccessTime, found.ftLastWriteTime,
                                                     found.nFileSizeHigh, found.nFileSizeLow};
                items.emplace_back();
                m_view.BuildFileItem(items.back(), m_real, found.cFileName, data, kSandbox);
            } while (FindNextFileW(find.get(), &found));
        }
        return items.size();
    }

    // EntryName's names: "entry-" and the number.
    static bool IsMarkedName(const wchar_t* name) { return std::wcstol(name + 6, nullptr, 10) % 20 == 0; }

    bool Check(const char* what, bool right) const
    {
        if (!right) {
            std::fprintf(stderr, "listing-%d: wrong %s listing\n", m_entries, what);
        }
        return right;
    }

    void Remove()
    {
        RemoveFolder(m_real);
        if (m_shadow.empty()) {
            return;
        }
        RemoveFolder(m_shadow);
        // The sandbox copy's parent folders were made for this run only: remove them up to the sandbox folder.
        for (auto slash = m_shadow.find_last_of(L'\\');
             slash != std::wstring::npos && m_view.IsInSandboxFolder(m_shadow.substr(0, slash), kSandbox);
             slash = m_shadow.find_last_of(L'\\', slash - 1)) {
            RemoveDirectoryW(m_shadow.substr(0, slash).c_str());
        }
    }

    CSandBoxFileSystem& m_view;
    const int m_entries;
    const std::wstring m_real;
    std::wstring m_shadow;
};

}  // namespace

int main()
{
    if (!veyra::bench::InstallCallCounter()) {
        std::fprintf(stderr, "listing: the call counter could not be installed\n");
        return 1;
    }
    wchar_t temp[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        return 1;
    }
    const std::wstring base = std::wstring(temp) + L"veyra-bench-" + std::to_wstring(GetCurrentProcessId());
    CSandBoxFileSystem view(0);
    bool ok = true;
    for (int entries : {10000, 1000}) {
        ListingCase listing(view, base, entries);
        ok = listing.Make() && listing.Run() && ok;
    }
    RemoveDirectoryW(base.c_str());
    wchar_t markRoot[32];
    std::swprintf(markRoot, 32, L"KavoSandBox\\%08d", kSandbox);
    RegDeleteTreeW(HKEY_USERS, markRoot);
    RegDeleteKeyW(HKEY_USERS, markRoot);
    return ok ? 0 : 1;
}
