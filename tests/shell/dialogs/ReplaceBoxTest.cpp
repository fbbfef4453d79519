#include <gtest/gtest.h>

#include "core/fileops/OperationPrompts.h"
#include "shell/dialogs/BoxRuns.h"
#include "shell/dialogs/NsReplaceMessageBox.h"
#include "shell/protocol/WindowProtocol.h"
#include "tests/shell/dialogs/BoxFixture.h"
#include "tests/support/SkinWindowProbe.h"

namespace veyra::test {
namespace {

using Box = dialogs::NsReplaceMessageBox;
constexpr int kApplyToAll = ConflictAnswer::kApplyToAll;

class ReplaceBox : public BoxFixture {
protected:
    FileOperationContext Context(int type, int count, bool keepBoth)
    {
        FileOperationContext context;
        context.Initialise(host->Handle(), type, nullptr, kSandbox);
        context.count = count;
        context.sourcePath = m_root + L"\\src\\a.txt";
        context.targetPath = Shadow(m_root + L"\\dst\\a.txt");  // the sandbox copy: shown by its view path
        if (keepBoth) {
            context.keepBothName = Shadow(m_root + L"\\dst\\a (2).txt");
        }
        return context;
    }

    std::string BoxDump(HWND& box)
    {
        box = WaitForShownWindow(kReplaceBoxClass);
        EXPECT_NE(box, nullptr) << "no conflict box was shown";
        return box ? WaitForField(box, Box::kCancelButton, "visible", "1") : std::string();
    }

    static bool Shows(const std::string& dump, const std::wstring& text)
    {
        std::wstring flat = text;
        for (wchar_t& c : flat) {
            c = c == L'\n' ? L' ' : c;
        }
        const int length = WideCharToMultiByte(CP_UTF8, 0, flat.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, flat.c_str(), -1, bytes.data(), length, nullptr, nullptr);
        return dump.find("\ttext=" + bytes + "\t") != std::string::npos;
    }
};

// Copy and move, one item and several, with and without a keep-both name: the title, the three
// wordings with the view's paths, which controls show, and what each panel and button answers, with
// and without the check box.
TEST_F(ReplaceBox, EachFormShowsItsWordsAndEachChoiceAnswers)
{
    struct Case {
        int type;
        int count;
        bool keepBoth;
        bool remember;
        USHORT click;
        int answer;
    };
    const Case cases[] = {
        {OperationType::kCopy, 1, true, false, Box::kReplacePanel, ConflictAnswer::kReplace},
        {OperationType::kCopy, 1, true, false, Box::kSkipPanel, ConflictAnswer::kSkip},
        {OperationType::kCopy, 1, true, false, Box::kKeepBothPanel, ConflictAnswer::kKeepBoth},
        {OperationType::kCopy, 1, false, false, Box::kCancelButton, ConflictAnswer::kStop},
        {OperationType::kMove, 1, true, false, Box::kClose, ConflictAnswer::kStop},
        {OperationType::kMove, 3, true, false, Box::kSkipButton, ConflictAnswer::kSkip},
        {OperationType::kMove, 3, false, true, Box::kReplacePanel, ConflictAnswer::kReplace | kApplyToAll},
        {OperationType::kCopy, 3, true, true, Box::kSkipPanel, ConflictAnswer::kSkip | kApplyToAll},
        {OperationType::kCopy, 3, true, true, Box::kKeepBothPanel, ConflictAnswer::kKeepBoth | kApplyToAll},
        {OperationType::kCopy, 3, true, true, Box::kSkipButton, ConflictAnswer::kSkip | kApplyToAll},
        {OperationType::kMove, 3, true, true, Box::kClose, ConflictAnswer::kStop | kApplyToAll},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " count " + std::to_string(c.count) + " keep " +
                     std::to_string(c.keepBoth) + " remember " + std::to_string(c.remember) + " click " +
                     std::to_string(c.click));
        FileOperationContext context = Context(c.type, c.count, c.keepBoth);
        Asker asker([&] { return AskReplaceFile(&context); });
        HWND box = nullptr;
        const std::string dump = BoxDump(box);
        ASSERT_NE(box, nullptr);
        const bool move = c.type == OperationType::kMove;
        const std::wstring verb = move ? L"移动" : L"复制";
        EXPECT_EQ(ControlField(dump, Box::kTitle, "text"), move ? "移动文件" : "复制文件");
        EXPECT_TRUE(Shows(dump, L" " + verb + L"并替换 \n    使用正在" + verb + L"的文件替换目标文件\n    a.txt(" + m_root +
                                    L"\\src)"));
        EXPECT_TRUE(Shows(dump, L" 不要" + verb + L" \n    不更改任何文件，不替换目标文件\n    a.txt(" + m_root + L"\\dst)"))
            << "the target's folder as the view shows it";
        EXPECT_EQ(Shows(dump, L" " + verb + L"并保留这两个文件 \n    将" + verb + L"的文件重命名为：a (2).txt"), c.keepBoth);
        EXPECT_EQ(ControlField(dump, Box::kKeepBothPanel, "visible"), c.keepBoth ? "1" : "0");
        EXPECT_EQ(ControlField(dump, Box::kRemember, "visible"), c.count > 1 ? "1" : "0");
        EXPECT_EQ(ControlField(dump, Box::kSkipButton, "visible"), c.count > 1 ? "1" : "0");
        EXPECT_EQ(context.targetPath, m_root + L"\\dst\\a.txt") << "the box writes the view path back";
        if (c.remember) {
            Click(box, Box::kRemember);
            (void)WaitForField(box, Box::kRemember, "check", "1");
        }
        Click(box, c.click);
        ASSERT_TRUE(asker.WaitAnswered());
        EXPECT_EQ(asker.Result(), c.answer);
        EXPECT_TRUE(PumpUntil([this] { return host->Registered().Count() == 0; }, 5000)) << "a closed box detaches";
        if (c.answer & kApplyToAll) {
            // A later conflict of the same operation takes the answer without a box.
            Asker later([&] { return AskReplaceFile(&context); });
            EXPECT_TRUE(later.WaitAnswered(3000));
            EXPECT_EQ(later.Result(), c.answer);
            EXPECT_EQ(FindWindowW(kReplaceBoxClass, nullptr), nullptr);
        }
    }
}

TEST_F(ReplaceBox, HoverAndPressChangeTheChoicePanelsImage)
{
    FileOperationContext context = Context(OperationType::kCopy, 1, true);
    Asker asker([&] { return AskReplaceFile(&context); });
    HWND box = nullptr;
    const std::string dump = BoxDump(box);
    ASSERT_NE(box, nullptr);
    const std::optional<RECT> panel = ControlRect(dump, Box::kSkipPanel);
    ASSERT_TRUE(panel);
    RECT placed{};
    GetWindowRect(box, &placed);
    ASSERT_TRUE(SendMouseAt(POINT{placed.left + panel->left + 40, placed.top + panel->top + 30}, 0));
    EXPECT_EQ(ControlField(WaitForField(box, Box::kSkipPanel, "image", "IDI_IMAGE_COVER_HOVER"), Box::kSkipPanel, "image"),
              "IDI_IMAGE_COVER_HOVER");
    ASSERT_TRUE(SendMouseAt(POINT{placed.left + panel->left + 40, placed.top + panel->top + 100}, 0));
    EXPECT_EQ(ControlField(WaitForField(box, Box::kSkipPanel, "image", "IDI_IMAGE_COVER_NORMAL"), Box::kSkipPanel,
                           "image"),
              "IDI_IMAGE_COVER_NORMAL");
    Click(box, Box::kSkipPanel);
    ASSERT_TRUE(asker.WaitAnswered());
    EXPECT_EQ(asker.Result(), ConflictAnswer::kSkip);
}

TEST_F(ReplaceBox, ABoxThatCannotBeSetUpStopsAtOnce)
{
    BrokenLayout broken(L"NsReplaceMsgbox.xml");
    ASSERT_TRUE(broken.Written());
    FileOperationContext context = Context(OperationType::kCopy, 2, true);
    Asker asker([&] { return AskReplaceFile(&context); });
    EXPECT_TRUE(asker.WaitAnswered(5000));
    EXPECT_EQ(asker.Result(), ConflictAnswer::kStop);
    EXPECT_EQ(FindWindowW(kReplaceBoxClass, nullptr), nullptr);
    EXPECT_EQ(host->Registered().Count(), 0u);
}

// The desktop's restore closes every open box: modeless 0, modal 2, conflict stop.
TEST_F(ReplaceBox, RestoreClosesEveryOpenBox)
{
    FileOperationContext messageContext;
    messageContext.Initialise(host->Handle(), OperationType::kDelete, nullptr, kSandbox);
    FileOperationContext modalContext = messageContext;
    FileOperationContext conflictContext = Context(OperationType::kCopy, 2, true);
    const HWND owner = host->Handle();
    Asker modeless([&] { return dialogs::RunMessageBox(owner, L"t", L"c", MB_YESNO, &messageContext); });
    const HWND first = WaitForShownWindow(kMessageBoxClass);
    Asker modal([&] { return dialogs::ShowModalMessageBox(owner, L"t", L"c", MB_YESNO, &modalContext); });
    const HWND second = WaitForShownWindow(kMessageBoxClass, first);
    Asker conflict([&] { return dialogs::RunReplaceBox(owner, &conflictContext); });
    const HWND third = WaitForShownWindow(kReplaceBoxClass);
    ASSERT_TRUE(first && second && third);
    ASSERT_TRUE(PumpUntil([this] { return host->Registered().Count() == 3; }, 5000));
    host->Registered().CloseKinds(HostKind::kClosedOnRestore);
    ASSERT_TRUE(modeless.WaitAnswered());
    ASSERT_TRUE(modal.WaitAnswered());
    ASSERT_TRUE(conflict.WaitAnswered());
    EXPECT_EQ(modeless.Result(), 0);
    EXPECT_EQ(modal.Result(), IDCANCEL);
    EXPECT_EQ(conflict.Result(), ConflictAnswer::kStop);
    EXPECT_TRUE(PumpUntil([this] { return host->Registered().Count() == 0; }, 5000));
}

}  // namespace
}  // namespace veyra::test
