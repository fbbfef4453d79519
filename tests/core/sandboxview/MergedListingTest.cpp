#include <gtest/gtest.h>

#include "SandBoxViewFixture.h"
#include "base/UniqueResource.h"

namespace veyra::test {
namespace {

using MergedListing = SandBoxViewFixture;
using NameList = std::vector<std::wstring>;

TEST_F(MergedListing, SandboxCopyOverMarkOverReal)
{
    MakeReal(m_root + L"\\both.txt", "real");
    MakeShadow(m_root + L"\\both.txt", "sandbox copy");
    MakeReal(m_root + L"\\marked.txt");
    MakeReal(m_root + L"\\markedcopy.txt");
    MakeShadow(m_root + L"\\markedcopy.txt");
    MakeReal(m_root + L"\\real.txt");
    MakeShadow(m_root + L"\\new.txt");
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\marked.txt", kSandbox));
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\markedcopy.txt", kSandbox));

    std::vector<FileItemRecord> items;
    ASSERT_EQ(1, m_view.ListFolder(m_root, items, kSandbox));
    EXPECT_EQ((NameList{L"both.txt", L"markedcopy.txt", L"new.txt", L"real.txt"}), Names(m_root));
    const FileItemRecord* both = Find(items, L"both.txt");
    ASSERT_NE(nullptr, both);
    EXPECT_EQ(m_root + L"\\both.txt", both->path) << "records carry view paths";
    EXPECT_EQ(12u, both->sizeLow) << "the sandbox copy's size";
    EXPECT_EQ(kSandbox, both->sandboxId);
    EXPECT_EQ(kFileKindFile, both->kind);
}

TEST_F(MergedListing, EachRecordTellsWhichSideItWasListedFrom)
{
    MakeReal(m_root + L"\\real.txt");
    MakeReal(m_root + L"\\both.txt");
    MakeShadow(m_root + L"\\both.txt");
    MakeShadow(m_root + L"\\new.txt");
    MakeReal(m_root + L"\\tools\\run.exe");
    MakeShortcut(m_root + L"\\real.lnk", m_root + L"\\tools\\run.exe");
    MakeShadow(m_root + L"\\copied.lnk");
    CopyFileW((m_root + L"\\real.lnk").c_str(), Shadow(m_root + L"\\copied.lnk").c_str(), FALSE);

    std::vector<FileItemRecord> items;
    ASSERT_EQ(1, m_view.ListFolder(m_root, items, kSandbox));
    const std::pair<const wchar_t*, int> cases[] = {
        {L"real.txt", kOriginRealFolder}, {L"both.txt", kOriginSandboxCopy}, {L"new.txt", kOriginSandboxCopy},
        {L"tools", kOriginRealFolder},    {L"real.lnk", kOriginRealFolder}, {L"copied.lnk", kOriginSandboxCopy}};
    for (const auto& [name, origin] : cases) {
        const FileItemRecord* record = Find(items, name);
        ASSERT_NE(nullptr, record) << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(origin, record->origin) << testing::PrintToString(std::wstring(name));
    }
}

TEST_F(MergedListing, NamesCompareExactlyButMarksIgnoreCase)
{
    MakeReal(m_root + L"\\Readme.txt");
    MakeShadow(m_root + L"\\readme.txt");
    EXPECT_EQ((NameList{L"Readme.txt", L"readme.txt"}), Names(m_root));

    // A mark written in another letter case hides the real item both in resolution and in the listing.
    MakeReal(m_root + L"\\Report.doc");
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\REPORT.DOC", kSandbox));
    EXPECT_EQ(0, m_view.PathExists(m_root + L"\\Report.doc", kSandbox));
    EXPECT_EQ((NameList{L"Readme.txt", L"readme.txt"}), Names(m_root));
}

TEST_F(MergedListing, NoMergeShowsTheSandboxCopyAlone)
{
    MakeReal(m_root + L"\\real.txt");
    MakeShadow(m_root + L"\\copy.txt");
    m_view.ToggleNoMerge();
    EXPECT_EQ((NameList{L"copy.txt"}), Names(m_root));
    std::vector<FileItemRecord> drive;
    ASSERT_EQ(1, m_view.ListFolder(L"D:\\", drive, kSandbox));
    EXPECT_TRUE(drive.empty()) << "no sandbox copy on D: lists as an empty drive";
    m_view.ToggleNoMerge();
    EXPECT_EQ((NameList{L"copy.txt", L"real.txt"}), Names(m_root));
}

TEST_F(MergedListing, HiddenFoldersAndDotNames)
{
    MakeReal(m_root + L"\\.profile");
    MakeShadow(m_root + L"\\.cache");
    MakeReal(m_root + L"\\hidden.txt");
    ASSERT_TRUE(SetFileAttributesW((m_root + L"\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ((NameList{L"hidden.txt"}), Names(m_root));
    EXPECT_EQ((NameList{L".cache", L".profile", L"hidden.txt"}), Names(m_root, ListingScope::Everything));
    EXPECT_EQ(1, m_view.NameExistsInFolder(m_root, L".PROFILE", 0, kSandbox)) << "a new name must not land on it";

    EXPECT_EQ(NameList{}, Names(m_root + L"\\nowhere")) << "a folder that is nowhere is empty";
}

TEST_F(MergedListing, DriveRootHidesTheSandboxRootAndTheRecycleBin)
{
    MakeShadow(L"C:\\veyra-listing-probe.txt");
    const NameList root = Names(L"C:\\");
    EXPECT_NE(root.end(), std::find(root.begin(), root.end(), L"veyra-listing-probe.txt"));
    for (const auto& name : root) {
        EXPECT_NE(L"KavoSANDBOX", name);
        EXPECT_NE(L"$Recycle.Bin", name);
    }
    EXPECT_EQ(NameList{}, Names(L"C:\\KavoSANDBOX"));
    EXPECT_EQ(NameList{}, Names(L"C:\\$Recycle.Bin\\S-1-5-21"));
    EXPECT_EQ(0, m_view.IsListed(L"c:\\kavosandbox"));
    EXPECT_EQ(1, m_view.IsListed(L"C:\\KavoSANDBOX\\SHADOW"));
}

TEST_F(MergedListing, KindsAndShortcutRules)
{
    MakeReal(m_root + L"\\Setup.EXE");
    MakeReal(m_root + L"\\notes.txt");
    MakeReal(m_root + L"\\tools\\run.exe");
    MakeReal(m_root + L"\\victim.exe");
    MakeShortcut(m_root + L"\\folder.lnk", m_root + L"\\tools");
    MakeShortcut(m_root + L"\\program.LNK", m_root + L"\\tools\\run.exe");
    MakeShortcut(m_root + L"\\broken.lnk", m_root + L"\\gone.txt");
    MakeShortcut(m_root + L"\\deleted.lnk", m_root + L"\\victim.exe");
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\victim.exe", kSandbox));

    std::vector<FileItemRecord> items;
    ASSERT_EQ(1, m_view.ListFolder(m_root, items, kSandbox));
    struct Case {
        const wchar_t* name;
        int kind;
        int isShortcut;
    };
    const Case cases[] = {{L"Setup.EXE", kFileKindProgram, 0}, {L"notes.txt", kFileKindFile, 0},
                          {L"tools", kFileKindFolder, 0},      {L"folder.lnk", kFileKindFolder, 1},
                          {L"program.LNK", kFileKindProgram, 1}};
    EXPECT_EQ(std::size(cases), items.size());
    for (const auto& item : cases) {
        const FileItemRecord* record = Find(items, item.name);
        ASSERT_NE(nullptr, record) << testing::PrintToString(std::wstring(item.name));
        EXPECT_EQ(item.kind, record->kind) << testing::PrintToString(std::wstring(item.name));
        EXPECT_EQ(item.isShortcut, record->isShortcut) << testing::PrintToString(std::wstring(item.name));
    }
    EXPECT_EQ(nullptr, Find(items, L"broken.lnk"));
    EXPECT_EQ(nullptr, Find(items, L"deleted.lnk")) << "its target is deleted in the sandbox";
    const NameList everything = Names(m_root, ListingScope::Everything);
    EXPECT_NE(everything.end(), std::find(everything.begin(), everything.end(), L"broken.lnk"))
        << "the workers still see dead shortcuts";

    int isShortcut = 0;
    EXPECT_EQ(kFileKindFolder, m_view.GetPathKind(m_root + L"\\folder.lnk", isShortcut, kSandbox));
    EXPECT_EQ(1, isShortcut);
    EXPECT_EQ(kFileKindProgram, m_view.GetPathKind(m_root + L"\\deleted.lnk", isShortcut, kSandbox));
    EXPECT_EQ(kFileKindFile, m_view.GetPathKind(m_root + L"\\tools", isShortcut, kSandbox));
    EXPECT_EQ(0, isShortcut);
}

TEST_F(MergedListing, RecordBuilderEdges)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    data.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    data.nFileSizeLow = 5;
    FileItemRecord item;
    EXPECT_EQ(kFileKindNone, item.kind);
    ASSERT_EQ(1, m_view.BuildFileItem(item, L"C:\\x", L".lnk", data, 3));
    EXPECT_EQ(0, item.isShortcut) << "a file named just .lnk is no shortcut";
    EXPECT_EQ(L"C:\\x\\.lnk", item.path);
    EXPECT_EQ(3, item.sandboxId);
    EXPECT_EQ(5u, item.sizeLow);
    FileItemRecord rootItem;
    ASSERT_EQ(1, m_view.BuildFileItem(rootItem, L"C:\\", L"a.exe", data, 0));
    EXPECT_EQ(L"C:\\a.exe", rootItem.path);
    EXPECT_EQ(kFileKindProgram, rootItem.kind);
}

TEST_F(MergedListing, SingleItemRawListingNameTestAndDrives)
{
    MakeReal(m_root + L"\\a.txt", "real");
    MakeShadow(m_root + L"\\a.txt", "sandbox");
    MakeReal(m_root + L"\\sub\\x.exe");
    FileItemRecord item;
    ASSERT_EQ(1, m_view.GetFileItem(item, m_root + L"\\a.txt", kSandbox));
    EXPECT_EQ(m_root + L"\\a.txt", item.path);
    EXPECT_EQ(7u, item.sizeLow);
    EXPECT_EQ(0, m_view.GetFileItem(item, m_root + L"\\none.txt", kSandbox));

    FileItemMap raw;
    ASSERT_EQ(1, m_view.ListRawRealFolder(m_root, raw));
    ASSERT_EQ(2u, raw.size());
    EXPECT_EQ(kFileKindFolder, raw[L"sub"].kind);
    EXPECT_EQ(0, raw[L"a.txt"].sandboxId);

    EXPECT_EQ(1, m_view.NameExistsInFolder(m_root, L"A.TXT", 0, kSandbox));
    EXPECT_EQ(0, m_view.NameExistsInFolder(m_root, L"A.TXT", 1, kSandbox));
    EXPECT_EQ(1, m_view.NameExistsInFolder(m_root, L"SUB", 1, kSandbox));
    EXPECT_EQ(0, m_view.NameExistsInFolder(m_root, L"b.txt", 0, kSandbox));

    std::vector<FileItemRecord> drives;
    ASSERT_EQ(1, m_view.ListFolder(L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", drives, kSandbox));
    const FileItemRecord* d = nullptr;
    for (const auto& drive : drives) {
        EXPECT_EQ(2u, drive.path.size());
        EXPECT_EQ(kFileKindDrive, drive.kind);
        d = drive.path == L"D:" ? &drive : d;
    }
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(static_cast<int>(GetDriveTypeW(L"D:\\")), d->driveType);
}

TEST_F(MergedListing, AnUnreadableFolderIsAnErrorNotAnEmptyFolder)
{
    MakeReal(m_root + L"\\locked\\inside.txt");
    // Wine: the folder cannot be made unreadable by access rights here (tests run as root); an open handle
    // that shares nothing makes every other open of the folder, the listing's too, fail instead.
    UniqueFileHandle lock(CreateFileW((m_root + L"\\locked").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(lock.valid());
    WIN32_FIND_DATAW found;
    UniqueFindHandle probe(FindFirstFileW((m_root + L"\\locked\\*").c_str(), &found));
    if (probe) {
        GTEST_SKIP() << "this Wine lists a folder that another handle holds without sharing";
    }
    std::vector<FileItemRecord> items;
    EXPECT_EQ(0, m_view.ListFolder(m_root + L"\\locked", items, kSandbox));
    EXPECT_EQ(0, m_view.DeleteFolder(m_root + L"\\locked", kSandbox, 1, nullptr)) << "not empty: unreadable";
    lock.reset();
    EXPECT_EQ(1, m_view.PathExists(m_root + L"\\locked\\inside.txt", kSandbox));
}

}  // namespace
}  // namespace veyra::test
