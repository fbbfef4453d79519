#include "core/shellutil/FileKinds.h"

#include <gtest/gtest.h>

namespace veyra {
namespace {

TEST(FileKinds, ImageAndIconFilesByExtension)
{
    struct Case {
        const wchar_t* path;
        int image;
        int icon;
    };
    const Case cases[] = {
        {L"C:\\a.bmp", 1, 0},       {L"C:\\a.JPG", 1, 0},          {L"C:\\a.jpeg", 1, 0},
        {L"C:\\a.Png", 1, 0},       {L"C:\\a.gif", 1, 0},          {L"C:\\a.ico", 0, 1},
        {L"C:\\a.ICO", 0, 1},       {L"C:\\a.tif", 0, 0},          {L"C:\\a.png.txt", 0, 0},
        {L"C:\\png", 0, 0},         {L"C:\\dir.png\\file", 0, 0},  {L"C:\\a.pngx", 0, 0},
        {L"", 0, 0},                {nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.path ? c.path : L"(null)"));
        EXPECT_EQ(IsImageFile(c.path), c.image);
        EXPECT_EQ(IsIconFile(c.path), c.icon);
    }
}

TEST(FileKinds, SpecialFolders)
{
    struct Case {
        const wchar_t* path;
        int special;
    };
    const Case cases[] = {
        {L"C:", 1},
        {L"d:", 1},
        {L"C:\\", 0},
        {L"C:\\Windows", 0},
        {L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", 1},
        {L"::{20d04fe0-3aea-1069-a2d8-08002b30309d}", 0},  // My Computer's name compares exactly
        {L"C:\\Users\\控制面板\\x", 1},
        {L"控制面板", 1},
        {L":", 0},
        {L"", 0},
        {nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.path ? c.path : L"(null)"));
        EXPECT_EQ(IsSpecialFolder(c.path), c.special);
    }
}

}  // namespace
}  // namespace veyra
