// veyra_wait_for_paint <window class> <timeout ms>: waits until a top-level window of that class is shown
// and has nothing left to paint, then prints its handle. Exit code 1 when none is painted in time. Used
// by scripts/run to photograph the desktop as soon as it is drawn.
#include <windows.h>

#include <cstdio>
#include <cwchar>

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

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: veyra_wait_for_paint <window class> <timeout ms>\n");
        return 2;
    }
    const ULONGLONG deadline = GetTickCount64() + std::wcstoul(argv[2], nullptr, 10);
    do {
        Search search{argv[1], nullptr};
        EnumWindows(&MatchShownWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found && IsPainted(search.found)) {
            std::wprintf(L"%p\n", static_cast<void*>(search.found));
            return 0;
        }
        Sleep(50);
    } while (GetTickCount64() < deadline);
    return 1;
}
