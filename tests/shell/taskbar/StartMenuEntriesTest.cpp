// The start menu's rows without a window: order, kinds, captions, the .DIR filter and the places.

#include <gtest/gtest.h>

#include "shell/startmenu/StartMenuEntries.h"
#include "tests/support/RectAssertions.h"

using namespace veyra;

namespace {

FileItemRecord Entry(const std::wstring& path, int kind, int isShortcut = 0)
{
    FileItemRecord record;
    record.path = path;
    record.kind = kind;
    record.isShortcut = isShortcut;
    return record;
}

TEST(StartMenuEntries, ProgramsThenFilesThenFoldersEachByNameInCodeUnitOrder)
{
    std::vector<FileItemRecord> entries = {
        Entry(L"C:\\P\\b folder", kFileKindFolder), Entry(L"C:\\P\\zeta.exe", kFileKindProgram),
        Entry(L"C:\\P\\Readme.txt", kFileKindFile), Entry(L"C:\\P\\A folder", kFileKindFolder),
        Entry(L"C:\\P\\alpha.exe", kFileKindProgram), Entry(L"C:\\P\\Zed.exe", kFileKindProgram),
    };
    SortStartMenuEntries(entries);
    const wchar_t* const expected[] = {L"C:\\P\\Zed.exe",    L"C:\\P\\alpha.exe", L"C:\\P\\zeta.exe",
                                       L"C:\\P\\Readme.txt", L"C:\\P\\A folder",  L"C:\\P\\b folder"};
    ASSERT_EQ(entries.size(), std::size(expected));
    for (size_t index = 0; index < entries.size(); ++index) {
        EXPECT_EQ(entries[index].path, expected[index]) << index;
    }
}

TEST(StartMenuEntries, KindAndCaptionOfEachRow)
{
    struct Case {
        const wchar_t* path;
        int kind;
        int isShortcut;
        const wchar_t* target;
        StartRowKind rowKind;
        const wchar_t* caption;
    } const cases[] = {
        {L"C:\\P\\Editor.lnk", kFileKindProgram, 1, L"C:\\Tools\\edit.exe", StartRowKind::File, L"Editor"},
        {L"C:\\P\\Site.url.lnk", kFileKindFile, 1, L"C:\\Links\\Site.url", StartRowKind::WebLink, L"Site"},
        {L"C:\\P\\Help.lnk", kFileKindFile, 1, L"C:\\Docs\\help.html", StartRowKind::WebLink, L"Help"},
        {L"C:\\P\\Page.htm", kFileKindFile, 0, L"C:\\P\\Page.htm", StartRowKind::WebLink, L"Page.htm"},
        {L"C:\\P\\Games", kFileKindFolder, 0, L"C:\\P\\Games", StartRowKind::Folder, L"Games"},
        {L"C:\\P\\Tools.lnk", kFileKindFolder, 1, L"C:\\Tools", StartRowKind::Folder, L"Tools"},
        {L"C:\\P\\notes.txt", kFileKindFile, 0, L"C:\\P\\notes.txt", StartRowKind::File, L"notes.txt"},
        {L"C:\\P\\a.url", kFileKindFile, 0, L"url", StartRowKind::File, L"a.url"},  // a target of 3 characters
    };
    for (const Case& test : cases) {
        const FileItemRecord entry = Entry(test.path, test.kind, test.isShortcut);
        const StartRowKind kind = StartRowKindOf(entry, test.target);
        EXPECT_EQ(kind, test.rowKind) << test.path;
        EXPECT_EQ(StartRowCaption(entry, kind), test.caption) << test.path;
    }
}

TEST(StartMenuEntries, DirEntriesOfAnExpandedFolderAreLeftOut)
{
    struct Case {
        const wchar_t* path;
        bool hidden;
    } const cases[] = {
        {L"C:\\P\\Games\\Cards.DIR", true}, {L"C:\\P\\Games\\cards.dir", true}, {L"C:\\P\\Games\\Cards.Dir", true},
        {L"C:\\P\\Games\\Cards.DIRX", false}, {L"C:\\P\\Games\\DIR", false},     {L"C:\\P\\Games\\Cards.lnk", false},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(IsHiddenChildEntry(Entry(test.path, kFileKindFile)), test.hidden) << test.path;
    }
}

TEST(StartMenuEntries, IconAndCaptionPlacesFollowTheIndent)
{
    const RECT row{0, 0, 255, kStartRowHeight};
    struct Case {
        int indent;
        RECT icon;
        RECT caption;
    } const cases[] = {
        {0, RECT{6, 6, 22, 22}, RECT{25, 6, 253, 22}},
        {kStartChildIndent, RECT{19, 6, 35, 22}, RECT{38, 6, 253, 22}},
        {2 * kStartChildIndent, RECT{38, 6, 54, 22}, RECT{57, 6, 253, 22}},
    };
    for (const Case& test : cases) {
        const StartRowPlaces places = StartRowPlacesIn(row, test.indent);
        EXPECT_TRUE(test::SameRect(places.icon, test.icon)) << test.indent;
        EXPECT_TRUE(test::SameRect(places.caption, test.caption)) << test.indent;
    }
}

}  // namespace
