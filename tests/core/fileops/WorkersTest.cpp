#include <gtest/gtest.h>

#include <algorithm>

#include "base/UniqueResource.h"
#include "base/Window.h"
#include "core/fileops/ChangeNotice.h"
#include "core/fileops/EngineBinding.h"
#include "core/fileops/NsOperations.h"
#include "core/fileops/OperationStarters.h"
#include "tests/core/sandboxview/SandBoxViewFixture.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TreeSnapshot.h"

namespace veyra::test {
namespace {

// Stands in for the progress dialog's window: records its close and whether it was shown by then.
class ProgressWindowProbe final : public MappedWindow<ProgressWindowProbe> {
public:
    ProgressWindowProbe()
    {
        WindowPlacement placement;
        placement.style = WS_POPUP;
        EXPECT_TRUE(Create(WindowClass{L"VeyraProgressProbe"}, L"progress", placement));
    }
    ~ProgressWindowProbe() override { DestroyWindow(Handle()); }

    static std::span<const Entry> Messages()
    {
        static const Entry entries[] = {{WM_CLOSE, &ProgressWindowProbe::OnClose}};
        return entries;
    }

    bool closed = false;
    bool shownAtClose = false;

private:
    LRESULT OnClose(WPARAM, LPARAM)
    {
        closed = true;
        shownAtClose = IsWindowVisible(Handle()) != FALSE;
        return 0;
    }
};

// A desktop window that keeps the rename operations the starters hand it, instead of running them.
class StartRecorder final : public MappedWindow<StartRecorder> {
public:
    explicit StartRecorder(int ownerKey) : m_ownerKey(ownerKey)
    {
        WindowPlacement placement;
        placement.style = 0;
        placement.parent = HWND_MESSAGE;
        EXPECT_TRUE(Create(WindowClass{L"VeyraStartRecorder"}, L"starts", placement));
        RegisterHostWindow(m_ownerKey, Handle());
    }
    ~StartRecorder() override
    {
        RegisterHostWindow(m_ownerKey, nullptr);
        DestroyWindow(Handle());
    }

    static std::span<const Entry> Messages()
    {
        static const Entry entries[] = {{WM_NS_START_OPERATION, &StartRecorder::OnStart}};
        return entries;
    }

    std::vector<std::wstring> renamedTo;

private:
    LRESULT OnStart(WPARAM wParam, LPARAM)
    {
        if (auto* rename = dynamic_cast<NsRenameOperate*>(reinterpret_cast<NsOperate*>(wParam))) {
            renamedTo.push_back(rename->newPath);
        }
        return 1;
    }

    int m_ownerKey;
};

// Runs the workers against the process's sandbox view in the test sandbox, with scripted answers
// and recorded notices; the real tree must come out unchanged.
class Workers : public SandBoxViewFixture {
protected:
    void SetUp() override
    {
        SandBoxViewFixture::SetUp();
        InstallFileOperationEngine(CSandBoxFileSystem::Instance());
    }

    // Starts the operation as the progress dialog would and pumps until it has closed the window.
    void Run(const RefPtr<NsOperate>& operation)
    {
        operation->progressWindow = window.Handle();
        operation->progressDialog = progress;
        UniqueHandle thread(operation->Start());
        ASSERT_TRUE(thread);
        ASSERT_TRUE(PumpUntilSignalled(thread.get(), 120000)) << "the worker did not end";
        ASSERT_TRUE(PumpUntil([this] { return window.closed; }, 5000)) << "the worker must close its window";
    }

    std::vector<std::pair<int, std::wstring>> Notices() const
    {
        std::vector<std::pair<int, std::wstring>> got;
        for (const RecordedNotice& notice : host.Notices()) {
            got.emplace_back(notice.kind, notice.path1);
        }
        return got;
    }

    static std::size_t IndexOf(const std::vector<std::pair<int, std::wstring>>& notices, int kind,
                               const std::wstring& path)
    {
        const auto found = std::find(notices.begin(), notices.end(), std::make_pair(kind, path));
        return static_cast<std::size_t>(found - notices.begin());
    }

    NoticeRecorder host{kSandbox};
    ScriptedPrompts prompts;
    ProgressWindowProbe window;
    RefPtr<OperationProgress> progress = MakeRef<OperationProgress>();
};

TEST_F(Workers, CopyCarriesAFolderWithDotFilesAndAnnouncesFoldersFirst)
{
    MakeReal(m_root + L"\\src\\a.txt", "a");
    MakeReal(m_root + L"\\src\\.profile", "dot");
    MakeReal(m_root + L"\\src\\sub\\b.txt", "b");
    RealTreeGuard guard(m_root);
    Run(MakeRef<NsCopyOperate>(std::vector<std::wstring>{m_root + L"\\src"}, m_root + L"\\dst", kSandbox, 1));
    EXPECT_TRUE(guard.Unchanged());
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\dst\\src\\a.txt")), "a");
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\dst\\src\\.profile")), "dot") << "dot files are carried along";
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\dst\\src\\sub\\b.txt")), "b");
    const auto notices = Notices();
    EXPECT_LT(IndexOf(notices, 2, m_root + L"\\dst\\src"), IndexOf(notices, 1, m_root + L"\\dst\\src\\a.txt"));
    EXPECT_LT(IndexOf(notices, 2, m_root + L"\\dst\\src\\sub"),
              IndexOf(notices, 1, m_root + L"\\dst\\src\\sub\\b.txt"));
    EXPECT_FALSE(window.shownAtClose) << "a small copy shows no window";
    EXPECT_EQ(progress->Counters().itemsDone, 3);
}

TEST_F(Workers, ProgressWindowShowsOnlyAboveThirtyMebibytes)
{
    for (const std::uint64_t bytes : {std::uint64_t{31457280}, std::uint64_t{31457281}}) {
        window.closed = false;
        progress = MakeRef<OperationProgress>();
        ShowWindow(window.Handle(), SW_HIDE);
        const std::wstring file = m_root + L"\\big" + std::to_wstring(bytes) + L".bin";
        MakeReal(file, std::string(static_cast<std::size_t>(bytes), 'x'));
        Run(MakeRef<NsCopyOperate>(std::vector<std::wstring>{file}, m_root + L"\\dst", kSandbox, 1));
        EXPECT_EQ(window.shownAtClose, bytes > 31457280) << bytes;
        EXPECT_EQ(progress->Counters().total, bytes);
        if (bytes > 31457280) {
            EXPECT_EQ(progress->Texts().summary, L"正在复制 1 个项目（30 MB）");
        }
    }
}

TEST_F(Workers, StopInTheConflictBoxEndsBeforeTheNextItem)
{
    MakeReal(m_root + L"\\src\\1.txt", "new");
    MakeReal(m_root + L"\\src\\2.txt", "new");
    MakeShadow(m_root + L"\\dst\\1.txt", "old");
    prompts.Queue(Question::Replace, ConflictAnswer::kStop);
    Run(MakeRef<NsCopyOperate>(std::vector<std::wstring>{m_root + L"\\src\\1.txt", m_root + L"\\src\\2.txt"},
                               m_root + L"\\dst", kSandbox, 1));
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\dst\\1.txt")), "old");
    EXPECT_FALSE(FileExists(Shadow(m_root + L"\\dst\\2.txt")));
}

TEST_F(Workers, CancelBetweenItemsLeavesTheRestUntouched)
{
    MakeReal(m_root + L"\\src\\1.txt", "new");
    MakeReal(m_root + L"\\src\\2.txt", "new");
    MakeShadow(m_root + L"\\dst\\1.txt", "old");
    // The user cancels while the first item's conflict box is open, then skips.
    prompts.Queue(Question::Replace, ConflictAnswer::kSkip, [this] { progress->Cancel(); });
    Run(MakeRef<NsMoveOperate>(std::vector<std::wstring>{m_root + L"\\src\\1.txt", m_root + L"\\src\\2.txt"},
                               m_root + L"\\dst", kSandbox));
    EXPECT_EQ(1, CSandBoxFileSystem::Instance().PathExists(m_root + L"\\src\\1.txt", kSandbox));
    EXPECT_EQ(1, CSandBoxFileSystem::Instance().PathExists(m_root + L"\\src\\2.txt", kSandbox));
    EXPECT_FALSE(FileExists(Shadow(m_root + L"\\dst\\2.txt")));
}

// A name the view shows only as the user's real file is a conflict too: the answer decides, and the
// real file is never touched or hidden unasked.
TEST_F(Workers, ANameShownOnlyAsARealItemAsksTheConflictQuestion)
{
    struct Case {
        bool move;
        int answer;
        const char* shadowAfter;    // the sandbox copy of dst\\a.txt afterwards; nullptr: none
        const char* keptBothAfter;  // the sandbox copy of the keep-both name; nullptr: none
    };
    const Case cases[] = {
        {false, ConflictAnswer::kReplace, "new", nullptr},
        {false, ConflictAnswer::kSkip, nullptr, nullptr},
        {false, ConflictAnswer::kKeepBoth, nullptr, "new"},
        {true, ConflictAnswer::kReplace, "new", nullptr},
        {true, ConflictAnswer::kSkip, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.move) + " answer " + std::to_string(c.answer));
        window.closed = false;
        MakeShadow(m_root + L"\\src\\a.txt", "new");
        MakeReal(m_root + L"\\dst\\a.txt", "user's");
        prompts.Queue(Question::Replace, c.answer);
        const std::size_t before = prompts.Asked().size();
        const std::vector<std::wstring> sources{m_root + L"\\src\\a.txt"};
        if (c.move) {
            Run(MakeRef<NsMoveOperate>(sources, m_root + L"\\dst", kSandbox));
        } else {
            Run(MakeRef<NsCopyOperate>(sources, m_root + L"\\dst", kSandbox, 1));
        }
        ASSERT_EQ(prompts.Asked().size(), before + 1) << "the view shows a file of that name";
        EXPECT_EQ(prompts.Asked()[before].targetPath, Shadow(m_root + L"\\dst\\a.txt"));
        EXPECT_EQ(ReadFileBytes(m_root + L"\\dst\\a.txt"), "user's") << "the real file is untouched";
        EXPECT_EQ(FileExists(Shadow(m_root + L"\\dst\\a.txt")), c.shadowAfter != nullptr);
        if (c.shadowAfter) {
            EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\dst\\a.txt")), c.shadowAfter);
        }
        const std::wstring keptBoth = prompts.Asked()[before].keepBothName;
        EXPECT_FALSE(keptBoth.empty());
        EXPECT_EQ(FileExists(keptBoth), c.keptBothAfter != nullptr) << "a name free in the view";
        RemoveTree(m_root + L"\\dst");
        RemoveTree(Shadow(m_root + L"\\dst"));
        RemoveTree(Shadow(m_root + L"\\src"));
    }
}

TEST_F(Workers, MoveOfAFolderRemovesTheSourceOnlyOnceEmptied)
{
    MakeShadow(m_root + L"\\src\\keep.txt", "mine");
    MakeShadow(m_root + L"\\src\\go.txt", "go");
    MakeShadow(m_root + L"\\dst\\src\\keep.txt", "theirs");
    prompts.Queue(Question::Replace, ConflictAnswer::kSkip);
    Run(MakeRef<NsMoveOperate>(std::vector<std::wstring>{m_root + L"\\src"}, m_root + L"\\dst", kSandbox));
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\src\\keep.txt")), "mine") << "a skipped file stays at its source";
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\dst\\src\\go.txt")), "go");
    EXPECT_EQ(1, CSandBoxFileSystem::Instance().PathExists(m_root + L"\\src", kSandbox))
        << "a folder that is not empty stays";
}

TEST_F(Workers, StartersRefuseAFolderIntoItselfAndFilterTheSameFolder)
{
    MakeReal(m_root + L"\\folder\\sub\\a.txt");
    const std::vector<std::wstring> sources{m_root + L"\\folder"};
    prompts.Queue(Question::TargetInsideSource, 0);
    EXPECT_EQ(0, StartCopyOperation(&sources, m_root + L"\\folder\\sub", kSandbox, 1));
    EXPECT_EQ(0, StartCopyOperation(&sources, m_root + L"\\folder", kSandbox, 1)) << "same-folder filter";
    prompts.Queue(Question::TargetInsideSource, 0);
    EXPECT_EQ(0, StartMoveOperation(&sources, m_root + L"\\FOLDER\\sub", kSandbox));
    ASSERT_EQ(prompts.Asked().size(), 2u);
    EXPECT_EQ(prompts.Asked()[0].targetPath, m_root + L"\\folder\\sub");
}

TEST_F(Workers, DeleteAsksThenRemovesFromTheViewOnly)
{
    MakeReal(m_root + L"\\del\\a.txt");
    MakeShadow(m_root + L"\\del\\b.txt");
    RealTreeGuard guard(m_root);
    prompts.Queue(Question::DeleteItem, kAnswerNo);
    const std::vector<std::wstring> one{m_root + L"\\del"};
    RefPtr<NsDeleteOperate> refused = MakeRef<NsDeleteOperate>(one, kSandbox);
    EXPECT_EQ(0u, DeleteWorkerThread(refused.get()));
    EXPECT_EQ(1, CSandBoxFileSystem::Instance().PathExists(m_root + L"\\del\\a.txt", kSandbox));

    prompts.Queue(Question::DeleteItem, kAnswerYes);
    RefPtr<NsDeleteOperate> confirmed = MakeRef<NsDeleteOperate>(one, kSandbox);
    EXPECT_EQ(1u, DeleteWorkerThread(confirmed.get()));
    EXPECT_EQ(0, CSandBoxFileSystem::Instance().PathExists(m_root + L"\\del", kSandbox));
    EXPECT_TRUE(guard.Unchanged());
    EXPECT_EQ(prompts.Asked()[1].sourcePath, m_root + L"\\del");
    const auto notices = Notices();
    EXPECT_LT(IndexOf(notices, 4, m_root + L"\\del\\a.txt"), IndexOf(notices, 8, m_root + L"\\del"));
}

TEST_F(Workers, RenameRules)
{
    MakeReal(m_root + L"\\a.txt");
    MakeReal(m_root + L"\\taken.txt");
    struct Case {
        const char* name;
        const wchar_t* newName;
        std::vector<std::pair<Question, int>> answers;
        int result;
    };
    const std::vector<Case> cases = {
        {"empty name", L"", {{Question::NameRequired, IDOK}}, 0},
        {"only an extension", L".txt", {{Question::NameRequired, IDOK}}, 0},
        {"extension change refused", L"b.doc", {{Question::ExtensionChange, kAnswerNo}}, 0},
        {"taken name refused", L"taken.txt", {{Question::AutoRename, kAnswerNo}}, 0},
    };
    for (const Case& c : cases) {
        for (const auto& [question, answer] : c.answers) {
            prompts.Queue(question, answer);
        }
        EXPECT_EQ(c.result, RenameItem(m_root + L"\\a.txt", c.newName, kSandbox, nullptr)) << c.name;
        EXPECT_EQ(prompts.Unanswered(), 0u) << c.name;
    }
}

TEST_F(Workers, RenameOfAFolderMovesEverythingAndRemovesTheOldFolders)
{
    MakeReal(m_root + L"\\old\\a.txt", "a");
    MakeReal(m_root + L"\\old\\.hidden", "h");
    MakeShadow(m_root + L"\\old\\sub\\b.txt", "b");
    RealTreeGuard guard(m_root);
    Run(MakeRef<NsRenameOperate>(m_root + L"\\old", m_root + L"\\new", kSandbox));
    EXPECT_TRUE(guard.Unchanged());
    const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\new\\a.txt")), "a");
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\new\\.hidden")), "h");
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\new\\sub\\b.txt")), "b");
    EXPECT_EQ(0, view.PathExists(m_root + L"\\old\\a.txt", kSandbox));
    EXPECT_EQ(0, view.PathExists(m_root + L"\\old\\sub", kSandbox));
    EXPECT_EQ(0, view.PathExists(m_root + L"\\old", kSandbox)) << "the emptied old folders go, deepest first";
    EXPECT_FALSE(window.shownAtClose) << "a rename never shows its window";
    const auto notices = Notices();
    EXPECT_LT(IndexOf(notices, 8, m_root + L"\\old\\sub"), IndexOf(notices, 8, m_root + L"\\old"));
}

TEST_F(Workers, AutoRenameTakesTheKeepBothName)
{
    MakeReal(m_root + L"\\a.txt", "a");
    MakeReal(m_root + L"\\b.txt", "b");
    MakeReal(m_root + L"\\b (2).txt", "b2");
    RealTreeGuard guard(m_root);
    StartRecorder desktop(kSandbox);
    prompts.Queue(Question::AutoRename, kAnswerYes);
    EXPECT_EQ(1, RenameItem(m_root + L"\\a.txt", L"b.txt", kSandbox, nullptr));
    prompts.Queue(Question::ExtensionChange, kAnswerYes);
    EXPECT_EQ(1, RenameItem(m_root + L"\\a.txt", L"a.doc", kSandbox, nullptr));
    EXPECT_EQ(1, RenameItem(m_root + L"\\a.txt", L"A.TXT", kSandbox, nullptr)) << "letter case alone asks nothing";
    EXPECT_EQ(desktop.renamedTo, (std::vector<std::wstring>{m_root + L"\\b (3).txt", m_root + L"\\a.doc",
                                                            m_root + L"\\A.TXT"}));
    EXPECT_TRUE(guard.Unchanged());
}

TEST_F(Workers, DeleteOfSeveralAsksWithTheCount)
{
    MakeShadow(m_root + L"\\x.txt");
    MakeShadow(m_root + L"\\y.txt");
    prompts.Queue(Question::DeleteItems, kAnswerYes);
    const std::vector<std::wstring> two{m_root + L"\\x.txt", m_root + L"\\y.txt"};
    RefPtr<NsDeleteOperate> operation = MakeRef<NsDeleteOperate>(two, kSandbox);
    EXPECT_EQ(1u, DeleteWorkerThread(operation.get()));
    ASSERT_EQ(prompts.Asked().size(), 1u);
    EXPECT_EQ(prompts.Asked()[0].count, 2);
    EXPECT_FALSE(FileExists(Shadow(m_root + L"\\x.txt")));
    EXPECT_FALSE(FileExists(Shadow(m_root + L"\\y.txt")));
}

TEST_F(Workers, DeleteOfAFileInUseWaitsForTheUser)
{
    MakeShadow(m_root + L"\\busy.txt", "busy");
    UniqueFileHandle held(CreateFileW(Shadow(m_root + L"\\busy.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      0, nullptr));
    ASSERT_TRUE(held);
    prompts.Queue(Question::DeleteItem, kAnswerYes);
    prompts.Queue(Question::RetryInUse, kAnswerYes, [&held] { held.reset(); });
    const std::vector<std::wstring> one{m_root + L"\\busy.txt"};
    RefPtr<NsDeleteOperate> operation = MakeRef<NsDeleteOperate>(one, kSandbox);
    EXPECT_EQ(1u, DeleteWorkerThread(operation.get()));
    EXPECT_FALSE(FileExists(Shadow(m_root + L"\\busy.txt")));
}

}  // namespace
}  // namespace veyra::test
