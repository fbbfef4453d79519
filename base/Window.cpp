#include "Window.h"

#include <mutex>
#include <set>
#include <string>

namespace veyra {

namespace {
// The property answers FromHandle for any window, ours or not; the procedure reads the class's extra
// slot instead. Wine: GetPropW is a round trip to its server at every message, a window long is not.
constexpr wchar_t kObjectProperty[] = L"veyra.window";
constexpr int kObjectSlot = 0;

void Forget(HWND hwnd) noexcept
{
    SetWindowLongPtrW(hwnd, kObjectSlot, 0);
    RemovePropW(hwnd, kObjectProperty);
}
}  // namespace

Window::~Window()
{
    // A window that outlives its object must not call back into freed memory.
    if (m_hwnd) {
        Forget(m_hwnd);
        HWND hwnd = m_hwnd;
        m_hwnd = nullptr;
        DestroyWindow(hwnd);
    }
}

bool Window::RegisterOnce(const WindowClass& windowClass) noexcept
{
    static std::mutex lock;
    static std::set<std::wstring> registered;
    try {
        std::lock_guard guard(lock);
        if (registered.count(windowClass.name)) {
            return true;
        }
        WNDCLASSEXW description{};
        description.cbSize = sizeof(description);
        description.style = windowClass.style;
        description.lpfnWndProc = &Window::StaticProc;
        description.cbWndExtra = sizeof(Window*);
        description.hInstance = GetModuleHandleW(nullptr);
        description.hCursor = windowClass.cursor ? windowClass.cursor : LoadCursorW(nullptr, IDC_ARROW);
        description.hbrBackground = windowClass.background;
        description.hIcon = windowClass.icon;
        description.lpszClassName = windowClass.name;
        if (!RegisterClassExW(&description) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            return false;
        }
        registered.insert(windowClass.name);
        return true;
    } catch (...) {
        return false;
    }
}

bool Window::Create(const WindowClass& windowClass, const wchar_t* title, const WindowPlacement& placement)
{
    if (m_hwnd || !RegisterOnce(windowClass)) {
        return false;
    }
    HWND hwnd = CreateWindowExW(placement.exStyle, windowClass.name, title, placement.style, placement.x,
                                placement.y, placement.width, placement.height, placement.parent,
                                placement.menuOrId, GetModuleHandleW(nullptr), this);
    return hwnd != nullptr;
}

Window* Window::FromHandle(HWND hwnd) noexcept
{
    return hwnd ? static_cast<Window*>(GetPropW(hwnd, kObjectProperty)) : nullptr;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultProc(message, wParam, lParam);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Window*>(create->lpCreateParams);
        self->m_hwnd = hwnd;
        SetPropW(hwnd, kObjectProperty, self);
        SetWindowLongPtrW(hwnd, kObjectSlot, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, kObjectSlot));
    if (!self) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // No exception may leave a window procedure; an out-of-memory handler counts as unhandled.
        result = DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        Forget(hwnd);
        self->m_hwnd = nullptr;
        self->OnFinalMessage();
    }
    return result;
}

}  // namespace veyra
