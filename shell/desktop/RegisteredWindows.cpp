#include "shell/desktop/RegisteredWindows.h"

namespace veyra {

void RegisteredWindows::Add(HWND window, const HostWindowEntry& entry)
{
    std::lock_guard guard(m_lock);
    m_windows[window] = entry;
}

void RegisteredWindows::Remove(HWND window) noexcept
{
    std::lock_guard guard(m_lock);
    m_windows.erase(window);
}

HostWindowMap RegisteredWindows::Snapshot() const
{
    std::lock_guard guard(m_lock);
    return m_windows;
}

std::size_t RegisteredWindows::Count() const noexcept
{
    std::lock_guard guard(m_lock);
    return m_windows.size();
}

void RegisteredWindows::ForwardChangeNotice(const COPYDATASTRUCT& data, HWND host) const
{
    for (const auto& [window, entry] : Snapshot()) {
        if (window != host) {
            SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        }
    }
}

void RegisteredWindows::NotifyHostMoved(int x, int y)
{
    for (const auto& [window, entry] : Snapshot()) {
        if (IsWindow(window)) {
            SendMessageW(window, WM_NS_HOST_MOVED, static_cast<WPARAM>(x), static_cast<LPARAM>(y));
        } else {
            Remove(window);
        }
    }
}

void RegisteredWindows::HideAll() const
{
    for (const auto& [window, entry] : Snapshot()) {
        if (IsWindow(window)) {
            ShowWindow(window, SW_HIDE);
        }
    }
}

void RegisteredWindows::CloseKinds(std::int32_t kinds) const
{
    for (const auto& [window, entry] : Snapshot()) {
        if ((entry.flags & kinds) != 0 && IsWindow(window)) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
    }
}

void RegisteredWindows::PostCommandToKinds(std::int32_t kinds, WORD command) const
{
    for (const auto& [window, entry] : Snapshot()) {
        if ((entry.flags & kinds) != 0 && IsWindow(window)) {
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        }
    }
}

}  // namespace veyra
