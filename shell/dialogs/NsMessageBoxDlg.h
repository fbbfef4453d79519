#pragma once
// The modeless message box: raised on the asking thread (as a rule a file-operation worker), it runs
// that thread's own message loop until a button or a close ends it. A button writes its answer into the
// caller's word; a close leaves the word as it was (0). Its window going always ends the loop, so
// the asking thread is never left in a loop without a window. Lives on the caller's stack or heap,
// freed by the caller after its loop returns.

#include <string>

#include "core/fileops/FileOperationContext.h"
#include "shell/dialogs/NsMessageBoxBase.h"

namespace veyra::dialogs {

class NsMessageBoxDlg final : public NsMessageBoxBase {
public:
    // `answer` is the caller's word; `context` gives the optional button texts.
    NsMessageBoxDlg(int ownerKey, int type, int* answer, const FileOperationContext& context) noexcept;

    // The box over `parent`, registered (flags 8) and centred; false when it cannot be made.
    [[nodiscard]] bool CreateBox(HWND parent) noexcept;

private:
    void OnAnswer(int answer) override;
    void OnCloseRequest() override;
    void OnWindowGone() override;

    int* m_answer;
    const FileOperationContext& m_context;
};

}  // namespace veyra::dialogs
