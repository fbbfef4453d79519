#pragma once
// The hint about the suite's self-protection: two lines of text and a picture of where the switch is.
// Modal, owned by the window that was active when the engine asked; UI thread.

#include "base/Dialog.h"
#include "setup/image/CxImage.h"

namespace veyra::setup {

class CMessageDlg : public MappedDialog<CMessageDlg> {
public:
    static std::span<const Entry> Messages();

private:
    INT_PTR OnInitDialog(WPARAM, LPARAM);
    INT_PTR OnClose(WPARAM, LPARAM);
    INT_PTR OnPaint(WPARAM, LPARAM);
    INT_PTR OnCommand(WPARAM, LPARAM);

    CxImage m_picture;
};

// Centres `window` over `reference` (the screen's work area when it has none).
void CenterWindowOver(HWND window, HWND reference) noexcept;

}  // namespace veyra::setup
