// veyra_test_sleeper: a small program for launch tests. It shows one titled window and runs until the
// window is closed or it is ended; it never outlives two minutes, so a failed test leaves nothing behind.
#include <windows.h>

namespace {

constexpr UINT_PTR kLifeTimer = 1;
constexpr UINT kLifeMs = 120000;

LRESULT CALLBACK SleeperProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &SleeperProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"VeyraTestSleeper";
    RegisterClassW(&windowClass);
    HWND hwnd = CreateWindowW(L"VeyraTestSleeper", L"Veyra test sleeper", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 320,
                              200, nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        return 1;
    }
    ShowWindow(hwnd, show);
    SetTimer(hwnd, kLifeTimer, kLifeMs, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
