#pragma once
// The questions the file operations ask the user. The core owns this narrow interface; the shell
// plugs in its skinned boxes (run on the asking thread with a message loop of their own), the tests
// a scripted answerer. Each question gets the context of the operation that asks, with its paths and
// counts. Without an installed answerer, or without a context, every question answers 0 (no box, so
// nothing is confirmed, retried or replaced).

#include <windows.h>

#include "FileOperationContext.h"

namespace veyra {

// Box results, as the system's message boxes give them.
constexpr int kAnswerYes = IDYES;
constexpr int kAnswerNo = IDNO;

class IOperationPrompts {
public:
    // One file-conflict box: the answer word (replace, skip, keep both, stop, apply-to-all bit).
    // context.keepBothName empty: no keep-both name exists, so the box must not offer keep both.
    virtual int AskReplaceFile(FileOperationContext& context) = 0;
    // Message boxes: the button result (6 yes, 7 no, 2 cancel, 0 closed without a button).
    virtual int ConfirmDeleteItem(FileOperationContext& context) = 0;
    virtual int ConfirmDeleteItems(FileOperationContext& context) = 0;
    virtual int AskRetryFileInUse(FileOperationContext& context) = 0;
    virtual int ShowNameRequired(FileOperationContext& context) = 0;
    virtual int ConfirmExtensionChange(FileOperationContext& context) = 0;
    virtual int ConfirmAutoRename(FileOperationContext& context) = 0;
    // A file could not be written (disk full, write fault, access denied); context.sourcePath and
    // targetPath name it. With canContinue the user may skip the file (yes) or stop (no); without it
    // the box only tells why the operation ends.
    virtual int ReportWriteFailure(FileOperationContext& context, DWORD error, bool canContinue) = 0;
    // A delete left context.count items in place (context.sourcePath names the first).
    virtual int ReportNotDeleted(FileOperationContext& context) = 0;
    // A copy or move of context.sourcePath into context.targetPath, which lies inside it, was refused.
    virtual int ReportTargetInsideSource(FileOperationContext& context) = 0;

protected:
    ~IOperationPrompts() = default;
};

// Installs the process-wide answerer (nullptr removes it); returns the previous one. Set once by the
// shell at start-up, before any operation runs; tests swap it around their cases.
IOperationPrompts* SetOperationPrompts(IOperationPrompts* prompts) noexcept;

// The questions as the workers call them. Each returns 1 for the answer that lets the caller go on
// (yes, retry), else 0; AskReplaceFile returns the answer word.

// Asks once per conflict; an answer with the apply-to-all bit is kept in context->answer and
// answers every later conflict of the operation without a box.
int AskReplaceFile(FileOperationContext* context) noexcept;
int ConfirmDeleteItem(FileOperationContext* context) noexcept;
int ConfirmDeleteItems(FileOperationContext* context) noexcept;
// The box's button texts read "重试" / "取消" for this question only.
int AskRetryFileInUse(FileOperationContext* context) noexcept;
int ShowNameRequired(FileOperationContext* context) noexcept;
int ConfirmExtensionChange(FileOperationContext* context) noexcept;
int ConfirmAutoRename(FileOperationContext* context) noexcept;
int ReportWriteFailure(FileOperationContext* context, DWORD error, bool canContinue) noexcept;
int ReportNotDeleted(FileOperationContext* context) noexcept;
int ReportTargetInsideSource(FileOperationContext* context) noexcept;

}  // namespace veyra
