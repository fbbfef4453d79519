#pragma once
// Answers the file operations' questions from a queue, as a user would, and records each question
// with the context's paths and counts. Installed for its scope. A question with no answer queued
// fails the test and answers 0 (no, skip), so a fault never waits for a box that nobody closes.

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/fileops/OperationPrompts.h"

namespace veyra::test {

enum class Question {
    Replace,
    DeleteItem,
    DeleteItems,
    RetryInUse,
    NameRequired,
    ExtensionChange,
    AutoRename,
    WriteFailure,
    NotDeleted,
    TargetInsideSource,
};

struct AskedQuestion {
    Question question;
    std::wstring sourcePath;
    std::wstring targetPath;
    std::wstring keepBothName;
    int count = 0;
    int type = 0;
    std::wstring buttonText2;
    std::wstring buttonText3;
    DWORD error = 0;
    bool canContinue = false;
};

struct ScriptedAnswer {
    Question question;
    int answer;
    // Runs on the asking thread before the answer is given (e.g. releases a file held open).
    std::function<void()> action;
    // Where platforms differ in which question a failure raises, either one takes this answer.
    std::optional<Question> alternative;
};

class ScriptedPrompts final : public IOperationPrompts {
public:
    ScriptedPrompts();
    ~ScriptedPrompts();
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    void Queue(Question question, int answer, std::function<void()> action = {});
    void QueueEither(Question question, Question alternative, int answer);
    [[nodiscard]] std::vector<AskedQuestion> Asked() const;
    [[nodiscard]] std::size_t Unanswered() const;

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

private:
    int Answer(Question question, const FileOperationContext& context, DWORD error = 0, bool canContinue = false);

    mutable std::mutex m_lock;
    std::deque<ScriptedAnswer> m_answers;
    std::vector<AskedQuestion> m_asked;
    IOperationPrompts* m_previous;
};

}  // namespace veyra::test
