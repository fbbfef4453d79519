#include <gtest/gtest.h>

#include "shell/dialogs/BoxTexts.h"

namespace veyra::test {
namespace {

using namespace dialogs;

TEST(BoxTexts, EachTypeGetsItsButtonSetWithTheOptionalTextsInTheirPlaces)
{
    struct Case {
        int type;
        BoxMode mode;
        std::wstring text1, text2, text3;
        std::vector<std::pair<USHORT, std::wstring>> rightToLeft;
    };
    const Case cases[] = {
        {MB_YESNO | MB_ICONQUESTION, BoxMode::Modeless, L"", L"", L"", {{8005, L"否"}, {8004, L"是"}}},
        {MB_YESNO, BoxMode::Modeless, L"unused", L"重试", L"取消", {{8005, L"取消"}, {8004, L"重试"}}},
        {MB_YESNOCANCEL, BoxMode::Modal, L"", L"", L"", {{8006, L"取消"}, {8005, L"否"}, {8004, L"是"}}},
        {MB_YESNOCANCEL, BoxMode::Modal, L"1", L"2", L"3", {{8006, L"3"}, {8005, L"2"}, {8004, L"1"}}},
        {MB_YESNOCANCEL, BoxMode::Modeless, L"", L"", L"", {}},
        {MB_OK | MB_ICONHAND, BoxMode::Modal, L"", L"", L"", {{8004, L"确定"}}},
        {MB_OK, BoxMode::Modeless, L"知道了", L"", L"", {{8004, L"知道了"}}},
        {MB_RETRYCANCEL, BoxMode::Modal, L"", L"", L"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const std::vector<BoxButton> buttons = ButtonSet(c.type, c.mode, c.text1, c.text2, c.text3);
        ASSERT_EQ(buttons.size(), c.rightToLeft.size());
        for (std::size_t index = 0; index < buttons.size(); ++index) {
            EXPECT_EQ(buttons[index].id, c.rightToLeft[index].first);
            EXPECT_EQ(buttons[index].text, c.rightToLeft[index].second);
            const int answer = buttons[index].id == 8004 ? IDYES : buttons[index].id == 8005 ? IDNO : IDCANCEL;
            EXPECT_EQ(buttons[index].answer, answer);
        }
    }
}

TEST(BoxTexts, ButtonsStandRightToLeftSeventySevenPixelsApart)
{
    const RECT body{0, 30, 340, 155};
    EXPECT_EQ(ButtonRect(body, 0).left, 248);
    EXPECT_EQ(ButtonRect(body, 0).right, 310);
    EXPECT_EQ(ButtonRect(body, 0).top, 118);
    EXPECT_EQ(ButtonRect(body, 0).bottom, 140);
    EXPECT_EQ(ButtonRect(body, 2).left, 248 - 154);
}

TEST(BoxTexts, TheIconFollowsTheTypesIconBits)
{
    EXPECT_STREQ(IconImageName(0x10), L"IDI_ICONHAND");
    EXPECT_STREQ(IconImageName(0x24), L"IDI_ICONQUESTION");
    EXPECT_STREQ(IconImageName(0x34), L"IDI_ICONEXCLAMATION");
    EXPECT_STREQ(IconImageName(0x40), L"IDI_ICONASTERISK");
    EXPECT_STREQ(IconImageName(0x04), L"IDI_ICONASTERISK");
}

TEST(BoxTexts, TheConflictWordingsKeepTheirSpacesAndLineFeeds)
{
    const ReplaceWording copy = ReplaceBoxWording(1, L"a.txt", L"C:\\src", L"C:\\dst", L"a (2).txt");
    EXPECT_EQ(copy.title, L"复制文件");
    EXPECT_EQ(copy.replace, L" 复制并替换 \n    使用正在复制的文件替换目标文件\n    a.txt(C:\\src)");
    EXPECT_EQ(copy.skip, L" 不要复制 \n    不更改任何文件，不替换目标文件\n    a.txt(C:\\dst)");
    EXPECT_EQ(copy.keepBoth, L" 复制并保留这两个文件 \n    将复制的文件重命名为：a (2).txt");
    const ReplaceWording move = ReplaceBoxWording(2, L"a.txt", L"C:\\src", L"C:\\dst", L"a (2).txt");
    EXPECT_EQ(move.title, L"移动文件");
    EXPECT_EQ(move.replace, L" 移动并替换 \n    使用正在移动的文件替换目标文件\n    a.txt(C:\\src)");
    EXPECT_EQ(move.skip, L" 不要移动 \n    不更改任何文件，不替换目标文件\n    a.txt(C:\\dst)");
    EXPECT_EQ(move.keepBoth, L" 移动并保留这两个文件 \n    将移动的文件重命名为：a (2).txt");
    const ReplaceWording other = ReplaceBoxWording(1 | 0x10, L"a", L"s", L"t", L"n");
    EXPECT_EQ(other.title, L"") << "the layout's own title stays";
    EXPECT_EQ(other.replace.substr(0, 7), L" 复制并替换 ");
}

}  // namespace
}  // namespace veyra::test
