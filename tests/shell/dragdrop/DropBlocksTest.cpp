// The blocks a drag carries: the CF_HDROP list built for a drag and read back the way every target of
// the program reads it (GetDroppedPaths), the path-list builder's sizes, and the drop description.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/shellutil/DroppedPaths.h"
#include "shell/dragdrop/DropBlocks.h"
#include "tests/shell/dragdrop/DragTestSupport.h"

using namespace veyra;
using namespace veyra::test;

namespace {

std::vector<BYTE> BlockBytes(HGLOBAL block)
{
    std::vector<BYTE> bytes(GlobalSize(block));
    if (const void* at = GlobalLock(block)) {
        std::memcpy(bytes.data(), at, bytes.size());
        GlobalUnlock(block);
    }
    return bytes;
}

std::vector<std::wstring> ManyPaths(size_t count)
{
    std::vector<std::wstring> paths;
    for (size_t index = 0; index < count; ++index) {
        paths.push_back(L"C:\\folder\\item " + std::to_wstring(index) + L".txt");
    }
    return paths;
}

TEST(FileDropBlockTest, RoundTripThroughTheDataObject)
{
    const std::wstring longest = L"C:\\" + std::wstring(256, L'n');  // 259 characters
    struct Case {
        const char* name;
        std::vector<std::wstring> paths;
    } const cases[] = {
        {"one path", {L"C:\\a\\file.txt"}},
        {"150 paths", ManyPaths(150)},
        {"a 259-character path", {longest}},
        {"CJK names", {L"C:\\用户\\新建文本文档.txt", L"D:\\資料夾\\写真.png"}},
        {"a drive and a folder", {L"D:\\", L"C:\\a b\\c"}},
    };
    for (const Case& c : cases) {
        UniqueGlobal block = BuildFileDropBlock(c.paths);
        ASSERT_TRUE(block) << c.name;
        size_t characters = 1;
        for (const std::wstring& path : c.paths) {
            characters += path.size() + 1;
        }
        const std::vector<BYTE> bytes = BlockBytes(block.get());
        ASSERT_GE(bytes.size(), 20 + characters * 2) << c.name;
        DROPFILES header;
        std::memcpy(&header, bytes.data(), sizeof(header));
        EXPECT_EQ(sizeof(DROPFILES), 20u);
        EXPECT_EQ(header.pFiles, 20u) << c.name;
        EXPECT_EQ(header.pt.x, 0) << c.name;
        EXPECT_EQ(header.pt.y, 0) << c.name;
        EXPECT_EQ(header.fNC, FALSE) << c.name;
        EXPECT_EQ(header.fWide, TRUE) << c.name;
        // The list ends in two NULs right after the last path.
        EXPECT_EQ(bytes[20 + characters * 2 - 1], 0) << c.name;
        EXPECT_EQ(bytes[20 + characters * 2 - 2], 0) << c.name;
        EXPECT_EQ(bytes[20 + characters * 2 - 4], 0) << c.name;

        ComPtr<CIDataObject> data = MakeFileDataObject(c.paths);
        std::vector<std::wstring> read;
        EXPECT_EQ(GetDroppedPaths(data.get(), read), 1) << c.name;
        EXPECT_EQ(read, c.paths) << c.name;
    }
}

TEST(FileDropBlockTest, RefusesWhatNoTargetCouldTake)
{
    const std::wstring overLong = L"C:\\" + std::wstring(257, L'n');  // 260 characters
    struct Case {
        const char* name;
        std::vector<std::wstring> paths;
    } const cases[] = {
        {"no paths", {}},
        {"an over-long path among good ones", {L"C:\\a", overLong}},
        {"an empty path, which would end the list early", {L"C:\\a", L"", L"C:\\b"}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(BuildFileDropBlock(c.paths)) << c.name;
        std::vector<std::wstring> read;
        EXPECT_EQ(GetDroppedPaths(MakeFileDataObject(c.paths).get(), read), 0) << c.name;
        EXPECT_TRUE(read.empty()) << c.name;
    }
}

// Blocks from other programs, as a target meets them: the reader takes what lies inside the block only.
TEST(FileDropBlockTest, ForeignBlocksReadWithinTheirSize)
{
    DROPFILES wide{};
    wide.pFiles = sizeof(DROPFILES);
    wide.fWide = TRUE;
    const wchar_t cut[] = L"C:\\whole\0C:\\cu";  // the second name has no terminator inside the block
    std::vector<BYTE> cutBlock(sizeof(wide) + sizeof(cut) - sizeof(wchar_t));
    std::memcpy(cutBlock.data(), &wide, sizeof(wide));
    std::memcpy(cutBlock.data() + sizeof(wide), cut, sizeof(cut) - sizeof(wchar_t));

    DROPFILES ansi{};
    ansi.pFiles = sizeof(DROPFILES);
    const char ansiNames[] = "C:\\one\0C:\\two\0";
    std::vector<BYTE> ansiBlock(sizeof(ansi) + sizeof(ansiNames));
    std::memcpy(ansiBlock.data(), &ansi, sizeof(ansi));
    std::memcpy(ansiBlock.data() + sizeof(ansi), ansiNames, sizeof(ansiNames));

    DROPFILES outside = wide;
    outside.pFiles = 4000;
    std::vector<BYTE> outsideBlock(sizeof(outside) + 8);
    std::memcpy(outsideBlock.data(), &outside, sizeof(outside));

    struct Case {
        const char* name;
        std::vector<BYTE> block;
        int result;
        std::vector<std::wstring> paths;
    } const cases[] = {
        {"a name cut off by the end", cutBlock, 1, {L"C:\\whole"}},
        {"ANSI names", ansiBlock, 1, {L"C:\\one", L"C:\\two"}},
        {"a list offset past the block", outsideBlock, 0, {}},
        {"only a header", std::vector<BYTE>(sizeof(DROPFILES)), 0, {}},
    };
    for (const Case& c : cases) {
        ComPtr<CIDataObject> data = ComPtr<CIDataObject>::Adopt(new CIDataObject());
        ASSERT_EQ(SetGlobalData(data.get(), CF_HDROP, c.block.data(), c.block.size()), S_OK) << c.name;
        std::vector<std::wstring> read;
        EXPECT_EQ(GetDroppedPaths(data.get(), read), c.result) << c.name;
        EXPECT_EQ(read, c.paths) << c.name;
    }
}

TEST(PathListTest, SizeAndLayoutFollowTheParts)
{
    const std::vector<std::wstring> paths = {L"ab", L"cde"};
    const char header[6] = {'h', 'e', 'a', 'd', 'e', 'r'};
    struct Case {
        const char* name;
        const wchar_t* suffix;
        bool nulAfterEach;
        const void* header;
        size_t headerBytes;
        std::wstring text;  // the characters after the header
    } const cases[] = {
        {"NUL after each", nullptr, true, nullptr, 0, std::wstring(L"ab\0cde\0\0", 8)},
        {"a suffix and no NULs", L"|", false, nullptr, 0, std::wstring(L"ab|cde|\0", 8)},
        {"suffix, NULs and a header", L"/", true, header, sizeof(header), std::wstring(L"ab/\0cde/\0\0", 10)},
    };
    for (const Case& c : cases) {
        UniqueGlobal block = BuildPathList(paths, GMEM_MOVEABLE, c.suffix, c.nulAfterEach, c.header, c.headerBytes);
        ASSERT_TRUE(block) << c.name;
        const std::vector<BYTE> bytes = BlockBytes(block.get());
        ASSERT_GE(bytes.size(), c.headerBytes + c.text.size() * 2) << c.name;
        EXPECT_EQ(std::memcmp(bytes.data(), header, c.headerBytes), 0) << c.name;
        std::wstring text(c.text.size(), L'?');
        std::memcpy(text.data(), bytes.data() + c.headerBytes, text.size() * 2);
        EXPECT_EQ(text, c.text) << c.name;
    }
    // The drag's block is shareable moveable memory, as every drag target expects.
    UniqueGlobal drag = BuildFileDropBlock(paths);
    ASSERT_TRUE(drag);
    EXPECT_EQ(kDragBlockFlags, static_cast<UINT>(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE));
    EXPECT_NE(GlobalLock(drag.get()), nullptr);
    GlobalUnlock(drag.get());
}

TEST(DropDescriptionTest, FixedFieldsAndCutTexts)
{
    EXPECT_NE(DropDescriptionFormat(), 0);
    EXPECT_NE(DragWindowFormat(), 0);
    EXPECT_NE(DropDescriptionFormat(), DragWindowFormat());
    const std::wstring long300(300, L'x');
    struct Case {
        const char* name;
        DropImage type;
        std::wstring message;
        std::wstring insert;
        std::wstring messageRead;
        std::wstring insertRead;
    } const cases[] = {
        {"copy", DropImage::Copy, L"复制到 %1", L"b", L"复制到 %1", L"b"},
        {"move", DropImage::Move, L"移动到 %1", L"虚拟桌面", L"移动到 %1", L"虚拟桌面"},
        {"invalid with empty texts", DropImage::Invalid, L"", L"", L"", L""},
        {"none", DropImage::None, L"", L"", L"", L""},
        {"texts past 259 are cut", DropImage::Copy, long300, long300, long300.substr(0, 259), long300.substr(0, 259)},
    };
    for (const Case& c : cases) {
        UniqueGlobal block = BuildDropDescription(c.type, c.message, c.insert);
        ASSERT_TRUE(block) << c.name;
        const std::vector<BYTE> bytes = BlockBytes(block.get());
        ASSERT_EQ(bytes.size(), 1044u) << c.name;
        std::int32_t type;
        std::memcpy(&type, bytes.data(), 4);
        EXPECT_EQ(type, static_cast<std::int32_t>(c.type)) << c.name;
        const wchar_t* message = reinterpret_cast<const wchar_t*>(bytes.data() + 4);
        const wchar_t* insert = reinterpret_cast<const wchar_t*>(bytes.data() + 524);
        EXPECT_EQ(std::wstring(message, wcsnlen(message, 260)), c.messageRead) << c.name;
        EXPECT_EQ(std::wstring(insert, wcsnlen(insert, 260)), c.insertRead) << c.name;
    }
}

}  // namespace
