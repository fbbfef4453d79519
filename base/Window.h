#pragma once
// The one window base of the program. Its static procedure stores the object's pointer at WM_NCCREATE,
// forwards every message of the window's life to HandleMessage, and forgets the pointer at WM_NCDESTROY;
// messages outside that span go to DefWindowProc. The object must outlive its window; OnFinalMessage
// runs after WM_NCDESTROY, when the object may delete itself if it owns its own life.
// Subclasses derive from MappedWindow<T> and list their handlers in a message map.

#include <windows.h>

#include <span>

namespace veyra {

struct WindowClass {
    const wchar_t* name = nullptr;
    UINT style = CS_DBLCLKS;
    HCURSOR cursor = nullptr;  // nullptr: the arrow
    HBRUSH background = nullptr;
    HICON icon = nullptr;
};

struct WindowPlacement {
    DWORD exStyle = 0;
    DWORD style = WS_OVERLAPPEDWINDOW;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
    HWND parent = nullptr;
    HMENU menuOrId = nullptr;
};

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    // Registers the class on first use (once per name and process) and creates the window.
    [[nodiscard]] bool Create(const WindowClass& windowClass, const wchar_t* title, const WindowPlacement& placement);

    [[nodiscard]] HWND Handle() const noexcept { return m_hwnd; }

    // The object behind a window created through this base, or nullptr.
    static Window* FromHandle(HWND hwnd) noexcept;

protected:
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage() {}
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static bool RegisterOnce(const WindowClass& windowClass) noexcept;

    HWND m_hwnd = nullptr;
};

// A window whose messages are dispatched through a table declared by the subclass:
//   static std::span<const Entry> Messages();   (an array of { message, &T::OnSomething })
template <typename T>
class MappedWindow : public Window {
protected:
    using Handler = LRESULT (T::*)(WPARAM, LPARAM);
    struct Entry {
        UINT message;
        Handler handler;
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        for (const Entry& entry : T::Messages()) {
            if (entry.message == message) {
                return (static_cast<T*>(this)->*entry.handler)(wParam, lParam);
            }
        }
        return DefaultProc(message, wParam, lParam);
    }
};

}  // namespace veyra
