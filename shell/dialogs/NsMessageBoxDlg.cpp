#include "shell/dialogs/NsMessageBoxDlg.h"

#include "shell/protocol/WindowProtocol.h"

namespace veyra::dialogs {

NsMessageBoxDlg::NsMessageBoxDlg(int ownerKey, int type, int* answer, const FileOperationContext& context) noexcept
    : NsMessageBoxBase(ownerKey, type, BoxMode::Modeless), m_answer(answer), m_context(context)
{
}

bool NsMessageBoxDlg::CreateBox(HWND parent) noexcept
{
    return Open(parent, HostKind::kModelessBox, m_context.buttonText1, m_context.buttonText2, m_context.buttonText3);
}

void NsMessageBoxDlg::OnAnswer(int answer)
{
    if (m_answer) {
        *m_answer = answer;
    }
    DestroyWindow(Handle());
}

void NsMessageBoxDlg::OnCloseRequest()
{
    DestroyWindow(Handle());
}

void NsMessageBoxDlg::OnWindowGone()
{
    PostQuitMessage(0);
}

}  // namespace veyra::dialogs
