#include "shell/dialogs/BoxRuns.h"

#include <memory>
#include <new>

#include "base/MessageLoop.h"
#include "shell/dialogs/NsMessageBoxDlg.h"
#include "shell/dialogs/NsModelMessageBoxDlg.h"
#include "shell/dialogs/NsReplaceMessageBox.h"

namespace veyra::dialogs {

int RunMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, int type,
                  FileOperationContext* context) noexcept
{
    if (!context) {
        return 0;
    }
    try {
        MessageLoop loop;
        int answer = 0;
        auto box = std::make_unique<NsMessageBoxDlg>(context->ownerKey, type, &answer, *context);
        if (!box->CreateBox(owner)) {
            return 0;
        }
        box->SetText(text);
        box->SetCaption(caption);
        ShowWindow(box->Handle(), SW_SHOWDEFAULT);
        (void)loop.Run();
        return answer;
    } catch (...) {
        return 0;
    }
}

int RunReplaceBox(HWND owner, FileOperationContext* context) noexcept
{
    if (!context) {
        return 0;
    }
    try {
        MessageLoop loop;
        unsigned answer = 0;
        auto box = std::make_unique<NsReplaceMessageBox>(&answer, *context);
        if (!box->CreateBox(owner)) {
            return ConflictAnswer::kStop;
        }
        ShowWindow(box->Handle(), SW_SHOWDEFAULT);
        (void)loop.Run();
        return static_cast<int>(answer);
    } catch (...) {
        return ConflictAnswer::kStop;
    }
}

int ShowModalMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, int type,
                        FileOperationContext* context) noexcept
{
    if (!context) {
        return 0;
    }
    try {
        NsModelMessageBoxDlg box(context->ownerKey, type, text, caption);
        return box.DoModal(owner);
    } catch (...) {
        return IDCANCEL;
    }
}

}  // namespace veyra::dialogs
