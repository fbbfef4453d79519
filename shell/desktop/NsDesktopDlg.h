#pragma once
// The main desktop window, one per desktop, of class "KavoSandBoxClass". For now a plain top-level
// window titled "Veyra": it has the class, styles and creation call of the skinned desktop, so start-up,
// the single-instance hand-over and the message loop run against a real window. Owned by start-up on the
// UI thread; destroying it ends the message loop.

#include <span>

#include "base/Window.h"

namespace veyra {

extern const wchar_t kDesktopWindowClass[];  // "KavoSandBoxClass"

class NsDesktopDlg : public MappedWindow<NsDesktopDlg> {
public:
    // `ownerKey` identifies this desktop to its views and windows (0 for the one start-up creates).
    explicit NsDesktopDlg(void* ownerKey) noexcept : m_ownerKey(ownerKey) {}

    // Creates the top-level window with the default position and size.
    [[nodiscard]] bool CreateDesktopWindow() noexcept;
    [[nodiscard]] void* OwnerKey() const noexcept { return m_ownerKey; }

    static std::span<const Entry> Messages();

private:
    LRESULT OnDestroy(WPARAM, LPARAM);

    void* m_ownerKey;
};

}  // namespace veyra
