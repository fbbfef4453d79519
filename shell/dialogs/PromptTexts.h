#pragma once
// The captions and texts of the file operations' questions and reports, from the asking context.
// Any thread (the view's path helpers need no lock).

#include <windows.h>

#include <string>

#include "core/fileops/FileOperationContext.h"

namespace veyra::dialogs {

struct PromptText {
    std::wstring caption;
    std::wstring text;
    int type;
};

[[nodiscard]] PromptText DeleteItemPrompt(const FileOperationContext& context);
[[nodiscard]] PromptText DeleteItemsPrompt(const FileOperationContext& context);
[[nodiscard]] PromptText RetryInUsePrompt(const FileOperationContext& context);
[[nodiscard]] PromptText NameRequiredPrompt();
[[nodiscard]] PromptText ExtensionChangePrompt();
[[nodiscard]] PromptText AutoRenamePrompt();
[[nodiscard]] PromptText NetworkTogglePrompt(int block);
// The reports: with `canContinue` a yes/no (yes skips the file), else an OK notice.
[[nodiscard]] PromptText WriteFailurePrompt(const FileOperationContext& context, DWORD error, bool canContinue);
[[nodiscard]] PromptText NotDeletedPrompt(const FileOperationContext& context);
[[nodiscard]] PromptText TargetInsideSourcePrompt(const FileOperationContext& context);

}  // namespace veyra::dialogs
