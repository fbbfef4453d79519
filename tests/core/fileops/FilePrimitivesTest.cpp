#include <gtest/gtest.h>

#include "base/UniqueResource.h"
#include "core/fileops/FilePrimitives.h"
#include "core/fileops/OperationProgress.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace veyra;
using veyra::test::Question;
using veyra::test::ReadFileBytes;
using veyra::test::WriteFileBytes;

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> Names(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    veyra::UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) {
        return names;
    }
    do {
        if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0) {
            names.push_back(data.cFileName);
        }
    } while (FindNextFileW(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

// An open handle that keeps others from reading, writing or deleting the file.
veyra::UniqueFileHandle HoldExclusively(const std::wstring& path)
{
    return veyra::UniqueFileHandle(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

class FilePrimitives : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(veyra::test::CreateFolderTree(source));
        ASSERT_TRUE(veyra::test::CreateFolderTree(target));
        progress = veyra::MakeRef<OperationProgress>();
        context.Initialise(nullptr, OperationType::kCopy, progress.get(), 0);
    }
    void TearDown() override { EXPECT_EQ(prompts.Unanswered(), 0u) << "a scripted answer was not asked for"; }

    std::vector<std::pair<int, std::wstring>> Notices() const
    {
        std::vector<std::pair<int, std::wstring>> got;
        for (const auto& notice : host.Notices()) {
            got.emplace_back(notice.kind, notice.path1);
        }
        return got;
    }

    veyra::test::TempFolder root{L"fileops"};
    std::wstring source = root / L"src";
    std::wstring target = root / L"dst";
    veyra::test::NoticeRecorder host;
    veyra::test::ScriptedPrompts prompts;
    RefPtr<OperationProgress> progress;
    FileOperationContext context;
};

TEST_F(FilePrimitives, CopiesANewFileAndAnnouncesIt)
{
    ASSERT_TRUE(WriteFileBytes(source + L"\\a.txt", "alpha"));
    EXPECT_EQ(CopyFileWithPrompts(source + L"\\a.txt", target + L"\\a.txt", 1, 0, &context), 1);
    EXPECT_EQ(ReadFileBytes(target + L"\\a.txt"), "alpha");
    EXPECT_EQ(ReadFileBytes(source + L"\\a.txt"), "alpha");
    EXPECT_EQ(Notices(), (std::vector<std::pair<int, std::wstring>>{{1, target + L"\\a.txt"}}));
    EXPECT_EQ(host.Notices()[0].flags, 6);
}

TEST_F(FilePrimitives, FileOntoItselfIsRecognisedInAnyLetterCase)
{
    const std::wstring file = source + L"\\Same.txt";
    ASSERT_TRUE(WriteFileBytes(file, "keep me"));
    for (const std::wstring& other : {file, source + L"\\SAME.TXT", source + L"\\same.txt"}) {
        EXPECT_EQ(CopyFileWithPrompts(file, other, 1, 0, &context), 1) << testing::PrintToString(other);
        EXPECT_EQ(CopyFileWithPrompts(file, other, 0, 0, nullptr), 1);
    }
    // The same file reached through its folder's other letter case: no box, nothing written.
    std::wstring upperFolder = source;
    std::transform(upperFolder.begin(), upperFolder.end(), upperFolder.begin(), ::towupper);
    EXPECT_EQ(CopyFileWithPrompts(file, upperFolder + L"\\same.txt", 1, 0, &context), 1);
    EXPECT_EQ(ReadFileBytes(file), "keep me");
    EXPECT_EQ(Names(source), (std::vector<std::wstring>{L"Same.txt"}));
    EXPECT_TRUE(host.Notices().empty());
    EXPECT_TRUE(prompts.Asked().empty());
}

TEST_F(FilePrimitives, ConflictAnswers)
{
    struct Case {
        const char* name;
        int answer;
        int result;
        std::string targetAfter;
        std::vector<std::wstring> namesAfter;
        bool stopped;
        std::vector<int> noticeKinds;
        int noticeFlags;
    };
    const std::vector<Case> cases = {
        {"replace", ConflictAnswer::kReplace, 1, "new", {L"a.txt"}, false, {}, 0x16},
        {"skip", ConflictAnswer::kSkip, 0, "old", {L"a.txt"}, false, {}, 0},
        {"keep both", ConflictAnswer::kKeepBoth, 1, "old", {L"a (2).txt", L"a.txt"}, false, {1}, 6},
        {"stop", ConflictAnswer::kStop, 0, "old", {L"a.txt"}, true, {}, 0},
        {"closed", 0, 0, "old", {L"a.txt"}, false, {}, 0},
    };
    ASSERT_TRUE(WriteFileBytes(source + L"\\a.txt", "new"));
    for (const Case& c : cases) {
        ASSERT_TRUE(veyra::test::RemoveTree(target) && veyra::test::CreateFolderTree(target));
        ASSERT_TRUE(WriteFileBytes(target + L"\\a.txt", "old"));
        host.Clear();
        context.answer = 0;
        prompts.Queue(Question::Replace, c.answer);
        EXPECT_EQ(CopyFileWithPrompts(source + L"\\a.txt", target + L"\\a.txt", 1, 0, &context), c.result) << c.name;
        EXPECT_EQ(ReadFileBytes(target + L"\\a.txt"), c.targetAfter) << c.name;
        EXPECT_EQ(Names(target), c.namesAfter) << c.name << ": no temporary or partial file may stay";
        EXPECT_EQ(context.Stopped(), c.stopped) << c.name;
        EXPECT_EQ(ReadFileBytes(source + L"\\a.txt"), "new") << c.name;
        std::vector<int> kinds;
        for (const auto& notice : host.Notices()) {
            kinds.push_back(notice.kind);
            EXPECT_EQ(notice.flags, c.noticeFlags) << c.name;
        }
        EXPECT_EQ(kinds, c.noticeKinds) << c.name;
        const auto asked = prompts.Asked().back();
        EXPECT_EQ(asked.sourcePath, source + L"\\a.txt") << c.name;
        EXPECT_EQ(asked.targetPath, target + L"\\a.txt") << c.name;
        EXPECT_EQ(asked.keepBothName, target + L"\\a (2).txt") << c.name;
    }
}

TEST_F(FilePrimitives, KeepBothTakesTheNextFreeNumber)
{
    ASSERT_TRUE(WriteFileBytes(source + L"\\a.txt", "new"));
    ASSERT_TRUE(WriteFileBytes(target + L"\\a.txt", "old"));
    ASSERT_TRUE(WriteFileBytes(target + L"\\a (2).txt", "older"));
    prompts.Queue(Question::Replace, ConflictAnswer::kKeepBoth);
    EXPECT_EQ(CopyFileWithPrompts(source + L"\\a.txt", target + L"\\a.txt", 1, 0, &context), 1);
    EXPECT_EQ(ReadFileBytes(target + L"\\a (3).txt"), "new");
    EXPECT_EQ(ReadFileBytes(target + L"\\a (2).txt"), "older");
    EXPECT_EQ(prompts.Asked()[0].keepBothName, target + L"\\a (3).txt");
    EXPECT_EQ(Notices(), (std::vector<std::pair<int, std::wstring>>{{1, target + L"\\a (3).txt"}}));
}

TEST_F(FilePrimitives, ShortNameOffersNoKeepBothAndNeverCopiesToAnEmptyPath)
{
    ASSERT_TRUE(WriteFileBytes(source + L"\\abc", "new"));
    ASSERT_TRUE(WriteFileBytes(target + L"\\abc", "old"));
    prompts.Queue(Question::Replace, ConflictAnswer::kKeepBoth);
    EXPECT_EQ(CopyFileWithPrompts(source + L"\\abc", target + L"\\abc", 1, 0, &context), 0);
    ASSERT_EQ(prompts.Asked().size(), 1u);
    EXPECT_EQ(prompts.Asked()[0].keepBothName, L"") << "the box is told there is no keep-both name";
    EXPECT_EQ(Names(target), (std::vector<std::wstring>{L"abc"}));
    EXPECT_EQ(ReadFileBytes(target + L"\\abc"), "old");
    EXPECT_FALSE(context.Stopped()) << "treated as a skip";
}

TEST_F(FilePrimitives, ApplyToAllAnswersLaterConflictsWithoutABox)
{
    for (const wchar_t* name : {L"1.txt", L"2.txt", L"3.txt"}) {
        ASSERT_TRUE(WriteFileBytes(source + L"\\" + name, "new"));
        ASSERT_TRUE(WriteFileBytes(target + L"\\" + name, "old"));
    }
    prompts.Queue(Question::Replace, ConflictAnswer::kReplace | ConflictAnswer::kApplyToAll);
    for (const wchar_t* name : {L"1.txt", L"2.txt", L"3.txt"}) {
        EXPECT_EQ(CopyFileWithPrompts(source + L"\\" + name, target + L"\\" + name, 1, 0, &context), 1);
        EXPECT_EQ(ReadFileBytes(target + L"\\" + name), "new");
    }
    EXPECT_EQ(prompts.Asked().size(), 1u);
}

TEST_F(FilePrimitives, FileInUseIsRetriedWhenTheUserReleasesIt)
{
    const std::wstring file = source + L"\\busy.txt";
    ASSERT_TRUE(WriteFileBytes(file, "busy"));
    veyra::UniqueFileHandle held = HoldExclusively(file);
    ASSERT_TRUE(held);
    prompts.Queue(Question::RetryInUse, kAnswerYes, [&held] { held.reset(); });
    EXPECT_EQ(CopyFileWithPrompts(file, target + L"\\busy.txt", 1, 0, &context), 1);
    EXPECT_EQ(ReadFileBytes(target + L"\\busy.txt"), "busy");
    ASSERT_EQ(prompts.Asked().size(), 1u);
    EXPECT_EQ(prompts.Asked()[0].sourcePath, file);
    EXPECT_FALSE(context.Stopped());
}

TEST_F(FilePrimitives, FileInUseRefusedStopsAndLeavesNothing)
{
    const std::wstring file = source + L"\\busy.txt";
    ASSERT_TRUE(WriteFileBytes(file, "busy"));
    veyra::UniqueFileHandle held = HoldExclusively(file);
    ASSERT_TRUE(held);
    prompts.Queue(Question::RetryInUse, kAnswerNo);
    EXPECT_EQ(CopyFileWithPrompts(file, target + L"\\busy.txt", 1, 0, &context), 0);
    EXPECT_TRUE(context.Stopped());
    EXPECT_TRUE(Names(target).empty());
    EXPECT_TRUE(host.Notices().empty());
}

TEST_F(FilePrimitives, CancelledCopyLeavesNoTarget)
{
    ASSERT_TRUE(WriteFileBytes(source + L"\\a.txt", std::string(1 << 20, 'x')));
    progress->Cancel();
    EXPECT_EQ(CopyFileWithPrompts(source + L"\\a.txt", target + L"\\a.txt", 1, 0, &context), 0);
    EXPECT_TRUE(Names(target).empty());
    EXPECT_TRUE(prompts.Asked().empty()) << "a cancel is no failure to report";
    EXPECT_TRUE(host.Notices().empty());
}

TEST_F(FilePrimitives, ProgressRoutineFoldsTheRunningFileAndAnswersCancel)
{
    LARGE_INTEGER size{};
    size.QuadPart = 1000;
    LARGE_INTEGER transferred{};
    transferred.QuadPart = 250;
    auto call = [&](void* data) {
        return CopyProgressRoutine(size, transferred, size, transferred, 1, CALLBACK_CHUNK_FINISHED, nullptr,
                                   nullptr, data);
    };
    EXPECT_EQ(call(nullptr), static_cast<DWORD>(PROGRESS_CANCEL));
    FileOperationContext withoutProgress;
    EXPECT_EQ(call(&withoutProgress), static_cast<DWORD>(PROGRESS_CANCEL));

    progress->SetTotals(2, 3000);
    progress->FinishItem(2000);
    EXPECT_EQ(call(&context), static_cast<DWORD>(PROGRESS_CONTINUE));
    EXPECT_EQ(progress->Counters().done, 2250u);
    EXPECT_EQ(progress->Counters().baseDone, 2000u);
    progress->Cancel();
    EXPECT_EQ(call(&context), static_cast<DWORD>(PROGRESS_CANCEL)) << "a cancel stops a large file at once";
}

TEST_F(FilePrimitives, ReplaceOfATargetInUseKeepsTheOldFileWhole)
{
    ASSERT_TRUE(WriteFileBytes(source + L"\\a.txt", "new"));
    ASSERT_TRUE(WriteFileBytes(target + L"\\a.txt", "old"));
    veyra::UniqueFileHandle held = HoldExclusively(target + L"\\a.txt");
    ASSERT_TRUE(held);
    prompts.Queue(Question::Replace, ConflictAnswer::kReplace);
    // Wine refuses the replacing rename with access denied, Windows with a sharing violation.
    prompts.QueueEither(Question::RetryInUse, Question::WriteFailure, kAnswerNo);
    EXPECT_EQ(CopyFileWithPrompts(source + L"\\a.txt", target + L"\\a.txt", 1, 0, &context), 0);
    held.reset();
    EXPECT_EQ(ReadFileBytes(target + L"\\a.txt"), "old");
    EXPECT_EQ(Names(target), (std::vector<std::wstring>{L"a.txt"})) << "no temporary file may stay";
    EXPECT_TRUE(context.Stopped());
    EXPECT_TRUE(host.Notices().empty());
}

TEST_F(FilePrimitives, WriteFailureIsReportedAndTheUserChoosesToSkipOrStop)
{
    ASSERT_TRUE(WriteFileBytes(source + L"\\a.txt", "new"));
    const std::wstring unwritable = target + L"\\missing folder\\a.txt";
    for (int answer : {kAnswerYes, kAnswerNo}) {
        context.answer = 0;
        prompts.Queue(Question::WriteFailure, answer);
        EXPECT_EQ(CopyFileWithPrompts(source + L"\\a.txt", unwritable, 1, 0, &context), 0);
        EXPECT_EQ(context.Stopped(), answer == kAnswerNo);
        const auto asked = prompts.Asked().back();
        EXPECT_TRUE(asked.canContinue);
        EXPECT_NE(asked.error, 0u);
        EXPECT_EQ(asked.sourcePath, source + L"\\a.txt");
        EXPECT_EQ(asked.targetPath, unwritable);
    }
    EXPECT_TRUE(Names(target).empty());
    EXPECT_EQ(ReadFileBytes(source + L"\\a.txt"), "new");
}

// A full volume cannot be made inside the test; VEYRA_FULL_DRIVE names a small empty drive (for
// example a 256 KiB tmpfs mapped as a Wine drive) to run this case against a real disk-full error.
TEST_F(FilePrimitives, DiskFullEndsTheOperationAndLeavesNoPartialFile)
{
    wchar_t drive[8] = {};
    if (!GetEnvironmentVariableW(L"VEYRA_FULL_DRIVE", drive, 8)) {
        GTEST_SKIP() << "VEYRA_FULL_DRIVE names no small drive";
    }
    ASSERT_TRUE(WriteFileBytes(source + L"\\big.bin", std::string(1 << 20, 'b')));
    const std::wstring full = std::wstring(drive) + L"\\big.bin";
    prompts.Queue(Question::WriteFailure, kAnswerYes);
    EXPECT_EQ(CopyFileWithPrompts(source + L"\\big.bin", full, 1, 0, &context), 0);
    EXPECT_FALSE(Exists(full)) << "no half-written file may stay";
    ASSERT_EQ(prompts.Asked().size(), 1u);
    EXPECT_FALSE(prompts.Asked()[0].canContinue);
    EXPECT_TRUE(prompts.Asked()[0].error == ERROR_DISK_FULL || prompts.Asked()[0].error == ERROR_HANDLE_DISK_FULL)
        << prompts.Asked()[0].error;
    EXPECT_TRUE(context.Stopped());
    EXPECT_EQ(ReadFileBytes(source + L"\\big.bin").size(), 1u << 20);
}

TEST_F(FilePrimitives, VanishedSourceIsSkippedSilently)
{
    EXPECT_EQ(CopyFileWithPrompts(source + L"\\gone.txt", target + L"\\gone.txt", 1, 0, &context), 0);
    EXPECT_TRUE(prompts.Asked().empty());
    EXPECT_FALSE(context.Stopped());
    EXPECT_TRUE(Names(target).empty());
}

TEST_F(FilePrimitives, MoveAnnouncesTargetThenSourceAndRemovesTheSourceOnlyWhenDone)
{
    context.type = OperationType::kMove;
    ASSERT_TRUE(WriteFileBytes(source + L"\\m.txt", "move me"));
    EXPECT_EQ(MoveFileWithPrompts(source + L"\\m.txt", target + L"\\m.txt", 0, &context), 1);
    EXPECT_FALSE(Exists(source + L"\\m.txt"));
    EXPECT_EQ(ReadFileBytes(target + L"\\m.txt"), "move me");
    EXPECT_EQ(Notices(), (std::vector<std::pair<int, std::wstring>>{{1, target + L"\\m.txt"},
                                                                      {4, source + L"\\m.txt"}}));
}

TEST_F(FilePrimitives, MoveConflictSkipOrStopLeavesBothFiles)
{
    context.type = OperationType::kMove;
    for (int answer : {ConflictAnswer::kSkip, ConflictAnswer::kStop}) {
        context.answer = 0;
        ASSERT_TRUE(WriteFileBytes(source + L"\\m.txt", "mine"));
        ASSERT_TRUE(WriteFileBytes(target + L"\\m.txt", "theirs"));
        prompts.Queue(Question::Replace, answer);
        EXPECT_EQ(MoveFileWithPrompts(source + L"\\m.txt", target + L"\\m.txt", 0, &context), 0);
        EXPECT_EQ(ReadFileBytes(source + L"\\m.txt"), "mine");
        EXPECT_EQ(ReadFileBytes(target + L"\\m.txt"), "theirs");
    }
    EXPECT_TRUE(host.Notices().empty());
}

TEST_F(FilePrimitives, MoveReplaceAnnouncesOnlyTheSourceGone)
{
    context.type = OperationType::kMove;
    ASSERT_TRUE(WriteFileBytes(source + L"\\m.txt", "mine"));
    ASSERT_TRUE(WriteFileBytes(target + L"\\m.txt", "theirs"));
    prompts.Queue(Question::Replace, ConflictAnswer::kReplace);
    EXPECT_EQ(MoveFileWithPrompts(source + L"\\m.txt", target + L"\\m.txt", 0, &context), 1);
    EXPECT_EQ(ReadFileBytes(target + L"\\m.txt"), "mine");
    EXPECT_FALSE(Exists(source + L"\\m.txt"));
    EXPECT_EQ(Notices(), (std::vector<std::pair<int, std::wstring>>{{4, source + L"\\m.txt"}}));
    EXPECT_EQ(host.Notices()[0].flags, 0x16);
}

TEST_F(FilePrimitives, MoveOfAFileInUseWaitsForTheUser)
{
    context.type = OperationType::kMove;
    const std::wstring file = source + L"\\busy.txt";
    ASSERT_TRUE(WriteFileBytes(file, "busy"));
    veyra::UniqueFileHandle held = HoldExclusively(file);
    ASSERT_TRUE(held);
    prompts.Queue(Question::RetryInUse, kAnswerNo);
    EXPECT_EQ(MoveFileWithPrompts(file, target + L"\\busy.txt", 0, &context), 0);
    EXPECT_TRUE(context.Stopped());
    held.reset();
    EXPECT_EQ(ReadFileBytes(file), "busy");
    EXPECT_TRUE(Names(target).empty());
}

TEST_F(FilePrimitives, DeleteRetriesAFileInUse)
{
    const std::wstring file = source + L"\\busy.txt";
    ASSERT_TRUE(WriteFileBytes(file, "busy"));
    veyra::UniqueFileHandle held = HoldExclusively(file);
    ASSERT_TRUE(held);
    prompts.Queue(Question::RetryInUse, kAnswerYes, [&held] { held.reset(); });
    EXPECT_EQ(DeleteFileWithRetry(file, 0, &context), 1);
    EXPECT_FALSE(Exists(file));

    ASSERT_TRUE(WriteFileBytes(file, "busy"));
    held = HoldExclusively(file);
    EXPECT_EQ(DeleteFileWithRetry(file, 0, nullptr), 0) << "without a context nothing is asked";
    prompts.Queue(Question::RetryInUse, kAnswerNo);
    EXPECT_EQ(DeleteFileWithRetry(file, 0, &context), 0);
    held.reset();
    EXPECT_EQ(ReadFileBytes(file), "busy");
}

TEST_F(FilePrimitives, KeepBothNames)
{
    ASSERT_TRUE(WriteFileBytes(target + L"\\taken (2).txt", ""));
    ASSERT_TRUE(WriteFileBytes(target + L"\\docs (2)", "a file, not a folder"));
    struct Case {
        const wchar_t* name;
        int isFolder;
        const wchar_t* expected;  // nullptr: none
    };
    const Case cases[] = {
        {L"report.txt", 0, L"report (2).txt"},
        {L"taken.txt", 0, L"taken (3).txt"},
        {L"TAKEN.TXT", 0, L"TAKEN (3).TXT"},
        {L"docs", 1, L"docs (3)"},
        {L"abc", 0, nullptr},
        {L"abc", 1, L"abc (2)"},
        {L"abcd", 0, L"abcd (2)"},
        {L"archive.tar.gz", 0, L"archive.tar (2).gz"},
    };
    for (const Case& c : cases) {
        std::wstring out = L"untouched";
        const int found = MakeKeepBothName(target + L"\\" + c.name, out, 0, c.isFolder);
        if (c.expected) {
            EXPECT_EQ(found, 1) << testing::PrintToString(c.name);
            EXPECT_EQ(out, target + L"\\" + c.expected) << testing::PrintToString(c.name);
        } else {
            EXPECT_EQ(found, 0) << testing::PrintToString(c.name);
            EXPECT_EQ(out, L"untouched");
        }
    }
}

TEST_F(FilePrimitives, KeepBothNameRunsOutAfter99)
{
    for (int n = 2; n <= 99; ++n) {
        ASSERT_TRUE(WriteFileBytes(target + L"\\full (" + std::to_wstring(n) + L").txt", ""));
    }
    std::wstring out;
    EXPECT_EQ(MakeKeepBothName(target + L"\\full.txt", out, 0, 0), 0);
    const std::wstring longName = std::wstring(252 - target.size(), L'n') + L".txt";
    EXPECT_EQ(MakeKeepBothName(target + L"\\" + longName, out, 0, 0), 0) << "a name past the path limit";
}

}  // namespace
