// The task manager's rows and header without a window, and the texts of the settings menu and the
// introduction.

#include <gtest/gtest.h>

#include <cstring>

#include "shell/introduction/NsIntroductionDlg.h"
#include "shell/settings/NsSettingDlg.h"
#include "shell/taskmgr/TaskListLayout.h"
#include "tests/support/RectAssertions.h"

using namespace veyra;

namespace {

ProcessEntry Process(DWORD id, const wchar_t* image)
{
    ProcessEntry entry{};
    entry.record.processId = id;
    wcsncpy(entry.record.imagePath, image, kSbRuleImagePathChars - 1);
    return entry;
}

TEST(TaskListLayout, RowTextsAreTheImageNameAndTheDecimalId)
{
    struct Case {
        DWORD id;
        const wchar_t* image;
        const wchar_t* name;
        const wchar_t* idText;
    } const cases[] = {
        {320, L"C:\\Program Files\\Tools\\edit.exe", L"edit.exe", L"320"},
        {4294967295u, L"D:\\测试\\程序.exe", L"程序.exe", L"4294967295"},
        {7, L"plain.exe", L"plain.exe", L"7"},
        {8, L"", L"", L"8"},
    };
    for (const Case& test : cases) {
        const TaskRowText text = TaskRowTextOf(Process(test.id, test.image));
        EXPECT_EQ(text.name, test.name) << test.image;
        EXPECT_EQ(text.id, test.idText) << test.image;
    }
}

TEST(TaskListLayout, AnUnterminatedImagePathIsReadWithinItsField)
{
    ProcessEntry entry = Process(9, L"");
    std::fill(std::begin(entry.record.imagePath), std::end(entry.record.imagePath), L'x');
    EXPECT_EQ(TaskRowTextOf(entry).name.size(), kSbRuleImagePathChars - 1);
}

TEST(TaskListLayout, RowsSplitFromTheLeftAndTheHeaderFromTheRight)
{
    const RECT list{1, 58, 299, 283};  // the layout's list 7002
    const TaskRowCells row = TaskRowCellsIn(list);
    EXPECT_TRUE(test::SameRect(row.row, RECT{1, 58, 299, 83}));
    EXPECT_TRUE(test::SameRect(row.name, RECT{1, 58, 201, 83}));
    EXPECT_TRUE(test::SameRect(row.id, RECT{201, 58, 299, 83}));
    const TaskHeaderColumns header = TaskHeaderColumnsOver(list);
    EXPECT_TRUE(test::SameRect(header.strip, RECT{1, 30, 299, 58}));
    EXPECT_TRUE(test::SameRect(header.name, RECT{1, 30, 99, 58}));
    EXPECT_TRUE(test::SameRect(header.id, RECT{99, 30, 299, 58}));
}

TEST(TaskListLayout, EndProcessOnlyWithRows)
{
    EXPECT_FALSE(EndProcessEnabled(0));
    EXPECT_TRUE(EndProcessEnabled(1));
    EXPECT_TRUE(EndProcessEnabled(40));
}

TEST(MenuTexts, MergeRowNamesWhatAClickWillDo)
{
    EXPECT_STREQ(MergeRowText(0), L"  只显示虚拟系统文件");
    EXPECT_STREQ(MergeRowText(1), L"  显示系统文件");
}

TEST(MenuTexts, IntroductionButtonSaysWhatItWillDo)
{
    EXPECT_STREQ(IntroductionButtonText(true), L"立即体验");
    EXPECT_STREQ(IntroductionButtonText(false), L"立即开启");
}

}  // namespace
