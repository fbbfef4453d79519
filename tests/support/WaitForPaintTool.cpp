// veyra_wait_for_paint <window class> <timeout ms> [<text>]: waits until a top-level window of that class
// is shown and has nothing left to paint (and, with a text, until its skin's control tree holds that
// text), then prints its handle. Exit code 1 when none is painted in time. Used by scripts/run to
// photograph the desktop as soon as it is drawn with its icons.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/UniqueResource.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace {

struct Search {
    const wchar_t* windowClass;
    HWND found;
};

BOOL CALLBACK MatchShownWindow(HWND hwnd, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    if (IsWindowVisible(hwnd) && lstrcmpiW(name, search->windowClass) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Shown, not minimised, and no part of it still waiting for WM_PAINT.
bool IsPainted(HWND hwnd)
{
    return IsWindowVisible(hwnd) && !IsIconic(hwnd) && !GetUpdateRect(hwnd, nullptr, FALSE);
}

// Whether the skin's control tree of the window, dumped into a temporary file, holds `text` (UTF-8).
bool TreeHolds(HWND hwnd, const std::string& text)
{
    static const UINT message = RegisterWindowMessageW(vorrelUI::kDumpMessageName);
    wchar_t folder[MAX_PATH] = {};
    wchar_t path[MAX_PATH] = {};
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"vwp", 0, path)) {
        return false;
    }
    const ATOM atom = GlobalAddAtomW(path);
    DWORD_PTR written = 0;
    std::string tree;
    if (atom && SendMessageTimeoutW(hwnd, message, atom, 0, SMTO_ABORTIFHUNG, 5000, &written) && written == 1) {
        const veyra::UniqueFileHandle file(
            CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        char buffer[4096];
        DWORD read = 0;
        while (file && ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
            tree.append(buffer, read);
        }
    }
    if (atom) {
        GlobalDeleteAtom(atom);
    }
    DeleteFileW(path);
    return tree.find(text) != std::string::npos;
}

std::string Utf8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<size_t>(size) - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 && argc != 4) {
        std::fwprintf(stderr, L"usage: veyra_wait_for_paint <window class> <timeout ms> [<text>]\n");
        return 2;
    }
    const std::string wanted = argc == 4 ? Utf8(argv[3]) : std::string();
    const ULONGLONG deadline = GetTickCount64() + std::wcstoul(argv[2], nullptr, 10);
    do {
        Search search{argv[1], nullptr};
        EnumWindows(&MatchShownWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found && IsPainted(search.found) && (wanted.empty() || TreeHolds(search.found, wanted))) {
            std::wprintf(L"%p\n", static_cast<void*>(search.found));
            return 0;
        }
        Sleep(50);
    } while (GetTickCount64() < deadline);
    return 1;
}
