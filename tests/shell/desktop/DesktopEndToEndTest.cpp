// A real Veyra.exe with the stand-in suite, driven as a user and as the suite would: its window and
// skinned controls, a drag by the title strip, records of every malformed kind from another process,
// the merge switch, the suite's exit message, the close button with its question, and the icons of a
// seeded desktop through restore and the merge switch.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>

#include "core/Launcher.h"
#include "core/SandBoxHelper.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/desktop/NsDesktopDlg.h"
#include "shell/protocol/WindowProtocol.h"
#include "suite/contracts/TrayProtocol.h"
#include "tests/support/DesktopDriver.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/RectAssertions.h"
#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/SkinWindowProbe.h"
#include "tests/support/SleeperProcess.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TestWindows.h"
#include "tests/support/TrayFixture.h"
#include "tests/support/WaitFor.h"
#include "tests/support/XdoTool.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr DWORD kExitTimeoutMs = 20000;

RECT RectOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

LRESULT SendCopyData(HWND window, ULONG_PTR code, const void* data, DWORD size)
{
    COPYDATASTRUCT copy{code, size, const_cast<void*>(data)};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, 5000, &result)) {
        return -1;
    }
    return static_cast<LRESULT>(result);
}

class DesktopEndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_noMerge.Delete());
        ASSERT_TRUE(m_guide.SetDword(1));
        StartDesktop();
    }

    void StartDesktop()
    {
        m_driver = std::make_unique<DesktopDriver>(m_suite);
        ASSERT_TRUE(m_driver->Program().Started());
        ASSERT_NE(m_driver->WaitForDesktop(), nullptr) << "the desktop window appears";
        // Painted once: the skin has laid out every control.
        ASSERT_TRUE(WaitFor([this] { return !m_driver->ControlLine(DesktopControl::kTaskbarArea).empty(); }))
            << m_driver->Dump();
    }

    TrayFixture m_tray;
    ScopedRegistryValue m_noMerge{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagNoMergeFile};
    ScopedRegistryValue m_guide{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagGuide};
    ScopedRegistryValue m_network{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagBlockNetwork};
    FakeSuite m_suite{SuitePart::All};
    std::unique_ptr<DesktopDriver> m_driver;
};

TEST_F(DesktopEndToEnd, OpensCentredWithoutSystemCaptionAndShowsItsControls)
{
    const HWND window = m_driver->Window();
    const RECT rect = RectOf(window);
    EXPECT_EQ(rect.right - rect.left, 830);
    EXPECT_EQ(rect.bottom - rect.top, 625);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor));
    const RECT& area = monitor.rcWork;
    EXPECT_NEAR(rect.left - area.left, area.right - rect.right, 1) << "centred across";
    EXPECT_NEAR(rect.top - area.top, area.bottom - rect.bottom, 1) << "centred down";
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << std::hex << style;
    wchar_t title[32] = {};
    GetWindowTextW(window, title, 32);
    EXPECT_STREQ(title, L"Veyra");
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    EXPECT_STREQ(className, L"KavoSandBoxClass");
    // OLE keeps a registered drop target as a property of its window.
    EXPECT_NE(GetPropW(window, L"OleDropTargetInterface"), nullptr) << "files can be dropped on the desktop";
    // Wine keeps class data per process, so the class icon is looked up in the program file instead.
    const HMODULE program = LoadLibraryExW((m_suite / L"ipc\\veyra.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(128), RT_GROUP_ICON), nullptr) << "icon 128";
    FreeLibrary(program);

    const std::string titleLine = m_driver->ControlLine(DesktopControl::kTitle);
    EXPECT_NE(titleLine.find("\ttext=  Veyra "), std::string::npos) << titleLine;
    struct Expected {
        USHORT id;
        const char* rect;
        const char* image;
    } const controls[] = {
        {DesktopControl::kDesktopPanel, "rect=0,25,830,625", "image=IDI_IMAGE_DESKTOP"},
        {DesktopControl::kTaskbarPanel, "rect=0,585,830,625", "image=IDI_IMAGE_TAB"},
        {DesktopControl::kShowDesktop, "rect=815,585,830,625", "image=IDI_IMAGE_SHOWDESK"},
        {DesktopControl::kNetwork, "rect=793,585,815,625", "image=IDI_IMAGE_INTERNET"},
        {DesktopControl::kHelp, "rect=702,0,729,25", "image=IDI_BTN_HELP"},
        {DesktopControl::kSettings, "rect=729,0,756,25", "image=IDI_ICON_MENU"},
        {DesktopControl::kMinimise, "rect=771,0,798,25", "image="},
        {DesktopControl::kClose, "rect=798,0,825,25", "image="},
        {DesktopControl::kStart, "rect=5,585,45,625", "image=IDI_IMAGE_WINDOWS"},
        {DesktopControl::kTaskbarArea, "rect=40,585,808,625", "image="},
    };
    for (const Expected& control : controls) {
        const std::string line = m_driver->ControlLine(control.id);
        EXPECT_NE(line.find(std::string(control.rect) + "\tvisible=1"), std::string::npos) << control.id << ": " << line;
        EXPECT_NE(line.find(control.image), std::string::npos) << control.id << ": " << line;
    }
}

TEST_F(DesktopEndToEnd, NetworkButtonShowsTheBlockedFlagAtStart)
{
    ASSERT_TRUE(m_network.SetDword(1));
    m_driver.reset();
    StartDesktop();
    const std::string line = m_driver->ControlLine(DesktopControl::kNetwork);
    EXPECT_NE(line.find("image=IDI_IMAGE_DISCONNECTINTERNET"), std::string::npos) << line;
}

TEST_F(DesktopEndToEnd, TitleStripDragMovesTheWindow)
{
    const HWND window = m_driver->Window();
    const RECT before = RectOf(window);
    const POINT origin{before.left, before.top};
    // Each step waits for the program (moves queued together would be merged into one) and repeats its
    // absolute move while it waits, as a hand on the mouse would.
    ASSERT_TRUE(m_driver->Press(POINT{300, 12}));
    HWND ghost = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        m_driver->MoveTo(POINT{310, 20}, origin);
        return (ghost = m_driver->Program().WaitForShownWindow(L"VeyraGhostFrame", 100)) != nullptr;
    })) << "the first move shows the ghost frame";
    ASSERT_TRUE(m_driver->WaitUntilIdle());
    EXPECT_TRUE(SameRect(RectOf(window), before)) << "the window waits for the release";
    // From where it stands, the ghost follows the cursor 70 right and 72 down; the window lands there.
    const RECT start = RectOf(ghost);
    EXPECT_LE(std::abs(start.left - before.left) + std::abs(start.top - before.top), 20) << "at the window";
    const POINT landing{start.left + 70, start.top + 72};
    EXPECT_TRUE(WaitFor([&] {
        m_driver->MoveTo(POINT{380, 92}, origin);
        return RectOf(ghost).left == landing.x && RectOf(ghost).top == landing.y;
    }));
    ASSERT_TRUE(m_driver->Release(POINT{380, 92}, origin));
    EXPECT_TRUE(WaitFor([&] { return RectOf(window).left == landing.x && RectOf(window).top == landing.y; }))
        << RectOf(window).left - before.left << "," << RectOf(window).top - before.top;
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(ghost); })) << "the ghost goes";
    const RECT after = RectOf(window);
    EXPECT_EQ(after.right - after.left, 830);
    EXPECT_EQ(after.bottom - after.top, 625);

    // A press among the title buttons (here the settings button) moves nothing.
    ASSERT_TRUE(m_driver->Press(POINT{740, 12}));
    const POINT moved{after.left, after.top};
    ASSERT_TRUE(m_driver->MoveTo(POINT{700, 80}, moved));
    ASSERT_TRUE(m_driver->Release(POINT{700, 80}, moved));
    ASSERT_TRUE(m_driver->Answers());
    EXPECT_TRUE(SameRect(RectOf(window), after));
}

TEST_F(DesktopEndToEnd, MalformedRecordsAndForeignPointersLeaveItAnswering)
{
    const HWND window = m_driver->Window();
    std::string bytes(2000, 'x');  // no NUL anywhere
    OpenFolderRequest request{};
    std::memcpy(request.folder, L"C:\\", 8);
    ChangeNoticeRecord notice{};
    notice.kind = 99;
    std::memcpy(notice.path1, L"C:\\a", 10);
    // The test's own window: to the desktop, a window of another process.
    struct ForeignWindow final : MappedWindow<ForeignWindow> {
        ForeignWindow() { EXPECT_TRUE(Create(WindowClass{L"VeyraForeignProbe"}, L"foreign", PopupPlacement())); }
        static std::span<const Entry> Messages() { return {}; }
    } foreign;
    const HostWindowEntry entry = MakeHostWindowEntry(foreign.Handle(), &foreign, HostKind::kFolderWindow);
    struct Case {
        const char* name;
        ULONG_PTR code;
        const void* data;
        DWORD size;
    } const cases[] = {
        {"open folder, short", COPYDATA_OPEN_FOLDER, &request, 1000},
        {"open folder, no NUL", COPYDATA_OPEN_FOLDER, bytes.data(), 1044},
        {"open folder, empty", COPYDATA_OPEN_FOLDER, nullptr, 0},
        {"register, another process's window", COPYDATA_REGISTER_WINDOW, &entry, 12},
        {"register, long", COPYDATA_REGISTER_WINDOW, bytes.data(), 13},
        {"unregister, short", COPYDATA_UNREGISTER_WINDOW, &entry, 4},
        {"notice, no NUL", COPYDATA_CHANGE_NOTICE, bytes.data(), 1052},
        {"notice, unknown kind", COPYDATA_CHANGE_NOTICE, &notice, 1052},
        {"notice, long", COPYDATA_CHANGE_NOTICE, bytes.data(), 1500},
        {"unknown code", 0x12345678, bytes.data(), 64},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SendCopyData(window, c.code, c.data, c.size), 1) << c.name;
        ASSERT_TRUE(m_driver->Answers()) << c.name;
    }
    // Pointers from another process are never followed, sent or posted.
    const WPARAM bogus = 0x12345670;
    for (const UINT message : {WM_NS_GET_FOLDER_WINDOWS, WM_NS_START_OPERATION, WM_NS_ITEMS_LOADED,
                               WM_NS_ICON_LOADED, WM_NS_DRAG_HIGHLIGHT}) {
        DWORD_PTR result = 7;
        ASSERT_TRUE(SendMessageTimeoutW(window, message, bogus, 0, SMTO_ABORTIFHUNG, 5000, &result)) << message;
        EXPECT_EQ(result, 0u) << message;
        ASSERT_TRUE(PostMessageW(window, message, bogus, 0));
    }
    EXPECT_TRUE(m_driver->Answers());
    EXPECT_EQ(m_driver->WaitForExit(0), std::nullopt) << "still running";
    EXPECT_FALSE(m_driver->ControlLine(DesktopControl::kTitle).empty()) << "and still painting its skin";
}

TEST_F(DesktopEndToEnd, MergeSwitchFlipsTheStoredFlag)
{
    for (const int expected : {1, 0, 1}) {
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutW(m_driver->Window(), WM_NS_TOGGLE_MERGE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
        EXPECT_EQ(result, 1u);
        EXPECT_EQ(CSandBoxHelper::IsNoMergeFile(), expected);
    }
}

TEST_F(DesktopEndToEnd, GuideTipShowsForFiveSeconds)
{
    DWORD_PTR shownTip = 0;
    ASSERT_TRUE(SendMessageTimeoutW(m_driver->Window(), WM_NS_SHOW_GUIDE_TIP, 0, 0, SMTO_ABORTIFHUNG, 5000, &shownTip));
    EXPECT_EQ(shownTip, 1u);
    const auto tipLine = [this] {
        const std::string dump = m_driver->Dump();
        const std::size_t at = dump.find("rect=707,25,830,67\tvisible=1");
        return at == std::string::npos ? std::string() : dump.substr(at, dump.find('\n', at) - at);
    };
    ASSERT_TRUE(WaitFor([&] { return !tipLine().empty(); })) << m_driver->Dump();
    EXPECT_NE(tipLine().find("image=IDI_IMAGE_GUIDE"), std::string::npos) << tipLine();
    const ULONGLONG shown = GetTickCount64();
    EXPECT_TRUE(WaitFor([&] { return tipLine().empty(); })) << "the tip goes again";
    EXPECT_GE(GetTickCount64() - shown, 4000u) << "not before its five seconds";
}

TEST_F(DesktopEndToEnd, MinimiseButtonMinimisesTheWindow)
{
    ASSERT_TRUE(m_driver->Click(POINT{784, 12}));
    EXPECT_TRUE(WaitFor([this] { return IsIconic(m_driver->Window()) != FALSE; }));
    EXPECT_EQ(m_driver->WaitForExit(0), std::nullopt);
}

TEST_F(DesktopEndToEnd, HelpButtonOpensTheHelpPageThroughTheOrdinaryShell)
{
    // The help page, a setting, is pointed at a small program whose window shows that it was opened.
    ScopedRegistryValue helpPage(HKEY_CURRENT_USER, L"Software\\Veyra", L"HelpPage");
    ASSERT_TRUE(helpPage.SetString(BinFile(L"veyra_test_sleeper.exe")));
    ASSERT_TRUE(m_driver->Click(POINT{715, 12}));
    EXPECT_TRUE(WaitFor([] { return FindWindowW(L"VeyraTestSleeper", nullptr) != nullptr; }));
    // A start through the tray is logged before the tray starts the program.
    for (const std::wstring& line : m_tray.Lines()) {
        EXPECT_EQ(line.rfind(L"request ", 0), std::wstring::npos) << "not started in the sandbox";
    }
    if (HWND sleeper = FindWindowW(L"VeyraTestSleeper", nullptr)) {
        PostMessageW(sleeper, WM_CLOSE, 0, 0);
    }
}

TEST_F(DesktopEndToEnd, TheSuitesExitMessageEndsIt)
{
    PostMessageW(m_driver->Window(), RegisterWindowMessageW(kTrayExitMessageName), 0, 0);
    EXPECT_EQ(m_driver->WaitForExit(kExitTimeoutMs), 0u);
}

// The exit question is the skin library's own box: a shown top-level window of the program, owned by
// the desktop window. Closing it keeps the desktop; No ends the program and leaves the sandboxed
// programs running.
TEST_F(DesktopEndToEnd, CloseButtonAsksTheExitQuestion)
{
    const auto askAndAnswer = [this](WPARAM command, UINT message) {
        EXPECT_TRUE(m_driver->Click(POINT{811, 12}));
        HWND box = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (box = ShownLibraryMessageBox(m_driver->Window())) != nullptr; }))
            << "the exit question shows";
        if (box) {
            wchar_t caption[32] = {};
            GetWindowTextW(box, caption, 32);
            EXPECT_STREQ(caption, L"Veyra");
            if (message == WM_CLOSE) {
                EXPECT_TRUE(WaitFor([&] {
                    return LineField(m_driver->ControlLineOf(box, 1005), "text") == "退出时是否关闭虚拟系统所有的进程？";
                })) << m_driver->DumpOf(box);
                SaveScreenshot(L"exit-question");
            }
            PostMessageW(box, message, command, 0);
        }
        return box;
    };

    const HWND closedBox = askAndAnswer(0, WM_CLOSE);
    ASSERT_NE(closedBox, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(closedBox); })) << "the closed box goes";
    EXPECT_TRUE(m_driver->Answers()) << "closed without an answer: the desktop stays";
    EXPECT_FALSE(m_driver->WaitForExit(0).has_value());

    ASSERT_NE(askAndAnswer(IDNO, WM_COMMAND), nullptr);
    EXPECT_EQ(m_driver->WaitForExit(kExitTimeoutMs), 0u);
}

bool FolderIsEmptyOrGone(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry{};
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!find) {
        return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
    }
    do {
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0) {
            return false;
        }
    } while (FindNextFileW(find.get(), &entry));
    return true;
}

// The desktop folder seeded for the program's sandbox 0: two real files, one of them marked deleted,
// and a file only in the sandbox copy. Everything goes again with the fixture.
class SeededDesktop {
public:
    SeededDesktop()
    {
        wchar_t folder[MAX_PATH] = {};
        SHGetSpecialFolderPathW(nullptr, folder, CSIDL_DESKTOPDIRECTORY, TRUE);
        m_real = std::wstring(folder) + L"\\real.txt";
        m_marked = std::wstring(folder) + L"\\mark.txt";
        m_sandboxOnly = std::wstring(folder) + L"\\sbox.txt";
        CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
        WriteFileBytes(m_real, "real");
        WriteFileBytes(m_marked, "marked");
        view.SetDeletedMark(m_marked, 0);
        if (view.ToSandboxPath(m_sandboxOnly, m_shadow, 0) &&
            view.MakeSandboxFolderTree(view.GetParentPath(m_shadow))) {
            WriteFileBytes(m_shadow, "sandbox");
        }
    }
    ~SeededDesktop()
    {
        CSandBoxFileSystem::Instance().ClearDeletedMark(m_marked, 0);
        for (const std::wstring* path : {&m_real, &m_marked, &m_shadow}) {
            DeleteFileW(path->c_str());
        }
    }
    SeededDesktop(const SeededDesktop&) = delete;
    SeededDesktop& operator=(const SeededDesktop&) = delete;

    [[nodiscard]] bool Seeded() const { return GetFileAttributesW(m_shadow.c_str()) != INVALID_FILE_ATTRIBUTES; }
    [[nodiscard]] const std::wstring& Shadow() const { return m_shadow; }

private:
    std::wstring m_real;
    std::wstring m_marked;
    std::wstring m_sandboxOnly;
    std::wstring m_shadow;
};

class DesktopIconsEndToEnd : public DesktopEndToEnd {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_seeded.Seeded());
        DesktopEndToEnd::SetUp();
        ASSERT_TRUE(WaitFor([this] { return Shows("real.txt"); })) << m_driver->Dump();
    }

    // Whether an icon caption of the desktop panel shows `caption`.
    bool Shows(const std::string& caption) const { return Position(caption) != std::string::npos; }
    // Whether one dump shows every caption of `shown` and none of `gone` (a reload lies between).
    bool ShowsOnly(std::initializer_list<const char*> shown, std::initializer_list<const char*> gone) const
    {
        const std::string dump = m_driver->Dump();
        const auto in = [&](const char* caption) {
            return dump.find(std::string("\tdrawn=") + caption + "\t") != std::string::npos;
        };
        return std::all_of(shown.begin(), shown.end(), in) && std::none_of(gone.begin(), gone.end(), in);
    }
    // Where the icon drawing the caption stands in the dump (its order among the icons).
    std::size_t Position(const std::string& caption) const
    {
        return m_driver->Dump().find("\tdrawn=" + caption + "\t");
    }

    SeededDesktop m_seeded;
};

TEST_F(DesktopIconsEndToEnd, ShowsMyComputerFirstThenTheDesktopSeenThroughTheSandbox)
{
    const std::size_t computer = Position("我的电脑");
    ASSERT_NE(computer, std::string::npos) << m_driver->Dump();
    for (const char* caption : {"real.txt", "sbox.txt"}) {
        const std::size_t at = Position(caption);
        EXPECT_NE(at, std::string::npos) << caption << m_driver->Dump();
        EXPECT_LT(computer, at) << caption << " after My Computer";
    }
    EXPECT_FALSE(Shows("mark.txt")) << "a real file marked deleted is not shown";
    SaveScreenshot(L"desktop-icons");
}

TEST_F(DesktopIconsEndToEnd, RestoreEmptiesTheSandboxCopyAndItsIconGoes)
{
    ASSERT_TRUE(Shows("sbox.txt"));
    ASSERT_TRUE(PostMessageW(m_driver->Window(), WM_NS_RESTORE_SYSTEM, 0, 0));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = ShownLibraryMessageBox(m_driver->Window())) != nullptr; })) << "the question shows";
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitFor([this] { return ShowsOnly({"我的电脑", "real.txt"}, {"sbox.txt"}); })) << m_driver->Dump();
    EXPECT_EQ(GetFileAttributesW(m_seeded.Shadow().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(FolderIsEmptyOrGone(L"C:\\KavoSANDBOX\\SHADOW")) << "the sandbox copy is cleaned";
    EXPECT_TRUE(m_driver->Answers());
}

TEST_F(DesktopIconsEndToEnd, TheMergeSwitchLeavesOnlyTheSandboxCopy)
{
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutW(m_driver->Window(), WM_NS_TOGGLE_MERGE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
    EXPECT_TRUE(WaitFor([this] { return ShowsOnly({"我的电脑", "sbox.txt"}, {"real.txt"}); })) << m_driver->Dump();
    ASSERT_TRUE(SendMessageTimeoutW(m_driver->Window(), WM_NS_TOGGLE_MERGE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
    EXPECT_TRUE(WaitFor([this] { return ShowsOnly({"real.txt", "sbox.txt"}, {"mark.txt"}); })) << "merged again";
}

TEST_F(DesktopIconsEndToEnd, NewFolderCommandMakesItInTheSandboxCopyOnly)
{
    wchar_t desktop[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE);
    const std::wstring real = std::wstring(desktop) + L"\\新建文件夹";
    std::wstring shadow;
    ASSERT_TRUE(CSandBoxFileSystem::Instance().ToSandboxPath(real, shadow, 0));
    const auto icons = [this] {
        const std::string dump = m_driver->Dump();
        std::size_t count = 0;
        for (std::size_t at = dump.find("\tdrawn="); at != std::string::npos; at = dump.find("\tdrawn=", at + 1)) {
            ++count;
        }
        return count;
    };
    const std::size_t before = icons();
    ASSERT_TRUE(PostMessageW(m_driver->Window(), WM_COMMAND, MAKEWPARAM(0x8013, 0), 0));
    // The new icon's caption is hidden under the rename box it opens with.
    EXPECT_TRUE(WaitFor([&] { return icons() == before + 1; })) << m_driver->Dump();
    const DWORD made = GetFileAttributesW(shadow.c_str());
    EXPECT_TRUE(made != INVALID_FILE_ATTRIBUTES && (made & FILE_ATTRIBUTE_DIRECTORY)) << "made in the sandbox copy";
    EXPECT_EQ(GetFileAttributesW(real.c_str()), INVALID_FILE_ATTRIBUTES) << "the real desktop is untouched";
    RemoveDirectoryW(shadow.c_str());
}

// A program the tray started in the sandbox, and the answer of the exit question: Yes ends it, No not.
class ExitWithTrayProgram : public DesktopEndToEnd {
protected:
    void SetUp() override
    {
        DesktopEndToEnd::SetUp();
        if (!FindWindowW(kTrayWindowClass, nullptr)) {
            ASSERT_TRUE(m_tray.Start());
        }
        CLauncher launcher;
        ASSERT_EQ(launcher.LaunchViaTray(BinFile(L"veyra_test_sleeper.exe").c_str()), 1);
        m_sleeper = OpenStartedSleeper();
        ASSERT_TRUE(m_sleeper);
    }
    void TearDown() override
    {
        if (m_sleeper) {
            TerminateProcess(m_sleeper.get(), 0);
        }
    }

    void AnswerExitQuestion(WPARAM answer)
    {
        ASSERT_TRUE(m_driver->Click(POINT{811, 12}));
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (box = ShownLibraryMessageBox(m_driver->Window())) != nullptr; }));
        PostMessageW(box, WM_COMMAND, answer, 0);
        EXPECT_EQ(m_driver->WaitForExit(kExitTimeoutMs), 0u);
    }

    UniqueHandle m_sleeper;
};

TEST_F(ExitWithTrayProgram, YesEndsTheProgram)
{
    AnswerExitQuestion(IDYES);
    EXPECT_EQ(WaitForSingleObject(m_sleeper.get(), kExitTimeoutMs), WAIT_OBJECT_0);
}

TEST_F(ExitWithTrayProgram, NoLeavesItRunning)
{
    AnswerExitQuestion(IDNO);
    EXPECT_EQ(WaitForSingleObject(m_sleeper.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace
