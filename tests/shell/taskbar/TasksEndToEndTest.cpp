// A real Veyra.exe with the stand-in suite: a program started from the start menu or a desktop icon shows
// on the taskbar and in the task manager, which ends it; the settings menu's rows; the network button;
// the menus hiding when the focus goes; the introduction at first start.
// Windows are read back through the skin library's dump, input goes through the system's queue.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"
#include "core/SandBoxHelper.h"
#include "shell/desktop/DesktopTimers.h"
#include "shell/desktop/NsDesktopDlg.h"
#include "shell/dialogs/BoxTexts.h"
#include "shell/dialogs/NsMessageBoxBase.h"
#include "shell/protocol/WindowProtocol.h"
#include "shell/startmenu/NsStartDlg.h"
#include "suite/common/SandboxProcessList.h"
#include "tests/support/DesktopDriver.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/ScopedRegistryKey.h"
#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/SkinWindowProbe.h"
#include "tests/support/SleeperProcess.h"
#include "tests/support/TestWindows.h"
#include "tests/support/TrayFixture.h"
#include "tests/support/WaitFor.h"
#include "tests/support/XdoTool.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr WORD kTaskManagerCommand = 0x8039;
constexpr POINT kStartButton{25, 605};
constexpr POINT kSettingsButton{742, 12};
constexpr wchar_t kShortcutName[] = L"veyra_test_sleeper.lnk";
// A started program's window reaches the taskbar with the next process snapshot; the rest is room for
// the dumps that watch for it on a slow machine.
constexpr std::chrono::milliseconds kOneSnapshot{DesktopTimer::kProcessSnapshotMs * 3};

std::vector<std::string> Lines(const std::string& dump)
{
    std::vector<std::string> lines;
    std::istringstream in(dump);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

size_t Depth(const std::string& line)
{
    return line.find_first_not_of(' ');
}

std::optional<RECT> RectOf(const std::string& line)
{
    RECT rect{};
    const size_t at = line.find("\trect=");
    if (at == std::string::npos ||
        sscanf(line.c_str() + at + 6, "%ld,%ld,%ld,%ld", &rect.left, &rect.top, &rect.right, &rect.bottom) != 4) {
        return std::nullopt;
    }
    return rect;
}

// The first line whose text field is exactly `text`.
std::string LineWithText(const std::string& dump, const std::string& text)
{
    for (const std::string& line : Lines(dump)) {
        if (line.find("\ttext=" + text + "\t") != std::string::npos) {
            return line;
        }
    }
    return {};
}

// The first line of an outer-drawn control that draws `text` (a desktop icon's caption, whose lines
// the dump separates by '|').
std::string LineDrawing(const std::string& dump, const std::string& text)
{
    for (const std::string& line : Lines(dump)) {
        const size_t at = line.find("\tdrawn=");
        if (at == std::string::npos) {
            continue;
        }
        std::string drawn = line.substr(at + 7, line.find('\t', at + 7) - (at + 7));
        std::erase(drawn, '|');
        if (drawn == text) {
            return line;
        }
    }
    return {};
}

// The lines of control `id`'s subtree below its own line, each with its depth under it (1 for a child).
std::vector<std::pair<size_t, std::string>> SubtreeOf(const std::string& dump, USHORT id)
{
    const std::vector<std::string> lines = Lines(dump);
    const std::string wanted = "id=" + std::to_string(id) + "\t";
    std::vector<std::pair<size_t, std::string>> subtree;
    for (size_t index = 0; index < lines.size(); ++index) {
        const size_t depth = Depth(lines[index]);
        if (lines[index].compare(depth, wanted.size(), wanted) != 0) {
            continue;
        }
        for (size_t next = index + 1; next < lines.size() && Depth(lines[next]) > depth; ++next) {
            subtree.emplace_back((Depth(lines[next]) - depth) / 2, lines[next]);
        }
        break;
    }
    return subtree;
}

// How many controls lie directly inside control `id`.
int ChildrenOf(const std::string& dump, USHORT id)
{
    int children = 0;
    for (const auto& [depth, line] : SubtreeOf(dump, id)) {
        children += depth == 1 ? 1 : 0;
    }
    return children;
}

// Whether a control below control `id` is pressed (a rich list's selected row carries the bit).
bool PressedBelow(const std::string& dump, USHORT id)
{
    for (const auto& [depth, line] : SubtreeOf(dump, id)) {
        unsigned long state = 0;
        const size_t at = line.find("\tstate=");
        if (at != std::string::npos && sscanf(line.c_str() + at + 7, "0x%lx", &state) == 1 && (state & 0x10)) {
            return true;
        }
    }
    return false;
}

POINT Centre(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::wstring SpecialFolder(int folder)
{
    wchar_t path[MAX_PATH] = {};
    return SHGetSpecialFolderPathW(nullptr, path, folder, TRUE) ? path : L"";
}

std::wstring ProgramsFolder()
{
    return SpecialFolder(CSIDL_PROGRAMS);
}

// A shortcut to the sleeper in one of the user's real folders (CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY),
// removed again when the test ends.
class SleeperShortcut {
public:
    explicit SleeperShortcut(int folder) : m_path(SpecialFolder(folder) + L"\\" + kShortcutName)
    {
        CoInitialize(nullptr);
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        const std::wstring target = SleeperProcess::ProgramPath();
        m_made = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                            link.put_void())) &&
                 SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(link.As(IID_IPersistFile, file)) &&
                 SUCCEEDED(file->Save(m_path.c_str(), TRUE));
    }
    ~SleeperShortcut()
    {
        DeleteFileW(m_path.c_str());
        CoUninitialize();
    }
    SleeperShortcut(const SleeperShortcut&) = delete;
    SleeperShortcut& operator=(const SleeperShortcut&) = delete;

    [[nodiscard]] bool Made() const noexcept { return m_made; }
    [[nodiscard]] const std::wstring& Path() const noexcept { return m_path; }

private:
    std::wstring m_path;
    bool m_made = false;
};

// A message box over `owner`, the skin library's or the shell's own, or nullptr.
HWND ShownMessageBox(HWND owner)
{
    const HWND box = ShownOwnedWindow(owner, L"VorrelMessageBox");
    return box ? box : ShownOwnedWindow(owner, L"VeyraMessageBox");
}

std::string Utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

bool KeyExists(HKEY root, const wchar_t* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// A window of another program, as a window manager would activate it when the user turns there: with
// no window manager on Xvfb, nothing else takes the focus from the desktop's menus.
class OtherProgramWindow final : public MappedWindow<OtherProgramWindow> {
public:
    static constexpr RECT kPlace{0, 0, 120, 80};  // off the centred desktop

    OtherProgramWindow() { m_created = Create(WindowClass{L"VeyraOtherProgram"}, L"other", PopupPlacement(kPlace)); }
    static std::span<const Entry> Messages() { return {}; }

    // Shown and made the foreground window, the pointer moved onto it first as the user's hand would.
    bool TakeForeground() const
    {
        return m_created && SendMouseAt(Centre(kPlace), 0) && (ShowWindow(Handle(), SW_SHOW), true) &&
               SetForegroundWindow(Handle());
    }

private:
    bool m_created = false;
};

class TasksEndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_noMerge.Delete());
        ASSERT_TRUE(m_guide.SetDword(1));
    }

    void StartDesktop()
    {
        m_driver = std::make_unique<DesktopDriver>(m_suite);
        ASSERT_TRUE(m_driver->Program().Started());
        ASSERT_NE(m_driver->WaitForDesktop(), nullptr) << "the desktop window appears";
        ASSERT_TRUE(WaitFor([this] { return !m_driver->ControlLine(DesktopControl::kTaskbarArea).empty(); }));
    }

    // The dump of `window` once `ready` holds for it; "" after the wait.
    std::string DumpWhen(HWND window, const std::function<bool(const std::string&)>& ready)
    {
        std::string dump;
        const bool found = WaitFor([&] { return ready(dump = m_driver->DumpOf(window)); }, std::chrono::seconds(20));
        return found ? dump : std::string();
    }

    // After a launch request for `requested` (the path as the tray gets it): the tray starts its target,
    // whose window is on the taskbar from the next process snapshot; the task manager lists its name and
    // id, and its end button ends it, leaving both empty again. `shot` names the manager's screenshot.
    void ExpectStartedListedAndEnded(const std::wstring& requested, const std::wstring& shot)
    {
        const HWND desktop = m_driver->Window();
        ASSERT_TRUE(m_tray.WaitForLine(L"request " + requested)) << TrayLog();
        DWORD processId = 0;
        ASSERT_TRUE(m_tray.WaitForLine([&](const std::wstring& line) {
            return line.rfind(L"launched ", 0) == 0 && swscanf(line.c_str(), L"launched %lu", &processId) == 1;
        })) << "the tray resolves the shortcut and starts its target";
        const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
        ASSERT_TRUE(process);
        ASSERT_NE(WaitForProcessWindow(processId), nullptr);
        EXPECT_TRUE(WaitFor([&] { return ChildrenOf(m_driver->Dump(), DesktopControl::kTaskbarArea) == 1; },
                            kOneSnapshot))
            << m_driver->Dump();

        PostMessageW(desktop, WM_COMMAND, MAKEWPARAM(kTaskManagerCommand, 0), 0);
        HWND tasks = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (tasks = ShownOwnedWindow(desktop, L"#32770")) != nullptr; }));
        const std::string listed = DumpWhen(tasks, [&](const std::string& tree) {
            return !LineWithText(tree, std::to_string(processId)).empty();
        });
        ASSERT_FALSE(listed.empty()) << m_driver->DumpOf(tasks);
        EXPECT_FALSE(LineWithText(listed, "veyra_test_sleeper.exe").empty()) << listed;
        EXPECT_NE(m_driver->ControlLineOf(tasks, 7003).find("disabled=0"), std::string::npos);
        EXPECT_EQ(listed.find("loaded=0"), std::string::npos) << "every image of the task manager is found\n" << listed;
        if (!shot.empty()) {
            SaveScreenshot(shot);
        }

        const std::optional<RECT> row = RectOf(LineWithText(listed, "veyra_test_sleeper.exe"));
        ASSERT_TRUE(row);
        ASSERT_TRUE(m_driver->ClickIn(tasks, Centre(*row)));
        const std::optional<RECT> endButton = RectOf(m_driver->ControlLineOf(tasks, 7003));
        ASSERT_TRUE(endButton);
        ASSERT_TRUE(WaitFor([&] {
            m_driver->ClickIn(tasks, Centre(*endButton));
            return WaitForSingleObject(process.get(), 500) == WAIT_OBJECT_0;
        })) << "7003 ends the selected process";
        EXPECT_TRUE(WaitFor([&] {
            const std::string tree = m_driver->DumpOf(tasks);
            return LineWithText(tree, std::to_string(processId)).empty() &&
                   m_driver->ControlLineOf(tasks, 7003).find("disabled=1") != std::string::npos;
        })) << m_driver->DumpOf(tasks);
        EXPECT_TRUE(WaitFor([&] { return ChildrenOf(m_driver->Dump(), DesktopControl::kTaskbarArea) == 0; }));
    }

    std::string TrayLog() const
    {
        std::string log;
        for (const std::wstring& line : m_tray.Lines()) {
            log += Utf8(line) + "\n";
        }
        return log;
    }

    // The settings menu, shown by the settings button; nullptr when it never shows.
    HWND OpenSettingsMenu()
    {
        HWND menu = nullptr;
        m_driver->Click(kSettingsButton);
        WaitFor([&] {
            for (const HWND window : ShownOwnedWindows(m_driver->Window(), L"#32770")) {
                if (!LineWithText(m_driver->DumpOf(window), Utf8(L"  显示进程")).empty()) {
                    menu = window;
                    return true;
                }
            }
            return false;
        });
        return menu;
    }

    // A click on the settings row that reads `text`. Each click lands 20 pixels beside the last: two
    // presses at one spot within the double-click time would make the second a double click, which the
    // skin library does not take as a press.
    bool ClickRow(HWND menu, const std::wstring& text)
    {
        const std::optional<RECT> row = RectOf(LineWithText(m_driver->DumpOf(menu), Utf8(text)));
        m_clickShift = m_clickShift ? 0 : 20;
        return row && m_driver->ClickIn(menu, POINT{row->left + 30 + m_clickShift, (row->top + row->bottom) / 2});
    }

    LONG m_clickShift = 0;
    TrayFixture m_tray;
    ScopedRegistryValue m_noMerge{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagNoMergeFile};
    ScopedRegistryValue m_guide{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagGuide};
    ScopedRegistryValue m_state{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagState};
    ScopedRegistryValue m_network{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagBlockNetwork};
    FakeSuite m_suite{SuitePart::All};
    std::unique_ptr<DesktopDriver> m_driver;
};

TEST_F(TasksEndToEnd, AProgramStartedFromTheStartMenuIsListedAndEndedThere)
{
    SleeperShortcut shortcut(CSIDL_PROGRAMS);
    ASSERT_TRUE(shortcut.Made());
    StartDesktop();
    EXPECT_EQ(ChildrenOf(m_driver->Dump(), DesktopControl::kTaskbarArea), 0) << "nothing runs yet";

    ASSERT_TRUE(m_driver->Click(kStartButton));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = ShownOwnedWindow(m_driver->Window(), kStartMenuClass)) != nullptr; }));
    const std::string dump = DumpWhen(menu, [](const std::string& tree) {
        return !LineWithText(tree, "veyra_test_sleeper").empty();
    });
    ASSERT_FALSE(dump.empty()) << m_driver->DumpOf(menu);
    const std::optional<RECT> caption = RectOf(LineWithText(dump, "veyra_test_sleeper"));
    ASSERT_TRUE(caption);
    EXPECT_NE(LineWithText(dump, "\xE6\x96\x87\xE6\xA1\xA3").find("visible=1"), std::string::npos) << "文档";
    EXPECT_EQ(dump.find("loaded=0"), std::string::npos) << "every image of the menu is found\n" << dump;
    SaveScreenshot(L"start-menu");

    ASSERT_TRUE(m_driver->ClickIn(menu, Centre(*caption)));
    ExpectStartedListedAndEnded(shortcut.Path(), L"task-manager");
}

// A double click on a desktop icon (placed from the desktop's dump, the X pointer's own double click).
TEST_F(TasksEndToEnd, AProgramStartedFromADesktopIconIsListedAndEndedThere)
{
    SleeperShortcut shortcut(CSIDL_DESKTOPDIRECTORY);
    ASSERT_TRUE(shortcut.Made());
    StartDesktop();
    EXPECT_EQ(ChildrenOf(m_driver->Dump(), DesktopControl::kTaskbarArea), 0) << "nothing runs yet";
    std::optional<RECT> icon;
    ASSERT_TRUE(WaitFor([&] {
        return (icon = RectOf(LineDrawing(m_driver->Dump(), "veyra_test_sleeper"))).has_value();
    })) << m_driver->Dump();

    RECT desktop{};
    GetWindowRect(m_driver->Window(), &desktop);
    const POINT at{desktop.left + Centre(*icon).x, desktop.top + Centre(*icon).y};
    ASSERT_TRUE(RunXdotool(L"mousemove --sync " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y) +
                           L" click --repeat 2 --delay 80 1"));
    // A program icon resolves its shortcut itself and asks the tray for the target.
    ExpectStartedListedAndEnded(SleeperProcess::ProgramPath(), L"");
}

TEST_F(TasksEndToEnd, SettingsMenuSwitchesTheMergeBackAndForth)
{
    StartDesktop();
    const HWND menu = OpenSettingsMenu();
    ASSERT_NE(menu, nullptr) << m_driver->Dump();
    RECT menuRect{}, desktopRect{};
    GetWindowRect(menu, &menuRect);
    GetWindowRect(m_driver->Window(), &desktopRect);
    EXPECT_EQ(menuRect.right, desktopRect.right) << "right edges meet";
    EXPECT_EQ(menuRect.top, desktopRect.top + 26);
    const std::string dump = m_driver->DumpOf(menu);
    EXPECT_FALSE(LineWithText(dump, Utf8(L"  还原系统")).empty()) << dump;
    SaveScreenshot(L"settings-menu");

    struct Step {
        const wchar_t* click;
        int flag;
        const wchar_t* label;
    } const steps[] = {
        {L"  只显示虚拟系统文件", 1, L"  显示系统文件"},
        {L"  显示系统文件", 0, L"  只显示虚拟系统文件"},
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(ClickRow(menu, step.click)) << Utf8(step.click) << "\n" << m_driver->DumpOf(menu);
        EXPECT_TRUE(WaitFor([&] {
            return CSandBoxHelper::IsNoMergeFile() == step.flag &&
                   !LineWithText(m_driver->DumpOf(menu), Utf8(step.label)).empty();
        })) << Utf8(step.label) << "\n" << m_driver->DumpOf(menu);
    }

    const HWND again = OpenSettingsMenu();
    EXPECT_EQ(again, menu) << "the same menu is shown again";
}

TEST_F(TasksEndToEnd, RestoreAsksAndCleansOnlyOnYesLeavingProgramsRunning)
{
    const std::wstring shadowFile = L"C:\\KavoSANDBOX\\SHADOW\\veyra_restore_probe.txt";
    CreateDirectoryW(L"C:\\KavoSANDBOX", nullptr);
    CreateDirectoryW(L"C:\\KavoSANDBOX\\SHADOW", nullptr);
    const HANDLE file = CreateFileW(shadowFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    HKEY mark = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_USERS, L"KavoSandBox\\veyra_restore_probe", 0, nullptr, 0, KEY_WRITE, nullptr, &mark,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(mark);
    SleeperProcess sleeper;
    StartDesktop();
    PostMessageW(m_driver->Window(), WM_COMMAND, MAKEWPARAM(kTaskManagerCommand, 0), 0);
    HWND tasks = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (tasks = ShownOwnedWindow(m_driver->Window(), L"#32770")) != nullptr; }));
    // The question takes the focus, and the menu hides: it is opened again for each answer.
    for (const WPARAM answer : {static_cast<WPARAM>(IDNO), static_cast<WPARAM>(IDYES)}) {
        const HWND menu = OpenSettingsMenu();
        ASSERT_NE(menu, nullptr);
        ASSERT_NE(menu, tasks);
        ASSERT_TRUE(ClickRow(menu, L"  还原系统"));
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (box = ShownMessageBox(m_driver->Window())) != nullptr; })) << answer;
        PostMessageW(box, WM_COMMAND, answer, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
        ASSERT_TRUE(m_driver->Answers());
        if (answer == IDNO) {
            EXPECT_NE(GetFileAttributesW(shadowFile.c_str()), INVALID_FILE_ATTRIBUTES) << "No cleans nothing";
            EXPECT_TRUE(KeyExists(HKEY_USERS, L"KavoSandBox\\veyra_restore_probe"));
            EXPECT_TRUE(IsWindow(tasks)) << "No leaves the task manager open";
        }
    }
    EXPECT_TRUE(WaitFor([&] { return GetFileAttributesW(shadowFile.c_str()) == INVALID_FILE_ATTRIBUTES; }));
    EXPECT_FALSE(KeyExists(HKEY_USERS, L"KavoSandBox\\veyra_restore_probe")) << "the marks are gone";
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(tasks); })) << "the task manager was closed";
    EXPECT_TRUE(sleeper.Running()) << "programs are not ended by a restore";
    EXPECT_TRUE(m_driver->Answers());
}

TEST_F(TasksEndToEnd, ShowProcessesRowOpensTheTaskManager)
{
    StartDesktop();
    const HWND menu = OpenSettingsMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(ClickRow(menu, L"  显示进程"));
    HWND tasks = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        tasks = ShownOwnedWindow(m_driver->Window(), L"#32770");
        return tasks && tasks != menu && !m_driver->ControlLineOf(tasks, 7003).empty();
    }));
}

TEST_F(TasksEndToEnd, FirstStartShowsTheIntroductionWhoseButtonSwitchesTheSandboxOn)
{
    ASSERT_TRUE(m_guide.SetDword(0));
    ASSERT_TRUE(m_state.SetDword(0));
    StartDesktop();
    HWND intro = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        intro = ShownOwnedWindow(m_driver->Window(), L"#32770");
        return intro && !m_driver->ControlLineOf(intro, 11002).empty();
    })) << "the introduction opens after start";
    const std::string action = m_driver->ControlLineOf(intro, 11002);
    EXPECT_NE(action.find("\ttext=" + Utf8(L"立即开启") + "\t"), std::string::npos) << action;
    EXPECT_NE(action.find("loaded=1"), std::string::npos) << action;
    RECT introRect{}, desktopRect{};
    GetWindowRect(intro, &introRect);
    GetWindowRect(m_driver->Window(), &desktopRect);
    EXPECT_EQ(introRect.right - introRect.left, 500);
    EXPECT_NEAR((introRect.left + introRect.right) / 2, (desktopRect.left + desktopRect.right) / 2, 1) << "centred";
    SaveScreenshot(L"introduction");

    const std::optional<RECT> button = RectOf(action);
    ASSERT_TRUE(button);
    ASSERT_TRUE(m_driver->ClickIn(intro, Centre(*button)));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(intro); })) << "a click closes it";
    EXPECT_TRUE(WaitFor([] { return CSandBoxHelper::IsGuideShown() == 1; })) << "SB_GUIDE is written";
    EXPECT_TRUE(WaitFor([] { return CSandBoxHelper::ReadFlag(kFlagState, 0) == 1; })) << "SB_State = 1";
    int notices = 0;
    EXPECT_TRUE(m_tray.WaitForLine([&](const std::wstring& line) {
        notices += line.rfind(L"notice ", 0) == 0 ? 1 : 0;
        return notices == 2;
    })) << "both sandbox-state notices reach the tray";
    EXPECT_TRUE(WaitFor([this] {
        const std::string dump = m_driver->Dump();
        const size_t at = dump.find("image=IDI_IMAGE_GUIDE");
        return at != std::string::npos && dump.rfind("rect=707,25,830,67", at) != std::string::npos;
    })) << m_driver->Dump();
}

// A rebuild (here: the program's window changes its title) empties the list while a row is selected:
// "结束进程" must then end nothing, not the process of a row that is gone.
TEST_F(TasksEndToEnd, EndProcessAfterARebuildEndsNothing)
{
    SleeperProcess sleeper;
    const HWND sleeperWindow = WaitForProcessWindow(sleeper.Id());
    ASSERT_NE(sleeperWindow, nullptr);
    ASSERT_TRUE(suite::AddSandboxProcess(sleeper.Id(), 0, SleeperProcess::ProgramPath()));
    StartDesktop();
    PostMessageW(m_driver->Window(), WM_COMMAND, MAKEWPARAM(kTaskManagerCommand, 0), 0);
    HWND tasks = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (tasks = ShownOwnedWindow(m_driver->Window(), L"#32770")) != nullptr; }));
    const std::string listed = DumpWhen(tasks, [&](const std::string& tree) {
        return !LineWithText(tree, std::to_string(sleeper.Id())).empty();
    });
    ASSERT_FALSE(listed.empty()) << m_driver->DumpOf(tasks);
    const std::optional<RECT> row = RectOf(LineWithText(listed, "veyra_test_sleeper.exe"));
    ASSERT_TRUE(row);
    ASSERT_TRUE(m_driver->ClickIn(tasks, Centre(*row)));
    ASSERT_TRUE(WaitFor([&] { return PressedBelow(m_driver->DumpOf(tasks), 7002); })) << "the row is selected";

    SetWindowTextW(sleeperWindow, L"Veyra test sleeper, renamed");
    EXPECT_TRUE(WaitFor([&] {
        const std::string tree = m_driver->DumpOf(tasks);
        return !PressedBelow(tree, 7002) && !LineWithText(tree, std::to_string(sleeper.Id())).empty();
    })) << "the next snapshot rebuilds the list and the selection goes with the old rows";
    const std::optional<RECT> endButton = RectOf(m_driver->ControlLineOf(tasks, 7003));
    ASSERT_TRUE(endButton);
    ASSERT_TRUE(m_driver->ClickIn(tasks, Centre(*endButton)));
    ASSERT_TRUE(m_driver->WaitUntilIdle());
    EXPECT_TRUE(sleeper.Running()) << "nothing was selected, so nothing ends";
    suite::RemoveSandboxProcess(sleeper.Id());
}

// A folder row opens in place: its entries below it, indented, without the ".DIR" ones.
TEST_F(TasksEndToEnd, AStartMenuFolderRowExpandsWithoutItsDirEntries)
{
    const std::wstring folder = ProgramsFolder() + L"\\Veyra Test Folder";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    for (const wchar_t* name : {L"\\Inner Notes.txt", L"\\Hidden.DIR"}) {
        const HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    StartDesktop();
    ASSERT_TRUE(m_driver->Click(kStartButton));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = ShownOwnedWindow(m_driver->Window(), kStartMenuClass)) != nullptr; }));
    const std::string dump =
        DumpWhen(menu, [](const std::string& tree) { return !LineWithText(tree, "Veyra Test Folder").empty(); });
    const std::optional<RECT> folderRow = RectOf(LineWithText(dump, "Veyra Test Folder"));
    ASSERT_TRUE(folderRow) << m_driver->DumpOf(menu);
    ASSERT_TRUE(m_driver->ClickIn(menu, Centre(*folderRow)));
    const std::string expanded =
        DumpWhen(menu, [](const std::string& tree) { return !LineWithText(tree, "Inner Notes.txt").empty(); });
    ASSERT_FALSE(expanded.empty()) << m_driver->DumpOf(menu);
    const std::optional<RECT> child = RectOf(LineWithText(expanded, "Inner Notes.txt"));
    ASSERT_TRUE(child);
    // Top-level captions start 25 pixels into the row; a child's (indent 19) at 19 + 19.
    EXPECT_EQ(child->left - folderRow->left, 38 - 25) << child->left << " " << folderRow->left;
    EXPECT_GT(child->top, folderRow->top) << "below its folder";
    EXPECT_TRUE(LineWithText(expanded, "Hidden.DIR").empty()) << expanded;
    SaveScreenshot(L"start-menu-expanded");
    DeleteFileW((folder + L"\\Inner Notes.txt").c_str());
    DeleteFileW((folder + L"\\Hidden.DIR").c_str());
    RemoveDirectoryW(folder.c_str());
}

// The start button toggles the menu: a press while it shows hides it, the next shows the same menu.
TEST_F(TasksEndToEnd, TheStartButtonHidesAShownMenuAndShowsItAgain)
{
    StartDesktop();
    ASSERT_TRUE(m_driver->Click(kStartButton));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = ShownOwnedWindow(m_driver->Window(), kStartMenuClass)) != nullptr; }));
    RECT menuRect{}, desktopRect{};
    GetWindowRect(menu, &menuRect);
    GetWindowRect(m_driver->Window(), &desktopRect);
    EXPECT_EQ(menuRect.left, desktopRect.left);
    EXPECT_EQ(menuRect.bottom, desktopRect.bottom - 40) << "above the taskbar strip";
    ASSERT_TRUE(m_driver->Click(POINT{kStartButton.x + 10, kStartButton.y}));  // beside the first press
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }));
    ASSERT_TRUE(m_driver->Click(kStartButton));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(menu) != FALSE; }));
    EXPECT_EQ(ShownOwnedWindow(m_driver->Window(), kStartMenuClass), menu) << "the same menu";
}

// The network button shows the stored flag; a click asks first, and only Yes switches flag and image.
TEST_F(TasksEndToEnd, TheNetworkButtonSwitchesTheStoredFlagOnlyOnYes)
{
    ASSERT_TRUE(m_network.SetDword(1));
    StartDesktop();
    const HWND desktop = m_driver->Window();
    EXPECT_NE(m_driver->ControlLine(DesktopControl::kNetwork).find("image=IDI_IMAGE_DISCONNECTINTERNET\t"),
              std::string::npos)
        << m_driver->ControlLine(DesktopControl::kNetwork);
    const std::optional<RECT> button = RectOf(m_driver->ControlLine(DesktopControl::kNetwork));
    ASSERT_TRUE(button);
    using dialogs::BoxButtonId::kNo;
    using dialogs::BoxButtonId::kYes;
    struct Step {
        USHORT answer;
        const wchar_t* question;
        int flag;
        const char* image;
    } const steps[] = {
        {kNo, L"是否恢复虚拟系统网络访问？", 1, "IDI_IMAGE_DISCONNECTINTERNET"},
        {kYes, L"是否恢复虚拟系统网络访问？", 0, "IDI_IMAGE_INTERNET"},
        {kNo, L"是否关闭虚拟系统网络访问？", 0, "IDI_IMAGE_INTERNET"},
        {kYes, L"是否关闭虚拟系统网络访问？", 1, "IDI_IMAGE_DISCONNECTINTERNET"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(Utf8(step.question) + (step.answer == kYes ? " yes" : " no"));
        // Each press 6 pixels beside the last, so that no two make a double click.
        m_clickShift = m_clickShift ? 0 : 6;
        const POINT press{button->left + 5 + m_clickShift, (button->top + button->bottom) / 2};
        ASSERT_TRUE(m_driver->ClickIn(desktop, press));
        HWND box = nullptr;
        std::string question;
        ASSERT_TRUE(WaitFor([&] {
            box = ShownMessageBox(desktop);
            question = box ? m_driver->DumpOf(box) : std::string();
            return ControlField(question, step.answer, "visible") == "1";
        })) << "the question shows\n" << question;
        EXPECT_EQ(ControlField(question, dialogs::NsMessageBoxBase::kMessage, "text"), Utf8(step.question));
        ASSERT_TRUE(ClickControl(box, question, step.answer));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
        EXPECT_TRUE(WaitFor([&] {
            return CSandBoxHelper::IsNetBlocked() == step.flag &&
                   m_driver->ControlLine(DesktopControl::kNetwork).find(std::string("image=") + step.image + "\t") !=
                       std::string::npos;
        })) << m_driver->ControlLine(DesktopControl::kNetwork);
    }
    EXPECT_TRUE(m_driver->Answers());
}

// The start menu and the settings menu hide when another program's window takes the focus.
TEST_F(TasksEndToEnd, TheMenusHideWhenAnotherProgramTakesTheFocus)
{
    StartDesktop();
    OtherProgramWindow other;
    const auto openStartMenu = [this] {
        HWND menu = nullptr;
        m_driver->Click(kStartButton);
        WaitFor([&] { return (menu = ShownOwnedWindow(m_driver->Window(), kStartMenuClass)) != nullptr; });
        return menu;
    };
    struct Case {
        const char* name;
        std::function<HWND()> open;
    } const cases[] = {
        {"start menu", openStartMenu},
        {"settings menu", [this] { return OpenSettingsMenu(); }},
    };
    for (const Case& menuCase : cases) {
        SCOPED_TRACE(menuCase.name);
        const HWND menu = menuCase.open();
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(m_driver->WaitUntilIdle());
        EXPECT_TRUE(IsWindowVisible(menu)) << "shown until the focus goes";
        ASSERT_TRUE(other.TakeForeground());
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }));
        EXPECT_TRUE(IsWindow(menu)) << "hidden, not destroyed";
    }
    EXPECT_TRUE(m_driver->Answers());
}

}  // namespace
