#include <gtest/gtest.h>

#include <shlwapi.h>

#include <deque>
#include <functional>
#include <memory>

#include "SandBoxViewFixture.h"
#include "base/UniqueResource.h"
#include "tests/support/TreeSnapshot.h"

namespace veyra::test {
namespace {

// Plain transfers, with the notices and in-use questions recorded and answered from a queue.
class RecordingPrimitives final : public SandBoxFilePrimitives {
public:
    int CopyFileWithPrompts(const std::wstring& existing, const std::wstring& target, int failIfExists, int owner,
                            FileOperationContext* context) override
    {
        return m_plain.CopyFileWithPrompts(existing, target, failIfExists, owner, context);
    }
    int MoveFileWithPrompts(const std::wstring& existing, const std::wstring& target, int owner,
                            FileOperationContext* context) override
    {
        return m_plain.MoveFileWithPrompts(existing, target, owner, context);
    }
    int DeleteFileWithRetry(const std::wstring& path, int owner, FileOperationContext* context) override
    {
        return m_plain.DeleteFileWithRetry(path, owner, context);
    }
    int NotifyPathDone(const std::wstring& path, int, FileOperationContext* context) override
    {
        notices.push_back(path);
        return context ? 1 : 0;
    }
    bool AskRetryFileInUse(FileOperationContext**) override
    {
        ++questions;
        if (onQuestion) {
            onQuestion();
        }
        if (answers.empty()) {
            return false;
        }
        const bool retry = answers.front();
        answers.pop_front();
        return retry;
    }

    std::vector<std::wstring> notices;
    std::deque<bool> answers;
    std::function<void()> onQuestion;
    int questions = 0;

private:
    PlainFilePrimitives m_plain;
};

class SandBoxWrites : public SandBoxViewFixture {
protected:
    void SetUp() override
    {
        SandBoxViewFixture::SetUp();
        MakeReal(m_root + L"\\docs\\a.txt", "alpha");
        MakeReal(m_root + L"\\docs\\sub\\b.txt", "beta");
        MakeReal(m_root + L"\\docs\\.hidden", "dot");
        MakeReal(m_root + L"\\top.txt", "top");
        MakeReal(m_root + L"\\app\\run.exe", "MZ");
        m_view.SetFilePrimitives(&m_primitives);
        m_guard = std::make_unique<RealTreeGuard>(m_root);  // every test: the real tree stays as it is
    }
    void TearDown() override
    {
        m_guard.reset();
        SandBoxViewFixture::TearDown();
    }
    bool Listed(const std::wstring& path)
    {
        const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
        const auto names = Names(folder, ListingScope::Everything);
        return std::find(names.begin(), names.end(), path.substr(folder.size() + 1)) != names.end();
    }

    RecordingPrimitives m_primitives;
    int m_contextStandIn = 0;
    FileOperationContext* m_context = reinterpret_cast<FileOperationContext*>(&m_contextStandIn);
    std::unique_ptr<RealTreeGuard> m_guard;
};

TEST(TreeSnapshotFixture, SeesEveryKindOfChange)
{
    struct Case {
        const char* what;
        std::function<void(const std::wstring&)> change;
    };
    const Case cases[] = {
        {"content of the same size", [](const std::wstring& root) { WriteFileBytes(root + L"\\f.txt", "FILE"); }},
        {"rename", [](const std::wstring& root) { ::MoveFileW((root + L"\\f.txt").c_str(), (root + L"\\g.txt").c_str()); }},
        {"delete", [](const std::wstring& root) { DeleteFileW((root + L"\\d\\inner").c_str()); }},
        {"new dot file", [](const std::wstring& root) { WriteFileBytes(root + L"\\d\\.x", ""); }},
        {"attributes", [](const std::wstring& root) { SetFileAttributesW((root + L"\\f.txt").c_str(), FILE_ATTRIBUTE_READONLY); }},
    };
    for (const auto& item : cases) {
        TempFolder folder(L"snap");
        ASSERT_TRUE(WriteFileBytes(folder / L"f.txt", "file"));
        ASSERT_TRUE(CreateFolderTree(folder / L"d"));
        ASSERT_TRUE(WriteFileBytes(folder / L"d\\inner", "inner"));
        const TreeSnapshot before = TreeSnapshot::Take(folder.Path());
        EXPECT_EQ("", TreeSnapshot::Take(folder.Path()).DifferencesFrom(before));
        item.change(folder.Path());
        EXPECT_NE("", TreeSnapshot::Take(folder.Path()).DifferencesFrom(before)) << item.what;
    }
}

TEST_F(SandBoxWrites, NewFolderAndNewFile)
{
    const std::wstring created = m_root + L"\\new folder";
    EXPECT_EQ(SBFS_FOLDER_READY, m_view.MakeFolder(created, kSandbox, m_context));
    EXPECT_TRUE(PathIsDirectoryW(Shadow(created).c_str()));
    EXPECT_EQ(std::vector<std::wstring>{created}, m_primitives.notices);
    EXPECT_EQ(SBFS_FOLDER_READY, m_view.MakeFolder(created, kSandbox, m_context));
    EXPECT_EQ(1u, m_primitives.notices.size()) << "an existing folder is not announced again";
    EXPECT_EQ(SBFS_FOLDER_READY, m_view.MakeFolder(m_root + L"\\docs", kSandbox, nullptr));
    EXPECT_TRUE(PathIsDirectoryW(Shadow(m_root + L"\\docs").c_str())) << "a real folder gets its sandbox copy";

    EXPECT_EQ(SBFS_MKDIR_FAILED, m_view.MakeFolder(L"\\\\server\\share\\x", kSandbox, nullptr));
    EXPECT_EQ(SBFS_MKDIR_FAILED, m_view.MakeFolder(L"C:relative", kSandbox, nullptr));
    MakeShadow(m_root + L"\\blocker", "a file, not a folder");
    EXPECT_EQ(SBFS_MKDIR_FAILED, m_view.MakeFolder(m_root + L"\\blocker\\inner", kSandbox, nullptr));
    EXPECT_EQ(0, m_view.MakeSandboxFolderTree(Shadow(m_root + L"\\blocker")));
    EXPECT_EQ(0, m_view.MakeSandboxFolderTree(m_root + L"\\outside")) << "only sandbox folders are ever made";
    EXPECT_FALSE(PathFileExistsW((m_root + L"\\outside").c_str()));

    const std::wstring file = m_root + L"\\docs\\new.txt";
    EXPECT_EQ(SBFS_FILE_CREATED, m_view.CreateEmptyFile(file, kSandbox));
    EXPECT_EQ("", ReadFileBytes(Shadow(file)));
    EXPECT_TRUE(Listed(file));
    EXPECT_EQ(SBFS_CREATE_FAILED, m_view.CreateEmptyFile(file, kSandbox));
    EXPECT_EQ(SBFS_CREATE_FAILED, m_view.CreateEmptyFile(m_root + L"\\top.txt", kSandbox))
        << "an empty copy must not stand in for an existing real file";
}

TEST_F(SandBoxWrites, FirstWriteOnADriveMakesItsSandboxRootHidden)
{
    const std::wstring scratch = ScratchFolderOnD(L"firstwrite");
    ASSERT_FALSE(scratch.empty());
    RemoveTree(L"D:\\KavoSANDBOX");
    ASSERT_EQ(SBFS_FOLDER_READY, m_view.MakeFolder(scratch + L"\\x", kSandbox, nullptr));
    const DWORD attributes = GetFileAttributesW(L"D:\\KavoSANDBOX");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    RemoveTree(scratch);
    if (!(attributes & FILE_ATTRIBUTE_HIDDEN)) {
        GTEST_SKIP() << "Wine keeps the hidden attribute in a user xattr, which this file system lacks";
    }
}

TEST_F(SandBoxWrites, PathsPastTheLimitFailCleanly)
{
    // 259 characters once mapped is the longest a 260-character buffer holds; one more must fail.
    const std::size_t room = 259 - Shadow(m_root).size() - 1;
    const std::wstring fits = m_root + L"\\" + std::wstring(room, L'f');
    const std::wstring tooLong = fits + L"g";
    EXPECT_EQ(SBFS_FOLDER_READY, m_view.MakeFolder(fits.substr(0, fits.size() - 2), kSandbox, nullptr));
    EXPECT_EQ(SBFS_MKDIR_FAILED, m_view.MakeFolder(tooLong, kSandbox, nullptr));
    EXPECT_EQ(SBFS_CREATE_FAILED, m_view.CreateEmptyFile(tooLong, kSandbox));
    EXPECT_EQ(SBFS_DELETE_FAILED, m_view.DeleteItem(tooLong, kSandbox, nullptr));
    const std::wstring deep = m_root + L"\\" + std::wstring(room - 4, L'd');
    EXPECT_EQ(0, m_view.CopyFileIn(m_root + L"\\top.txt", deep, kSandbox, 1, nullptr))
        << "the target name does not fit";
    std::wstring link;
    EXPECT_EQ(0, m_view.CreateShortcut(m_root + L"\\top.txt", deep, link, 0, kSandbox));
}

TEST_F(SandBoxWrites, DeletingRealAndSandboxItems)
{
    const std::wstring real = m_root + L"\\top.txt";
    EXPECT_EQ(SBFS_REMOVED, m_view.DeleteItem(real, kSandbox, &m_context));
    EXPECT_FALSE(Listed(real));
    EXPECT_EQ(1, m_view.IsMarkedDeleted(real, kSandbox));
    EXPECT_EQ(std::vector<std::wstring>{real}, m_primitives.notices);

    const std::wstring both = m_root + L"\\docs\\a.txt";
    MakeShadow(both);
    EXPECT_EQ(SBFS_REMOVED, m_view.DeleteItem(both, kSandbox, nullptr));
    EXPECT_FALSE(PathFileExistsW(Shadow(both).c_str()));
    EXPECT_EQ(1, m_view.IsMarkedDeleted(both, kSandbox));
    EXPECT_FALSE(Listed(both));

    const std::wstring shadowOnly = m_root + L"\\only.txt";
    MakeShadow(shadowOnly);
    EXPECT_EQ(SBFS_REMOVED, m_view.DeleteItem(shadowOnly, kSandbox, nullptr));
    EXPECT_FALSE(PathFileExistsW(Shadow(shadowOnly).c_str()));
    EXPECT_EQ(SBFS_DELETE_FAILED, m_view.DeleteItem(m_root + L"\\never.txt", kSandbox, nullptr));
}

TEST_F(SandBoxWrites, FoldersAreRemovedOnlyWhenNothingIsLeftInThem)
{
    const std::wstring docs = m_root + L"\\docs";
    EXPECT_EQ(0, m_view.DeleteFolder(docs, kSandbox, 1, nullptr));
    EXPECT_EQ(0, m_view.IsMarkedDeleted(docs, kSandbox));
    ASSERT_EQ(SBFS_REMOVED, m_view.DeleteItem(docs + L"\\a.txt", kSandbox, nullptr));
    ASSERT_EQ(1, m_view.DeleteTree(docs + L"\\sub", kSandbox));
    EXPECT_EQ(0, m_view.DeleteFolder(docs, kSandbox, 1, nullptr)) << "the dot file the views hide is still in it";
    ASSERT_EQ(SBFS_REMOVED, m_view.DeleteItem(docs + L"\\.hidden", kSandbox, nullptr));
    EXPECT_EQ(SBFS_REMOVED, m_view.DeleteFolder(docs, kSandbox, 1, m_context));
    EXPECT_FALSE(Listed(docs));
    EXPECT_EQ(std::vector<std::wstring>{docs}, m_primitives.notices);

    const std::wstring app = m_root + L"\\app";
    MakeShadow(app + L"\\extra.dll");
    EXPECT_EQ(1, m_view.DeleteTree(app, kSandbox));
    EXPECT_FALSE(Listed(app));
    EXPECT_FALSE(PathFileExistsW(Shadow(app).c_str()));
}

TEST_F(SandBoxWrites, AFailedMarkIsAFailedDeleteAndTheItemStays)
{
    // A volatile parent key cannot hold the lasting mark key, so the mark write fails.
    const std::wstring path = m_root + L"\\docs\\a.txt";
    MakeShadow(path);
    std::wstring parentKey;
    ASSERT_EQ(1, m_view.GetMarkKeyPath(m_root + L"\\docs", parentKey, kSandbox));
    UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_USERS, parentKey.substr(0, parentKey.find_last_of(L'\\')).c_str(), 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_USERS, parentKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, key.put(), nullptr));
    EXPECT_EQ(SBFS_DELETE_FAILED, m_view.DeleteItem(path, kSandbox, &m_context));
    EXPECT_TRUE(Listed(path));
    EXPECT_EQ(SBFS_DELETE_FAILED, m_view.DeleteItem(m_root + L"\\docs\\sub\\..\\x", kSandbox, &m_context));
    EXPECT_TRUE(m_primitives.notices.empty()) << "nothing was removed, so nothing is announced";
}

TEST_F(SandBoxWrites, InUseProbeTouchesOnlySandboxCopies)
{
    const std::wstring real = m_root + L"\\top.txt";
    UniqueFileHandle realHandle(CreateFileW(real.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(realHandle.valid());
    EXPECT_EQ(0, m_view.ProbeInUse(real, 0, kSandbox)) << "a real item needs only its mark";
    EXPECT_EQ(SBFS_REMOVED, m_view.DeleteItem(real, kSandbox, &m_context));
    EXPECT_EQ(0, m_primitives.questions);
    realHandle.reset();

    const std::wstring copy = m_root + L"\\busy.txt";
    MakeShadow(copy);
    UniqueFileHandle handle(CreateFileW(Shadow(copy).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    ASSERT_TRUE(handle.valid());
    EXPECT_EQ(1, m_view.ProbeInUse(copy, 0, kSandbox));
    EXPECT_EQ(1, m_view.ProbeInUseBoth(copy, 0, kSandbox));
    EXPECT_EQ(SBFS_DELETE_FAILED, m_view.DeleteItem(copy, kSandbox, &m_context)) << "the question was refused";
    EXPECT_EQ(1, m_primitives.questions);
    EXPECT_TRUE(Listed(copy));

    m_primitives.answers = {true};
    m_primitives.onQuestion = [&] { handle.reset(); };  // the user closes the program, then says retry
    EXPECT_EQ(SBFS_REMOVED, m_view.DeleteItem(copy, kSandbox, &m_context));
    EXPECT_EQ(2, m_primitives.questions);
    EXPECT_FALSE(PathFileExistsW(Shadow(copy).c_str()));

    const std::wstring folder = m_root + L"\\busy folder";
    ASSERT_EQ(SBFS_FOLDER_READY, m_view.MakeFolder(folder, kSandbox, nullptr));
    EXPECT_EQ(0, m_view.ProbeInUse(folder, 1, kSandbox));
    EXPECT_TRUE(PathIsDirectoryW(Shadow(folder).c_str())) << "renamed away and back";
}

TEST_F(SandBoxWrites, CopyInAndMoveIn)
{
    const std::wstring dest = m_root + L"\\dest";
    EXPECT_NE(0, m_view.CopyFileIn(m_root + L"\\top.txt", dest, kSandbox, 1, nullptr));
    EXPECT_EQ("top", ReadFileBytes(Shadow(dest + L"\\top.txt")));
    EXPECT_TRUE(Listed(m_root + L"\\top.txt")) << "a copy leaves its source";
    EXPECT_EQ(0, m_view.CopyFileIn(m_root + L"\\top.txt", dest, kSandbox, 1, nullptr)) << "the target exists";
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\docs\\a.txt", kSandbox));
    EXPECT_EQ(0, m_view.CopyFileIn(m_root + L"\\docs\\a.txt", dest, kSandbox, 1, nullptr)) << "deleted in the view";

    EXPECT_NE(0, m_view.MoveFileIn(m_root + L"\\app\\run.exe", dest, kSandbox, nullptr));
    EXPECT_EQ("MZ", ReadFileBytes(Shadow(dest + L"\\run.exe")));
    EXPECT_FALSE(Listed(m_root + L"\\app\\run.exe"));

    const std::wstring sandboxFile = m_root + L"\\made.txt";
    MakeShadow(sandboxFile, "made here");
    EXPECT_NE(0, m_view.MoveFileIn(sandboxFile, dest, kSandbox, nullptr));
    EXPECT_FALSE(PathFileExistsW(Shadow(sandboxFile).c_str()));
    EXPECT_EQ("made here", ReadFileBytes(Shadow(dest + L"\\made.txt")));
}

TEST_F(SandBoxWrites, MoveToAnotherDriveLeavesNothingVisibleBehind)
{
    const std::wstring scratch = ScratchFolderOnD(L"crossdrive");
    ASSERT_FALSE(scratch.empty());
    const std::wstring source = m_root + L"\\docs\\a.txt";
    MakeShadow(source, "edited in the sandbox");
    EXPECT_NE(0, m_view.MoveFileIn(source, scratch, kSandbox, nullptr));
    EXPECT_EQ("edited in the sandbox", ReadFileBytes(Shadow(scratch + L"\\a.txt")));
    EXPECT_FALSE(Listed(source)) << "neither the old sandbox copy nor the real file shows at the source";
    EXPECT_EQ(0, m_view.PathExists(source, kSandbox));
    RemoveTree(scratch);
}

TEST_F(SandBoxWrites, RenameAFileAndAFolder)
{
    const std::wstring old = m_root + L"\\top.txt";
    EXPECT_NE(0, m_view.MoveFile(old, m_root + L"\\renamed.txt", kSandbox, nullptr));
    EXPECT_FALSE(Listed(old));
    EXPECT_EQ("top", ReadFileBytes(Shadow(m_root + L"\\renamed.txt")));

    MakeShadow(m_root + L"\\taken.txt", "keep me");
    EXPECT_EQ(0, m_view.MoveFile(m_root + L"\\docs\\a.txt", m_root + L"\\taken.txt", kSandbox, nullptr));
    EXPECT_EQ("keep me", ReadFileBytes(Shadow(m_root + L"\\taken.txt"))) << "a taken name is not overwritten";
    EXPECT_TRUE(Listed(m_root + L"\\docs\\a.txt"));

    const std::wstring docs = m_root + L"\\docs";
    const std::wstring moved = m_root + L"\\papers";
    EXPECT_NE(0, m_view.MoveFolder(docs, moved, kSandbox, nullptr));
    EXPECT_FALSE(Listed(docs));
    for (const wchar_t* inner : {L"\\a.txt", L"\\sub\\b.txt", L"\\.hidden"}) {
        EXPECT_EQ(1, m_view.PathExists(moved + inner, kSandbox)) << testing::PrintToString(std::wstring(inner));
        EXPECT_EQ(0, m_view.PathExists(docs + inner, kSandbox)) << testing::PrintToString(std::wstring(inner));
    }
    EXPECT_EQ(0, m_view.MoveFolder(moved, moved + L"\\inside", kSandbox, nullptr)) << "into itself";
}

TEST_F(SandBoxWrites, TreeMovesCarryEveryEntryAndKeepAnUnreadableFolder)
{
    const std::wstring dest = m_root + L"\\dest";
    const std::wstring docs = m_root + L"\\docs";
    EXPECT_EQ(0, m_view.MoveTree(docs, docs + L"\\sub\\deeper", kSandbox)) << "into itself is refused";
    EXPECT_EQ(1, m_view.CopyTree(docs, dest + L"\\copy", kSandbox, 1));
    EXPECT_EQ("dot", ReadFileBytes(Shadow(dest + L"\\copy\\.hidden")));
    EXPECT_EQ(1, m_view.CopyList({m_root + L"\\app", m_root + L"\\top.txt"}, dest, kSandbox, 0));
    EXPECT_EQ("MZ", ReadFileBytes(Shadow(dest + L"\\app\\run.exe")));

    {
        UniqueFileHandle lock(CreateFileW((docs + L"\\sub").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        ASSERT_TRUE(lock.valid());
        EXPECT_EQ(0, m_view.MoveTree(docs, dest + L"\\moved", kSandbox));
    }
    EXPECT_EQ(1, m_view.PathExists(docs + L"\\sub\\b.txt", kSandbox)) << "an unreadable folder is not emptied";
    EXPECT_TRUE(Listed(docs + L"\\sub"));
    EXPECT_EQ(1, m_view.PathExists(dest + L"\\moved\\.hidden", kSandbox)) << "what could move, moved";
    EXPECT_EQ(0, m_view.PathExists(docs + L"\\.hidden", kSandbox));

    EXPECT_EQ(1, m_view.MoveList({docs}, dest, kSandbox));
    EXPECT_FALSE(Listed(docs));
    EXPECT_EQ(1, m_view.PathExists(dest + L"\\docs\\sub\\b.txt", kSandbox));
    EXPECT_EQ(1, m_view.DeleteList({dest + L"\\docs", m_root + L"\\top.txt"}, kSandbox, 1));
    EXPECT_FALSE(Listed(dest + L"\\docs"));
    EXPECT_FALSE(Listed(m_root + L"\\top.txt"));
}

TEST_F(SandBoxWrites, ShortcutNames)
{
    const std::wstring target = m_root + L"\\app\\run.exe";
    const std::wstring desk = m_root + L"\\desk";
    std::wstring link;
    ASSERT_EQ(1, m_view.CreateShortcut(target, desk, link, 0, kSandbox));
    EXPECT_EQ(desk + L"\\run.exe - 快捷方式.lnk", link);
    ASSERT_EQ(1, m_view.CreateShortcut(target, desk, link, 0, kSandbox));
    EXPECT_EQ(desk + L"\\run.exe - 快捷方式 (1).lnk", link);
    std::vector<FileItemRecord> items;
    ASSERT_EQ(1, m_view.ListFolder(desk, items, kSandbox));
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(kFileKindProgram, items[0].kind);
    EXPECT_EQ(1, items[0].isShortcut);

    ASSERT_EQ(1, m_view.CreateShortcut(desk + L"\\run.exe - 快捷方式.lnk", desk, link, 0, kSandbox));
    EXPECT_EQ(desk + L"\\run.exe - 快捷方式 (2).lnk", link) << "a shortcut of a shortcut takes the old name";
    std::wstring resolved;
    ASSERT_NE(0, m_view.ResolveShortcut(link, resolved, kSandbox));
    EXPECT_EQ(target, resolved);

    // A file of the chosen name blocks it also for a folder's shortcut, or the save would destroy it.
    MakeShadow(desk + L"\\docs - 快捷方式.lnk", "not a shortcut");
    ASSERT_EQ(1, m_view.CreateShortcut(m_root + L"\\docs", desk, link, 1, kSandbox));
    EXPECT_EQ(desk + L"\\docs - 快捷方式 (1).lnk", link);
    EXPECT_EQ("not a shortcut", ReadFileBytes(Shadow(desk + L"\\docs - 快捷方式.lnk")));
    EXPECT_EQ(0, m_view.CreateShortcut(m_root + L"\\gone.exe", desk, link, 0, kSandbox));
}

}  // namespace
}  // namespace veyra::test
