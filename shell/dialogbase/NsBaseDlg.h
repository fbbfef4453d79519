#pragma once
// The part every secondary window of a desktop holds (folder windows, start menu, task manager,
// progress, message and file-conflict boxes): registration with the desktop window (the host),
// following the host when it moves, snapping into the host's work band when moved, centring, and the
// caption drag with a ghost frame. The owning window holds one as a member, calls Attach once its
// window exists and Detach when it closes, and routes WM_MOVE, WM_NS_HOST_MOVED and the three mouse
// messages of its caption to it. UI thread of the owning window only.

#include <windows.h>

#include <memory>

#include "shell/ghost/NsVirtualMoveWnd.h"
#include "shell/protocol/WindowProtocol.h"

namespace veyra {

// While 1 (the default), caption drags use the ghost frame and window regions are set with redrawing;
// flipped by the desktop's UI-optimisation command. UI thread only.
extern int UiOptimisationFlag;

class NsBaseDlg {
public:
    // Caption strip and its button area, measured from the window's top and right edges.
    static constexpr int kCaptionHeight = 30;
    static constexpr int kButtonsTop = 22;
    static constexpr int kButtonsRightInset = 8;
    static constexpr int kButtonsLeftInset = 57;
    static constexpr int kFolderButtonsLeftInset = 85;  // a folder window has a third caption button

    explicit NsBaseDlg(int siteKey) noexcept;
    ~NsBaseDlg();
    NsBaseDlg(const NsBaseDlg&) = delete;
    NsBaseDlg& operator=(const NsBaseDlg&) = delete;

    // Registers `own` with the host under `flags` (HostKind bits); `data` is the window object. 1.
    int Attach(HWND parent, HWND own, const void* data, int flags) noexcept;
    int Detach() noexcept;

    void FollowHost(int x, int y) noexcept;
    void RecordPosition() noexcept;
    int SetRegion(RECT region) noexcept;
    int CentreOnOwner() noexcept;
    void SnapToHost() noexcept;

    // pt in the own window's client coordinates, as in the mouse message.
    int OnCaptionLButtonDown(POINT pt) noexcept;
    int OnCaptionMouseMove(POINT pt) noexcept;
    int OnCaptionLButtonUp() noexcept;
    void DestroyGhost() noexcept;

    [[nodiscard]] HWND HostWindow() const noexcept { return m_hostWindow; }
    [[nodiscard]] bool DragArmed() const noexcept { return m_dragArmed != 0; }
    [[nodiscard]] bool HasGhost() const noexcept { return m_ghost != nullptr; }

    static void RegisterWithHost(HWND host, const HostWindowEntry& entry) noexcept;
    static void UnregisterFromHost(HWND host, const HostWindowEntry& entry) noexcept;

private:
    POINT m_offset{};
    SIZE m_size{};
    int m_lastSnapState = 0;
    HWND m_ownWindow = nullptr;
    HWND m_parentWindow = nullptr;
    HWND m_hostWindow;
    int m_flags = 0;
    int m_attached = 0;
    int m_siteKey;
    int m_dragArmed = 0;
    std::unique_ptr<NsVirtualMoveWnd> m_ghost;
};

}  // namespace veyra
