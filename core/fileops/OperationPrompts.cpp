#include "OperationPrompts.h"

#include <atomic>
#include <utility>

#include "RunningOperations.h"

namespace veyra {

namespace {

std::atomic<IOperationPrompts*> s_prompts{nullptr};

// Runs one question on the installed answerer: 0 without a context or an answerer.
template <typename Ask>
int Run(FileOperationContext* context, Ask ask) noexcept
{
    IOperationPrompts* prompts = s_prompts.load();
    // While exit or restore stops the operations, no box may hold a worker back.
    if (!context || !prompts || CRunningOperations::Instance().Stopping()) {
        return 0;
    }
    try {
        return ask(*prompts, *context);
    } catch (...) {
        return 0;
    }
}

int YesOf(int result) noexcept
{
    return result == kAnswerYes ? 1 : 0;
}

// A yes/no message box: 1 for yes.
int AskYes(FileOperationContext* context, int (IOperationPrompts::*question)(FileOperationContext&)) noexcept
{
    return YesOf(Run(context, [question](IOperationPrompts& prompts, FileOperationContext& asked) {
        return (prompts.*question)(asked);
    }));
}

}  // namespace

IOperationPrompts* SetOperationPrompts(IOperationPrompts* prompts) noexcept
{
    return s_prompts.exchange(prompts);
}

int AskReplaceFile(FileOperationContext* context) noexcept
{
    if (context && (context->answer & ConflictAnswer::kApplyToAll) != 0) {
        return context->answer;
    }
    // One box per conflict: a one-item operation hides the apply-to-all box, so waiting for that bit
    // would ask for ever.
    return Run(context, [](IOperationPrompts& prompts, FileOperationContext& asked) {
        asked.answer = 0;
        asked.answer = prompts.AskReplaceFile(asked);
        return asked.answer;
    });
}

int ConfirmDeleteItem(FileOperationContext* context) noexcept
{
    return AskYes(context, &IOperationPrompts::ConfirmDeleteItem);
}

int ConfirmDeleteItems(FileOperationContext* context) noexcept
{
    return AskYes(context, &IOperationPrompts::ConfirmDeleteItems);
}

int AskRetryFileInUse(FileOperationContext* context) noexcept
{
    return YesOf(Run(context, [](IOperationPrompts& prompts, FileOperationContext& asked) {
        // The texts are this box's alone; a later question of the operation has its own buttons.
        std::wstring second = std::exchange(asked.buttonText2, L"重试");
        std::wstring third = std::exchange(asked.buttonText3, L"取消");
        const int answer = prompts.AskRetryFileInUse(asked);
        asked.buttonText2 = std::move(second);
        asked.buttonText3 = std::move(third);
        return answer;
    }));
}

int ShowNameRequired(FileOperationContext* context) noexcept
{
    (void)Run(context, [](IOperationPrompts& prompts, FileOperationContext& asked) {
        return prompts.ShowNameRequired(asked);
    });
    return 1;
}

int ConfirmExtensionChange(FileOperationContext* context) noexcept
{
    return AskYes(context, &IOperationPrompts::ConfirmExtensionChange);
}

int ConfirmAutoRename(FileOperationContext* context) noexcept
{
    return AskYes(context, &IOperationPrompts::ConfirmAutoRename);
}

int ReportWriteFailure(FileOperationContext* context, DWORD error, bool canContinue) noexcept
{
    const int result = Run(context, [error, canContinue](IOperationPrompts& prompts, FileOperationContext& asked) {
        return prompts.ReportWriteFailure(asked, error, canContinue);
    });
    return canContinue ? YesOf(result) : 0;
}

int ReportNotDeleted(FileOperationContext* context) noexcept
{
    return Run(context, [](IOperationPrompts& prompts, FileOperationContext& asked) {
        return prompts.ReportNotDeleted(asked);
    });
}

int ReportTargetInsideSource(FileOperationContext* context) noexcept
{
    return Run(context, [](IOperationPrompts& prompts, FileOperationContext& asked) {
        return prompts.ReportTargetInsideSource(asked);
    });
}

}  // namespace veyra
