#include "shell/dialogs/NsModelMessageBoxDlg.h"

#include "base/MessageLoop.h"
#include "shell/protocol/WindowProtocol.h"

namespace veyra::dialogs {

NsModelMessageBoxDlg::NsModelMessageBoxDlg(int ownerKey, int type, std::wstring text, std::wstring caption) noexcept
    : NsMessageBoxBase(ownerKey, type, BoxMode::Modal), m_text(std::move(text)), m_caption(std::move(caption))
{
}

int NsModelMessageBoxDlg::DoModal(HWND parent) noexcept
{
    try {
        // The box's keyboard filter joins this loop, which runs while the owner is disabled.
        MessageLoop loop;
        if (!Open(parent, HostKind::kModalBox, std::wstring(), std::wstring(), std::wstring())) {
            return IDCANCEL;
        }
        SetText(m_text);
        SetCaption(m_caption);
        const bool disabledOwner = parent && IsWindowEnabled(parent);
        if (disabledOwner) {
            EnableWindow(parent, FALSE);
        }
        ShowWindow(Handle(), SW_SHOWDEFAULT);
        (void)loop.RunUntil(m_ended);
        // The owner comes back before the box goes, so activation returns to it.
        if (disabledOwner) {
            EnableWindow(parent, TRUE);
        }
        if (Handle()) {
            DestroyWindow(Handle());
        }
        return m_result;
    } catch (...) {
        return IDCANCEL;
    }
}

void NsModelMessageBoxDlg::End(int result) noexcept
{
    if (!m_ended) {
        m_result = result;
        m_ended = true;
        DetachOnce();
    }
}

void NsModelMessageBoxDlg::OnAnswer(int answer)
{
    End(answer);
}

void NsModelMessageBoxDlg::OnCloseRequest()
{
    End(IDCANCEL);
}

void NsModelMessageBoxDlg::OnWindowGone()
{
    End(IDCANCEL);
}

}  // namespace veyra::dialogs
