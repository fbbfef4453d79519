#pragma once
// The ghost frame of a window drag: a borderless popup whose region is only a one-pixel outline of the
// dragged window's size. It follows the cursor while the dragged window stays put; the owner moves the
// window to the ghost's place on release. The owner (the dialog base, the desktop window) creates and
// deletes it on the UI thread; the dragged window keeps the mouse capture and the focus throughout, so
// the ghost is shown and moved without activation.

#include <windows.h>

#include <span>

#include "base/MessageLoop.h"
#include "base/Window.h"
#include "shell/skin/SkinEventSink.h"

namespace veyra {

// The ghost's outline colour (red, green and blue 60).
inline constexpr COLORREF kGhostFrameColor = RGB(0x3C, 0x3C, 0x3C);

class NsVirtualMoveWnd : public skin::SkinEventSink<NsVirtualMoveWnd>,
                         public MappedWindow<NsVirtualMoveWnd>,
                         public MessageFilter {
public:
    // The ghost's top never rises above the host's top plus this; the cursor never goes lower than the
    // host's bottom minus kCursorBottomMargin.
    static constexpr int kTopMargin = 25;
    static constexpr int kCursorBottomMargin = 70;

    // siteKey: the owner key of the desktop that owns the dragged window; its host window is taken now.
    explicit NsVirtualMoveWnd(int siteKey) noexcept;
    ~NsVirtualMoveWnd() override;

    void SetDragOffset(int x, int y) noexcept { m_offset = POINT{x, y}; }
    void DisableClamp() noexcept { m_clampDisabled = 1; }

    // Creates the ghost over `windowRect` (screen) as a child-less popup owned by `parent` and shows it
    // without activating it; it joins the thread's loop filters while it exists. false on failure.
    [[nodiscard]] bool Create(HWND parent, const RECT& windowRect);

    // Moves the ghost so that the (clamped) cursor keeps its grab offset.
    void MoveToCursor(POINT cursor) noexcept;
    [[nodiscard]] POINT ClampPosition(POINT cursor) const noexcept;
    // The clamp on its own: the cursor kept within the host's sides, at most kCursorBottomMargin above
    // its bottom, and low enough that the ghost's top stays kTopMargin below its top.
    [[nodiscard]] static POINT ClampCursor(POINT cursor, const RECT& host, POINT offset) noexcept;

    bool PreTranslateMessage(MSG& message) override;

    static std::span<const SkinEventSink::Entry> Events();
    static std::span<const MappedWindow::Entry> Messages();

private:
    LONG OnEvent(const ULONG_PTR* arguments);
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    void LeaveLoop() noexcept;

    int m_siteKey;
    HWND m_hostWindow;
    POINT m_offset{};
    int m_clampDisabled = 0;
    MessageLoop* m_loop = nullptr;  // the loop whose filters hold this ghost, while they do
};

}  // namespace veyra
