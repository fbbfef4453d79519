#include <gtest/gtest.h>

#include "core/fileops/OperationPrompts.h"
#include "tests/support/ScriptedPrompts.h"

namespace {

using namespace veyra;
using veyra::test::Question;
using veyra::test::ScriptedPrompts;

TEST(OperationPrompts, WithoutContextOrAnswererNothingIsConfirmed)
{
    FileOperationContext context;
    EXPECT_EQ(ConfirmDeleteItem(&context), 0) << "no answerer installed";
    EXPECT_EQ(AskReplaceFile(&context), 0);
    ScriptedPrompts prompts;
    EXPECT_EQ(ConfirmDeleteItems(nullptr), 0);
    EXPECT_EQ(AskRetryFileInUse(nullptr), 0);
    EXPECT_EQ(AskReplaceFile(nullptr), 0);
    EXPECT_EQ(ShowNameRequired(nullptr), 1) << "the notice always lets the caller go on";
    EXPECT_TRUE(prompts.Asked().empty());
}

TEST(OperationPrompts, OnlyYesGoesOn)
{
    ScriptedPrompts prompts;
    FileOperationContext context;
    context.count = 3;
    prompts.Queue(Question::DeleteItems, kAnswerYes);
    prompts.Queue(Question::DeleteItem, kAnswerNo);
    prompts.Queue(Question::ExtensionChange, IDCANCEL);
    prompts.Queue(Question::AutoRename, 0);
    EXPECT_EQ(ConfirmDeleteItems(&context), 1);
    EXPECT_EQ(ConfirmDeleteItem(&context), 0);
    EXPECT_EQ(ConfirmExtensionChange(&context), 0);
    EXPECT_EQ(ConfirmAutoRename(&context), 0) << "a box closed without a button";
    ASSERT_EQ(prompts.Asked().size(), 4u);
    EXPECT_EQ(prompts.Asked()[0].count, 3);
}

TEST(OperationPrompts, RetryBoxGetsItsButtonTexts)
{
    ScriptedPrompts prompts;
    FileOperationContext context;
    prompts.Queue(Question::RetryInUse, kAnswerYes);
    EXPECT_EQ(AskRetryFileInUse(&context), 1);
    ASSERT_EQ(prompts.Asked().size(), 1u);
    EXPECT_EQ(prompts.Asked()[0].buttonText2, L"重试");
    EXPECT_EQ(prompts.Asked()[0].buttonText3, L"取消");
    // The texts belong to that box alone: a later question of the operation shows its own buttons.
    prompts.Queue(Question::DeleteItem, kAnswerYes);
    EXPECT_EQ(ConfirmDeleteItem(&context), 1);
    ASSERT_EQ(prompts.Asked().size(), 2u);
    EXPECT_EQ(prompts.Asked()[1].buttonText2, L"");
    EXPECT_EQ(prompts.Asked()[1].buttonText3, L"");
}

TEST(OperationPrompts, ConflictIsAskedOncePerConflictUntilApplyToAll)
{
    ScriptedPrompts prompts;
    FileOperationContext context;
    // One-item operations hide the apply-to-all box: the answer comes without the bit.
    prompts.Queue(Question::Replace, ConflictAnswer::kReplace);
    EXPECT_EQ(AskReplaceFile(&context), ConflictAnswer::kReplace);
    EXPECT_EQ(prompts.Asked().size(), 1u) << "asked exactly once";

    prompts.Queue(Question::Replace, ConflictAnswer::kSkip | ConflictAnswer::kApplyToAll);
    EXPECT_EQ(AskReplaceFile(&context), ConflictAnswer::kSkip | ConflictAnswer::kApplyToAll);
    for (int later = 0; later < 3; ++later) {
        EXPECT_EQ(AskReplaceFile(&context), ConflictAnswer::kSkip | ConflictAnswer::kApplyToAll);
    }
    EXPECT_EQ(prompts.Asked().size(), 2u) << "later conflicts are answered without a box";
    EXPECT_EQ(prompts.Unanswered(), 0u);
}

TEST(OperationPrompts, WriteFailureWithoutChoiceNeverGoesOn)
{
    ScriptedPrompts prompts;
    FileOperationContext context;
    prompts.Queue(Question::WriteFailure, kAnswerYes);
    prompts.Queue(Question::WriteFailure, kAnswerYes);
    EXPECT_EQ(ReportWriteFailure(&context, ERROR_DISK_FULL, false), 0);
    EXPECT_EQ(ReportWriteFailure(&context, ERROR_ACCESS_DENIED, true), 1);
    ASSERT_EQ(prompts.Asked().size(), 2u);
    EXPECT_EQ(prompts.Asked()[0].error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_FALSE(prompts.Asked()[0].canContinue);
    EXPECT_TRUE(prompts.Asked()[1].canContinue);
}

}  // namespace
