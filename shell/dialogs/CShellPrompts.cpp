#include "shell/dialogs/CShellPrompts.h"

#include "core/Launcher.h"
#include "core/fileops/ChangeNotice.h"
#include "shell/desktop/DesktopParts.h"
#include "shell/dialogs/BoxRuns.h"
#include "shell/dialogs/NsProgressDlg.h"
#include "shell/dialogs/PromptTexts.h"

namespace veyra::dialogs {

namespace {

// A worker's box stands over the desktop window of its key (a window of the UI thread).
HWND WorkerOwner(const FileOperationContext& context) noexcept
{
    const HWND host = GetHostWindow(context.ownerKey);
    return host ? host : context.ownerWindow;
}

// A modal box stands over the window that asks, which it disables meanwhile.
HWND ModalOwner(const FileOperationContext& context) noexcept
{
    return context.ownerWindow ? context.ownerWindow : GetHostWindow(context.ownerKey);
}

int AskModeless(FileOperationContext& context, const PromptText& prompt) noexcept
{
    return RunMessageBox(WorkerOwner(context), prompt.text, prompt.caption, prompt.type, &context);
}

int AskModal(FileOperationContext& context, const PromptText& prompt) noexcept
{
    return ShowModalMessageBox(ModalOwner(context), prompt.text, prompt.caption, prompt.type, &context);
}

}  // namespace

int CShellPrompts::AskReplaceFile(FileOperationContext& context)
{
    return RunReplaceBox(WorkerOwner(context), &context);
}

int CShellPrompts::ConfirmDeleteItem(FileOperationContext& context)
{
    return AskModeless(context, DeleteItemPrompt(context));
}

int CShellPrompts::ConfirmDeleteItems(FileOperationContext& context)
{
    return AskModeless(context, DeleteItemsPrompt(context));
}

int CShellPrompts::AskRetryFileInUse(FileOperationContext& context)
{
    return AskModeless(context, RetryInUsePrompt(context));
}

int CShellPrompts::ShowNameRequired(FileOperationContext& context)
{
    return AskModal(context, NameRequiredPrompt());
}

int CShellPrompts::ConfirmExtensionChange(FileOperationContext& context)
{
    return AskModal(context, ExtensionChangePrompt());
}

int CShellPrompts::ConfirmAutoRename(FileOperationContext& context)
{
    return AskModal(context, AutoRenamePrompt());
}

int CShellPrompts::ReportWriteFailure(FileOperationContext& context, DWORD error, bool canContinue)
{
    return AskModeless(context, WriteFailurePrompt(context, error, canContinue));
}

int CShellPrompts::ReportNotDeleted(FileOperationContext& context)
{
    return AskModeless(context, NotDeletedPrompt(context));
}

int CShellPrompts::ReportTargetInsideSource(FileOperationContext& context)
{
    return AskModal(context, TargetInsideSourcePrompt(context));
}

int ConfirmNetworkToggle(int ownerKey, int block) noexcept
{
    try {
        FileOperationContext context;
        context.Initialise(GetHostWindow(ownerKey), 0, nullptr, ownerKey);
        const PromptText prompt = NetworkTogglePrompt(block);
        return ShowModalMessageBox(context.ownerWindow, prompt.text, prompt.caption, prompt.type, &context);
    } catch (...) {
        return 0;
    }
}

void InstallShellDialogs() noexcept
{
    static CShellPrompts prompts;
    (void)SetOperationPrompts(&prompts);
    CLauncher::SetNetworkQuestion(&ConfirmNetworkToggle);
    DesktopParts().startOperation = &StartProgressDialog;
}

}  // namespace veyra::dialogs
