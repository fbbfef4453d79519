#include <gtest/gtest.h>

#include "core/fileops/OperationPrompts.h"
#include "shell/dialogs/BoxRuns.h"
#include "shell/dialogs/CShellPrompts.h"
#include "shell/dialogs/NsMessageBoxBase.h"
#include "tests/shell/dialogs/BoxFixture.h"
#include "tests/support/SkinWindowProbe.h"

namespace veyra::test {
namespace {

using dialogs::NsMessageBoxBase;

constexpr USHORT kYes = 8004;
constexpr USHORT kNo = 8005;
constexpr USHORT kCancel = 8006;

class MessageBoxes : public BoxFixture {
protected:
    FileOperationContext Context(int count = 1, std::wstring source = std::wstring())
    {
        FileOperationContext context;
        context.Initialise(host->Handle(), OperationType::kDelete, nullptr, kSandbox);
        context.count = count;
        context.sourcePath = std::move(source);
        return context;
    }

    // The shown box's dump, once its buttons are there.
    std::string BoxDump(HWND& box)
    {
        box = WaitForShownWindow(kMessageBoxClass);
        EXPECT_NE(box, nullptr) << "no box was shown";
        return box ? WaitForField(box, kYes, "visible", "1") : std::string();
    }
};

// Each question of the file operations, asked from a thread of its own as the workers and the rename
// checks ask it: caption, text, icon, buttons, and the result each button gives.
TEST_F(MessageBoxes, EachQuestionShowsItsWordsAndEachButtonAnswers)
{
    struct Case {
        const char* name;
        int (*ask)(FileOperationContext*);
        int count;
        const wchar_t* source;
        const char* caption;
        const char* text;
        const char* icon;
        const char* yesText;
        const char* noText;  // nullptr: an OK box
        USHORT click;
        int result;
    };
    const Case cases[] = {
        {"delete one, yes", &ConfirmDeleteItem, 1, L"C:\\data\\report.txt", "删除文件", "确定要删除吗？ report.txt(C:\\data)",
         "IDI_ICONQUESTION", "是", "否", kYes, 1},
        {"delete one, no", &ConfirmDeleteItem, 1, L"C:\\data\\report.txt", "删除文件", "确定要删除吗？ report.txt(C:\\data)",
         "IDI_ICONQUESTION", "是", "否", kNo, 0},
        {"delete several, yes", &ConfirmDeleteItems, 3, L"", "删除文件", "确定要将这3项文件删除吗？", "IDI_ICONQUESTION",
         "是", "否", kYes, 1},
        {"delete several, closed", &ConfirmDeleteItems, 3, L"", "删除文件", "确定要将这3项文件删除吗？", "IDI_ICONQUESTION",
         "是", "否", NsMessageBoxBase::kClose, 0},
        {"in use, retry", &AskRetryFileInUse, 1, L"C:\\data\\held.doc", "文件正在使用", "文件 held.doc 被占用, 请重试！",
         "IDI_ICONEXCLAMATION", "重试", "取消", kYes, 1},
        {"in use without a name, cancel", &AskRetryFileInUse, 1, L"", "文件正在使用", "该文件被占用, 请重试！",
         "IDI_ICONEXCLAMATION", "重试", "取消", kNo, 0},
        {"name required", &ShowNameRequired, 1, L"", "重命名", "必须输入文件名！", "IDI_ICONHAND", "确定", nullptr, kYes, 1},
        {"extension change, yes", &ConfirmExtensionChange, 1, L"", "重命名", "文件扩展名被修改，是否继续！",
         "IDI_ICONEXCLAMATION", "是", "否", kYes, 1},
        {"extension change, no", &ConfirmExtensionChange, 1, L"", "重命名", "文件扩展名被修改，是否继续！",
         "IDI_ICONEXCLAMATION", "是", "否", kNo, 0},
        {"auto rename, closed", &ConfirmAutoRename, 1, L"", "重命名", "发现同名文件，是否自动重命名！",
         "IDI_ICONEXCLAMATION", "是", "否", NsMessageBoxBase::kClose, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileOperationContext context = Context(c.count, c.source);
        Asker asker([&] { return c.ask(&context); });
        HWND box = nullptr;
        const std::string dump = BoxDump(box);
        ASSERT_NE(box, nullptr);
        EXPECT_NE(GetWindowThreadProcessId(box, nullptr), GetCurrentThreadId()) << "the asking thread owns the box";
        EXPECT_EQ(ControlField(dump, NsMessageBoxBase::kTitle, "text"), c.caption);
        EXPECT_EQ(ControlField(dump, NsMessageBoxBase::kMessage, "text"), c.text);
        EXPECT_EQ(ControlField(dump, NsMessageBoxBase::kMessage, "tip"), c.text);
        EXPECT_EQ(ControlField(dump, NsMessageBoxBase::kIcon, "image"), c.icon);
        EXPECT_EQ(ControlField(dump, kYes, "text"), c.yesText);
        EXPECT_EQ(ControlField(dump, kNo, "text"), c.noText ? std::optional<std::string>(c.noText) : std::nullopt);
        EXPECT_EQ(ControlField(dump, kCancel, "text"), std::nullopt);
        EXPECT_EQ(host->Registered().Count(), 1u) << "the open box is registered";
        Click(box, c.click);
        ASSERT_TRUE(asker.WaitAnswered());
        EXPECT_EQ(asker.Result(), c.result);
        EXPECT_FALSE(IsWindow(box));
        EXPECT_TRUE(PumpUntil([this] { return host->Registered().Count() == 0; }, 5000)) << "a closed box detaches";
    }
}

// The raw answers: the modeless box 6 / 7 and 0 when closed, the modal one 6 / 7 / 2 and 2 when closed.
TEST_F(MessageBoxes, ButtonsAnswerAsTheSystemsBoxAndACloseDependsOnTheForm)
{
    struct Case {
        bool modal;
        int type;
        USHORT click;
        int answer;
    };
    const Case cases[] = {
        {false, MB_YESNO, kYes, IDYES},  {false, MB_YESNO, kNo, IDNO},         {false, MB_YESNO, NsMessageBoxBase::kClose, 0},
        {false, MB_OK, kYes, IDYES},     {true, MB_YESNOCANCEL, kYes, IDYES}, {true, MB_YESNOCANCEL, kNo, IDNO},
        {true, MB_YESNOCANCEL, kCancel, IDCANCEL}, {true, MB_YESNO, NsMessageBoxBase::kClose, IDCANCEL},
        {true, MB_OK, kYes, IDYES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.modal) + " type " + std::to_string(c.type) + " click " + std::to_string(c.click));
        FileOperationContext context = Context();
        const HWND owner = host->Handle();
        Asker asker([&] {
            return c.modal ? dialogs::ShowModalMessageBox(owner, L"text", L"caption", c.type, &context)
                           : dialogs::RunMessageBox(owner, L"text", L"caption", c.type, &context);
        });
        HWND box = nullptr;
        (void)BoxDump(box);
        ASSERT_NE(box, nullptr);
        Click(box, c.click);
        ASSERT_TRUE(asker.WaitAnswered());
        EXPECT_EQ(asker.Result(), c.answer);
    }
}

// The buttons stand 62x22 in the body panel's bottom right, 77 pixels apart; the box is centred
// horizontally over the desktop window.
TEST_F(MessageBoxes, ButtonsStandAtTheirPlacesAndTheBoxIsCentredOverTheDesktop)
{
    FileOperationContext context = Context();
    const HWND owner = host->Handle();
    Asker asker([&] { return dialogs::ShowModalMessageBox(owner, L"t", L"c", MB_YESNOCANCEL, &context); });
    HWND box = nullptr;
    const std::string dump = BoxDump(box);
    ASSERT_NE(box, nullptr);
    const std::optional<RECT> body = ControlRect(dump, NsMessageBoxBase::kBody);
    ASSERT_TRUE(body);
    const USHORT rightToLeft[] = {kCancel, kNo, kYes};
    for (int index = 0; index < 3; ++index) {
        const std::optional<RECT> button = ControlRect(dump, rightToLeft[index]);
        ASSERT_TRUE(button) << rightToLeft[index];
        EXPECT_EQ(button->right, body->right - 30 - 77 * index);
        EXPECT_EQ(button->right - button->left, 62);
        EXPECT_EQ(button->top, body->bottom - 37);
        EXPECT_EQ(button->bottom, body->bottom - 15);
    }
    RECT hostRect{};
    RECT boxRect{};
    GetWindowRect(host->Handle(), &hostRect);
    GetWindowRect(box, &boxRect);
    EXPECT_EQ(boxRect.right - boxRect.left, 340);
    EXPECT_EQ(boxRect.left, hostRect.left + ((hostRect.right - hostRect.left) - 340) / 2);
    EXPECT_FALSE(IsWindowEnabled(host->Handle())) << "a modal box disables its owner";
    Click(box, kNo);
    ASSERT_TRUE(asker.WaitAnswered());
    EXPECT_TRUE(IsWindowEnabled(host->Handle()));
}

TEST_F(MessageBoxes, TwoWorkersHoldTheirOwnBoxesAtOnce)
{
    FileOperationContext first = Context(2);
    FileOperationContext second = Context(5);
    Asker one([&] { return ConfirmDeleteItems(&first); });
    const HWND firstBox = WaitForShownWindow(kMessageBoxClass);
    ASSERT_NE(firstBox, nullptr);
    Asker two([&] { return ConfirmDeleteItems(&second); });
    const HWND secondBox = WaitForShownWindow(kMessageBoxClass, firstBox);
    ASSERT_NE(secondBox, nullptr);
    EXPECT_NE(GetWindowThreadProcessId(firstBox, nullptr), GetWindowThreadProcessId(secondBox, nullptr));
    EXPECT_EQ(ControlField(WaitForField(secondBox, kYes, "visible", "1"), NsMessageBoxBase::kMessage, "text"),
              "确定要将这5项文件删除吗？");
    EXPECT_EQ(host->Registered().Count(), 2u);
    Click(secondBox, kNo);
    ASSERT_TRUE(two.WaitAnswered());
    EXPECT_FALSE(one.Answered()) << "the first box still holds its worker";
    (void)WaitForField(firstBox, kYes, "visible", "1");
    Click(firstBox, kYes);
    ASSERT_TRUE(one.WaitAnswered());
    EXPECT_EQ(one.Result(), 1);
    EXPECT_EQ(two.Result(), 0);
}

TEST_F(MessageBoxes, TheNetworkSwitchAsksItsQuestionAndGivesBothAnswers)
{
    struct Case {
        int block;
        const char* text;
        USHORT click;
        int answer;
    };
    const Case cases[] = {
        {1, "是否关闭虚拟系统网络访问？", kYes, IDYES},
        {1, "是否关闭虚拟系统网络访问？", kNo, IDNO},
        {0, "是否恢复虚拟系统网络访问？", kYes, IDYES},
        {0, "是否恢复虚拟系统网络访问？", kNo, IDNO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + std::to_string(c.click));
        Asker asker([&] { return dialogs::ConfirmNetworkToggle(kSandbox, c.block); });
        HWND box = nullptr;
        const std::string dump = BoxDump(box);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ControlField(dump, NsMessageBoxBase::kTitle, "text"), "Veyra");
        EXPECT_EQ(ControlField(dump, NsMessageBoxBase::kMessage, "text"), c.text);
        EXPECT_EQ(ControlField(dump, NsMessageBoxBase::kIcon, "image"), "IDI_ICONQUESTION");
        EXPECT_EQ(GetWindow(box, GW_OWNER), host->Handle()) << "over the key's desktop window";
        Click(box, c.click);
        ASSERT_TRUE(asker.WaitAnswered());
        EXPECT_EQ(asker.Result(), c.answer);
    }
}

// A box whose layout lacks its controls answers at once as closed, and leaves no window or entry.
TEST_F(MessageBoxes, ABoxThatCannotBeSetUpAnswersAtOnce)
{
    BrokenLayout broken(L"NsMessageBox.xml");
    ASSERT_TRUE(broken.Written());
    FileOperationContext context = Context();
    const HWND owner = host->Handle();
    Asker modeless([&] { return dialogs::RunMessageBox(owner, L"t", L"c", MB_YESNO, &context); });
    EXPECT_TRUE(modeless.WaitAnswered(5000));
    Asker modal([&] { return dialogs::ShowModalMessageBox(owner, L"t", L"c", MB_YESNO, &context); });
    EXPECT_TRUE(modal.WaitAnswered(5000));
    EXPECT_EQ(modeless.Result(), 0);
    EXPECT_EQ(modal.Result(), IDCANCEL);
    EXPECT_EQ(FindWindowW(kMessageBoxClass, nullptr), nullptr);
    EXPECT_EQ(host->Registered().Count(), 0u);
    EXPECT_TRUE(IsWindowEnabled(host->Handle()));
}

TEST_F(MessageBoxes, NoContextAsksNothing)
{
    EXPECT_EQ(dialogs::RunMessageBox(host->Handle(), L"t", L"c", MB_YESNO, nullptr), 0);
    EXPECT_EQ(dialogs::ShowModalMessageBox(host->Handle(), L"t", L"c", MB_YESNO, nullptr), 0);
    EXPECT_EQ(dialogs::RunReplaceBox(host->Handle(), nullptr), 0);
    EXPECT_EQ(FindWindowW(kMessageBoxClass, nullptr), nullptr);
}

}  // namespace
}  // namespace veyra::test
