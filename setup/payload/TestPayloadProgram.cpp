// Stands in for the desktop program inside the installer while the real Veyra.exe is not part of the
// build: a window of the desktop's class and title that stays until it is closed, so a test can see
// that the installer started it.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"KavoSandBoxClass";
    if (!RegisterClassW(&windowClass) ||
        !CreateWindowExW(0, windowClass.lpszClassName, L"Veyra", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         200, 100, nullptr, nullptr, instance, nullptr)) {
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
