// The desktop window's decisions that need no desktop: where a change notice goes, what an exit answer
// means, the two questions through the library's box, the end of a desktop's sandboxed processes
// through the process watch, and child notifications sent back to their controls.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ReflectNotifications.h"
#include "core/fileops/ChangeNotice.h"
#include "shell/desktop/DesktopQuestions.h"
#include "shell/desktop/DesktopShutdown.h"
#include "shell/desktop/DesktopTimers.h"
#include "tests/core/processwatch/ScriptedEngine.h"
#include "tests/support/TestWindows.h"

using namespace veyra;
using veyra::test::PopupPlacement;

namespace {

TEST(DesktopRouting, NoticesOfTheDesktopFoldersStayWithTheDesktopView)
{
    const std::wstring desktop = L"C:\\users\\me\\Desktop";
    const std::wstring common = L"C:\\users\\Public\\Desktop\\";
    struct Case {
        const wchar_t* path;
        bool toView;
    } const cases[] = {
        {L"C:\\users\\me\\Desktop\\a.txt", true},
        {L"c:\\USERS\\me\\desktop\\New folder", true},
        {L"C:\\users\\Public\\Desktop\\shared.lnk", true},
        {L"C:\\users\\me\\Desktop\\sub\\b.txt", false},
        {L"C:\\users\\me\\Desktop", false},
        {L"C:\\users\\me\\Documents\\a.txt", false},
        {L"D:\\a.txt", false},
        {L"a.txt", false},
        {L"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsDesktopViewFolderOf(c.path, desktop, common), c.toView) << testing::PrintToString(std::wstring(c.path));
    }
    EXPECT_FALSE(IsDesktopViewFolderOf(L"\\a.txt", L"", L"")) << "no desktop folder known";
}

TEST(DesktopShutdown, ExitAnswers)
{
    struct Case {
        int answer;
        ExitAnswer meaning;
    } const cases[] = {
        {IDCANCEL, ExitAnswer::Stay},          {IDYES, ExitAnswer::EndProgramsAndExit},
        {IDOK, ExitAnswer::EndProgramsAndExit}, {IDNO, ExitAnswer::Exit},
        {kBoxNotShown, ExitAnswer::Exit},       {0, ExitAnswer::Exit},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyExitAnswer(c.answer), c.meaning) << c.answer;
    }
}

struct AskedBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    int type;
};
std::vector<AskedBox> s_asked;
int s_answer = 0;

int ScriptedBox(HWND owner, const wchar_t* text, const wchar_t* caption, int type) noexcept
{
    s_asked.push_back({owner, text, caption, type});
    return s_answer;
}

TEST(DesktopQuestions, AskedThroughTheLibraryBoxOverTheHost)
{
    const HWND host = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7FFF1234));
    RegisterHostWindow(9, host);
    EXPECT_EQ(ConfirmExitCloseAll(9), kBoxNotShown) << "no box plugged in";
    EXPECT_EQ(ConfirmRestore(9), 0);
    const LibraryMessageBox previous = SetLibraryMessageBox(&ScriptedBox);
    struct Case {
        int answer;
        int restore;
    } const cases[] = {{IDYES, 1}, {IDNO, 0}, {IDCANCEL, 0}, {-1, 0}};
    for (const Case& c : cases) {
        s_answer = c.answer;
        EXPECT_EQ(ConfirmRestore(9), c.restore) << c.answer;
        EXPECT_EQ(ConfirmExitCloseAll(9), c.answer) << "the raw answer";
    }
    ASSERT_EQ(s_asked.size(), 8u);
    EXPECT_EQ(s_asked[0].owner, host);
    EXPECT_EQ(s_asked[0].text, L"确定要还原虚拟系统吗？");
    EXPECT_EQ(s_asked[1].text, L"退出时是否关闭虚拟系统所有的进程？");
    EXPECT_EQ(s_asked[1].caption, L"Veyra");
    EXPECT_EQ(s_asked[1].type, 36);
    SetLibraryMessageBox(previous);
    RegisterHostWindow(9, nullptr);
}

// A box registered with the desktop: it records the close the exit asks of it.
class BoxProbe final : public MappedWindow<BoxProbe> {
public:
    BoxProbe() { EXPECT_TRUE(Create(WindowClass{L"VeyraExitBoxProbe"}, L"box", PopupPlacement())); }
    static std::span<const Entry> Messages() { return {}; }
    bool CloseWaiting() const
    {
        MSG message;
        return PeekMessageW(&message, Handle(), WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE;
    }
};

TEST(DesktopShutdown, ExitClosesTheBoxesThenEndsOnlyThisDesktopsPrograms)
{
    test::ScriptedEngine engine;
    engine.processes = {{10, 0, L"C:\\a.exe"}, {11, 3, L"C:\\b.exe"}, {12, 0, L"C:\\c.exe"}};
    CProcessListManager watch(engine);
    RegisteredWindows windows;
    BoxProbe box;
    windows.Add(box.Handle(), MakeHostWindowEntry(box.Handle(), &box, HostKind::kModelessBox));

    PrepareExit(windows, false, watch, 0);
    EXPECT_TRUE(box.CloseWaiting());
    EXPECT_TRUE(engine.terminated.empty()) << "No leaves the programs running";

    PrepareExit(windows, true, watch, 0);
    EXPECT_TRUE(box.CloseWaiting());
    EXPECT_EQ(engine.terminated, (std::vector<std::uint32_t>{10, 12}));
    EXPECT_EQ(engine.Unreleased(), 0u);
}

TEST(DesktopShutdown, RestoreKeepsTheStartMenu)
{
    RegisteredWindows windows;
    BoxProbe menu;
    BoxProbe folder;
    windows.Add(menu.Handle(), MakeHostWindowEntry(menu.Handle(), nullptr, HostKind::kStartMenu));
    windows.Add(folder.Handle(), MakeHostWindowEntry(folder.Handle(), nullptr, HostKind::kFolderWindow));
    EXPECT_TRUE(PrepareRestore(windows)) << "no operation runs";
    EXPECT_FALSE(menu.CloseWaiting());
    EXPECT_TRUE(folder.CloseWaiting());
}

// A child control that records the notifications reflected to it.
class ChildProbe final : public MappedWindow<ChildProbe> {
public:
    explicit ChildProbe(HWND parent)
    {
        EXPECT_TRUE(Create(WindowClass{L"VeyraReflectChild"}, L"child", PopupPlacement({0, 0, 10, 10}, parent, WS_CHILD)));
    }
    static std::span<const Entry> Messages()
    {
        static const Entry entries[] = {
            {kReflectedBase + WM_COMMAND, &ChildProbe::OnReflected},
            {kReflectedBase + WM_NOTIFY, &ChildProbe::OnReflected},
        };
        return entries;
    }
    int reflected = 0;

private:
    LRESULT OnReflected(WPARAM, LPARAM)
    {
        ++reflected;
        return 42;
    }
};

TEST(ReflectNotifications, ChildNotificationsGoBackToTheirControl)
{
    BoxProbe parent;
    ChildProbe child(parent.Handle());
    ASSERT_EQ(GetParent(child.Handle()), parent.Handle());
    LRESULT result = 0;
    EXPECT_TRUE(ReflectNotification(parent.Handle(), WM_COMMAND, MAKEWPARAM(1, EN_CHANGE),
                                    reinterpret_cast<LPARAM>(child.Handle()), result));
    EXPECT_EQ(result, 42);
    NMHDR header{child.Handle(), 1, 0};
    EXPECT_TRUE(ReflectNotification(parent.Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header), result));
    EXPECT_EQ(child.reflected, 2);
    EXPECT_FALSE(ReflectNotification(parent.Handle(), WM_COMMAND, MAKEWPARAM(0x800E, 0), 0, result)) << "a menu command";
    EXPECT_FALSE(ReflectNotification(parent.Handle(), WM_COMMAND, 0, reinterpret_cast<LPARAM>(parent.Handle()), result))
        << "not a child of the host";
    EXPECT_FALSE(ReflectNotification(parent.Handle(), WM_TIMER, 1, 0, result));
    EXPECT_EQ(child.reflected, 2);
}

}  // namespace
