#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace veyra::test {

ScriptedPrompts::ScriptedPrompts() : m_previous(SetOperationPrompts(this)) {}

ScriptedPrompts::~ScriptedPrompts()
{
    SetOperationPrompts(m_previous);
}

void ScriptedPrompts::Queue(Question question, int answer, std::function<void()> action)
{
    std::lock_guard lock(m_lock);
    m_answers.push_back({question, answer, std::move(action), std::nullopt});
}

void ScriptedPrompts::QueueEither(Question question, Question alternative, int answer)
{
    std::lock_guard lock(m_lock);
    m_answers.push_back({question, answer, {}, alternative});
}

std::vector<AskedQuestion> ScriptedPrompts::Asked() const
{
    std::lock_guard lock(m_lock);
    return m_asked;
}

std::size_t ScriptedPrompts::Unanswered() const
{
    std::lock_guard lock(m_lock);
    return m_answers.size();
}

int ScriptedPrompts::Answer(Question question, const FileOperationContext& context, DWORD error, bool canContinue)
{
    ScriptedAnswer next{question, 0, {}, std::nullopt};
    {
        std::lock_guard lock(m_lock);
        m_asked.push_back({question, context.sourcePath, context.targetPath, context.keepBothName, context.count,
                           context.type, context.buttonText2, context.buttonText3, error, canContinue});
        if (m_answers.empty() ||
            (m_answers.front().question != question && m_answers.front().alternative != question)) {
            ADD_FAILURE() << "unexpected question " << static_cast<int>(question) << " about "
                          << testing::PrintToString(context.sourcePath);
            return 0;
        }
        next = std::move(m_answers.front());
        m_answers.pop_front();
    }
    if (next.action) {
        next.action();
    }
    return next.answer;
}

int ScriptedPrompts::AskReplaceFile(FileOperationContext& context)
{
    return Answer(Question::Replace, context);
}

int ScriptedPrompts::ConfirmDeleteItem(FileOperationContext& context)
{
    return Answer(Question::DeleteItem, context);
}

int ScriptedPrompts::ConfirmDeleteItems(FileOperationContext& context)
{
    return Answer(Question::DeleteItems, context);
}

int ScriptedPrompts::AskRetryFileInUse(FileOperationContext& context)
{
    return Answer(Question::RetryInUse, context);
}

int ScriptedPrompts::ShowNameRequired(FileOperationContext& context)
{
    return Answer(Question::NameRequired, context);
}

int ScriptedPrompts::ConfirmExtensionChange(FileOperationContext& context)
{
    return Answer(Question::ExtensionChange, context);
}

int ScriptedPrompts::ConfirmAutoRename(FileOperationContext& context)
{
    return Answer(Question::AutoRename, context);
}

int ScriptedPrompts::ReportWriteFailure(FileOperationContext& context, DWORD error, bool canContinue)
{
    return Answer(Question::WriteFailure, context, error, canContinue);
}

int ScriptedPrompts::ReportNotDeleted(FileOperationContext& context)
{
    return Answer(Question::NotDeleted, context);
}

int ScriptedPrompts::ReportTargetInsideSource(FileOperationContext& context)
{
    return Answer(Question::TargetInsideSource, context);
}

}  // namespace veyra::test
