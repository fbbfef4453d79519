#pragma once
// The tray stand-in's hidden window (class "KavoOstrelClass"), the receiver of launch requests and of
// the sandbox-state notices. It lives on the tray's UI thread; each accepted request is started on a
// short-lived thread of its own, so a slow start never blocks the next message.

#include <span>
#include <string>

#include "base/Window.h"

namespace veyra::suite {

class TrayWindow : public MappedWindow<TrayWindow> {
public:
    [[nodiscard]] bool Create();

    static std::span<const Entry> Messages();

private:
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
    LRESULT OnSandboxNotice(WPARAM wParam, LPARAM lParam);
    LRESULT OnSandboxState(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
};

// Starts `path` (a program or a document) and lists the new process with the engine, owner 0.
void LaunchInSandbox(const std::wstring& path) noexcept;

}  // namespace veyra::suite
