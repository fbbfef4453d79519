#pragma once
// The secondary windows registered with one desktop window (folder windows, start menu, task manager,
// boxes), keyed by handle. The desktop forwards change notices, host moves, hide, close and refresh
// requests through it. Boxes run on worker threads, so a registration may arrive (as a send) while a
// walk is sending: every walk sends to a copy taken under the lock, never to the live map.

#include <windows.h>

#include <map>
#include <mutex>

#include "shell/protocol/WindowProtocol.h"

namespace veyra {

using HostWindowMap = std::map<HWND, HostWindowEntry>;

class RegisteredWindows {
public:
    void Add(HWND window, const HostWindowEntry& entry);
    void Remove(HWND window) noexcept;
    [[nodiscard]] HostWindowMap Snapshot() const;
    [[nodiscard]] std::size_t Count() const noexcept;

    // Sends the unchanged record to every entry but `host`, whatever its kind.
    void ForwardChangeNotice(const COPYDATASTRUCT& data, HWND host) const;
    // Sends WM_NS_HOST_MOVED to every live entry; entries of windows that are gone are dropped.
    void NotifyHostMoved(int x, int y);
    void HideAll() const;
    // Posts WM_CLOSE to every live entry whose kind has a bit of `kinds`.
    void CloseKinds(std::int32_t kinds) const;
    // Posts `command` as WM_COMMAND to every live entry whose kind has a bit of `kinds`.
    void PostCommandToKinds(std::int32_t kinds, WORD command) const;

private:
    mutable std::mutex m_lock;
    HostWindowMap m_windows;
};

}  // namespace veyra
