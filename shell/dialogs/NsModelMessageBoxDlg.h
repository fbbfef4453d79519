#pragma once
// The modal message box: a box over an owner window of the calling thread, which stays disabled while
// the box's own loop runs. A button ends it with its answer; a close, or its window going, with
// IDCANCEL (2). Lives on the caller's stack for the length of DoModal.

#include <string>

#include "shell/dialogs/NsMessageBoxBase.h"

namespace veyra::dialogs {

class NsModelMessageBoxDlg final : public NsMessageBoxBase {
public:
    NsModelMessageBoxDlg(int ownerKey, int type, std::wstring text, std::wstring caption) noexcept;

    // Shows the box over `parent` (registered with flags 16) until it ends: its answer, or IDCANCEL at
    // once when the box cannot be made.
    int DoModal(HWND parent) noexcept;

private:
    void OnAnswer(int answer) override;
    void OnCloseRequest() override;
    void OnWindowGone() override;
    void End(int result) noexcept;

    std::wstring m_text;
    std::wstring m_caption;
    int m_result = IDCANCEL;
    bool m_ended = false;
};

}  // namespace veyra::dialogs
