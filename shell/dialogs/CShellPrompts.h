#pragma once
// The shell's answerer of the file operations' questions (IOperationPrompts): the workers' questions
// and reports in modeless boxes on the asking thread, over the desktop window of the context's key;
// the rename checks and the starters' report in modal boxes over the asking window. Also the network
// switch's question. Installed once at start-up, before the desktop window exists.

#include "core/fileops/OperationPrompts.h"

namespace veyra::dialogs {

class CShellPrompts final : public IOperationPrompts {
public:
    int AskReplaceFile(FileOperationContext& context) override;
    int ConfirmDeleteItem(FileOperationContext& context) override;
    int ConfirmDeleteItems(FileOperationContext& context) override;
    int AskRetryFileInUse(FileOperationContext& context) override;
    int ShowNameRequired(FileOperationContext& context) override;
    int ConfirmExtensionChange(FileOperationContext& context) override;
    int ConfirmAutoRename(FileOperationContext& context) override;
    int ReportWriteFailure(FileOperationContext& context, DWORD error, bool canContinue) override;
    int ReportNotDeleted(FileOperationContext& context) override;
    int ReportTargetInsideSource(FileOperationContext& context) override;
};

// The network switch's question over the key's desktop window: the box's answer (IDYES to go on).
int ConfirmNetworkToggle(int ownerKey, int block) noexcept;

// Installs the prompts, the network question and the progress dialog's start (DesktopParts).
void InstallShellDialogs() noexcept;

}  // namespace veyra::dialogs
