// NsProcessTab in the desktop's real taskbar strip: which registered windows and processes get a
// button, of which kind, what a press does to a minimised program, and the commands of the context
// menu after a rebuild.

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "base/Window.h"
#include "shell/explorer/ViewLayout.h"
#include "shell/protocol/WindowProtocol.h"
#include "shell/taskbar/NsProcessTab.h"
#include "tests/shell/iconview/IconViewFixture.h"
#include "tests/support/RectAssertions.h"
#include "tests/support/TestWindows.h"
#include "tests/support/WaitFor.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr USHORT kTaskbarStrip = 2002;

// Stands in for the desktop window: answers WM_NS_GET_FOLDER_WINDOWS with the windows it was given.
class FolderWindowsHost : public MappedWindow<FolderWindowsHost> {
public:
    bool Create() { return Window::Create(WindowClass{L"TaskbarTestHost"}, L"host", PopupPlacement()); }
    HostWindowMap windows;

    static std::span<const Entry> Messages()
    {
        static const Entry entries[] = {{WM_NS_GET_FOLDER_WINDOWS, &FolderWindowsHost::OnGetFolderWindows}};
        return entries;
    }

private:
    LRESULT OnGetFolderWindows(WPARAM wParam, LPARAM)
    {
        *reinterpret_cast<HostWindowMap*>(wParam) = windows;
        return 1;
    }
};

// A titled top-level window of this process, as a program's main window.
class ProgramWindow : public MappedWindow<ProgramWindow> {
public:
    bool Create(const wchar_t* title)
    {
        return Window::Create(WindowClass{L"TaskbarTestProgram"}, title, PopupPlacement(RECT{300, 300, 400, 400}));
    }
    static std::span<const Entry> Messages() { return {}; }
};

class TaskbarViewTest : public IconViewFixture {
protected:
    void SetUp() override
    {
        IconViewFixture::SetUp();
        m_strip = BuildView(L"KavoSandbox.xml", kTaskbarStrip);
        ASSERT_TRUE(m_strip);
        ASSERT_TRUE(m_host.Create());
        m_view = std::make_unique<NsProcessTab>(m_strip.get(), m_host.Handle(), kSandbox);
    }
    void TearDown() override
    {
        m_view.reset();
        m_strip.reset();
        IconViewFixture::TearDown();
    }

    ProcessEntry Process(DWORD id, const std::wstring& image, const wchar_t* title, HWND window = nullptr)
    {
        ProcessEntry entry{};
        entry.record.processId = id;
        entry.record.ownerId = kSandbox;
        wcsncpy(entry.record.imagePath, image.c_str(), kSbRuleImagePathChars - 1);
        entry.mainWindow = window;
        wcsncpy(entry.title, title, kProcessTitleChars - 1);
        return entry;
    }

    POINT CentreOf(int index)
    {
        const RECT cell = m_view->ItemAt(index)->Record().cellRect;
        return POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }

    ComPtr<vorrelUI::Ivorrel_panel> m_strip;
    FolderWindowsHost m_host;
    std::unique_ptr<NsProcessTab> m_view;
};

TEST_F(TaskbarViewTest, RefreshBeforeInitDoesNothing)
{
    EXPECT_EQ(m_view->Refresh(), 0);
    EXPECT_EQ(m_view->ItemCount(), 0);
    EXPECT_EQ(m_view->Init(), 1);
    EXPECT_EQ(m_view->ViewMode(), VIEW_MODE_TASKBAR);
    EXPECT_EQ(m_view->Refresh(), 1);
}

TEST_F(TaskbarViewTest, RebuildShowsFolderWindowsAndTitledProcessesByKind)
{
    ASSERT_EQ(m_view->Init(), 1);
    // One live window of each kind flag, and a folder window that has gone.
    const std::int32_t kinds[] = {HostKind::kFolderWindow, HostKind::kStartMenu, HostKind::kTaskManager,
                                  HostKind::kModelessBox,  HostKind::kModalBox,  HostKind::kFolderWindow | HostKind::kModelessBox,
                                  HostKind::kFolderWindow};
    ProgramWindow windows[std::size(kinds)];
    for (size_t index = 0; index < std::size(kinds); ++index) {
        ASSERT_TRUE(windows[index].Create(L"registered"));
        m_host.windows[windows[index].Handle()] = MakeHostWindowEntry(windows[index].Handle(), &kinds[index], kinds[index]);
    }
    DestroyWindow(windows[std::size(kinds) - 1].Handle());
    const HWND folder = windows[0].Handle();
    ProgramWindow other;
    ASSERT_TRUE(other.Create(L"other"));
    const std::wstring program = m_root + L"\\run.exe";
    const std::wstring document = m_root + L"\\notes.txt";
    MakeReal(program);
    MakeReal(document);
    const std::vector<ProcessEntry> processes = {
        Process(101, program, L"Runner", other.Handle()),
        Process(102, program, L""),                     // no titled window: no button
        Process(103, document, L"Notes"),
        Process(104, m_root + L"\\link.lnk", L"Link"),  // an unresolvable shortcut reads as a document
    };
    ASSERT_EQ(m_view->Rebuild(processes), 1);
    struct Expected {
        int kind;
        std::int32_t processId;
        HWND window;
        const wchar_t* title;
    } const expected[] = {
        {kFileKindFolder, 0, folder, L""},
        {kFileKindProgram, 101, other.Handle(), L"Runner"},
        {kFileKindFile, 103, nullptr, L"Notes"},
        {kFileKindFile, 104, nullptr, L"Link"},
    };
    ASSERT_EQ(m_view->ItemCount(), static_cast<int>(std::size(expected)));
    for (int index = 0; index < m_view->ItemCount(); ++index) {
        const FileItemRecord& record = m_view->ItemAt(index)->Record();
        EXPECT_EQ(record.kind, expected[index].kind) << index;
        EXPECT_EQ(record.viewValues[0], expected[index].processId) << index;
        EXPECT_EQ(TargetOf(record).window, expected[index].window) << index;
        EXPECT_EQ(record.extraText, expected[index].title) << index;
    }
    EXPECT_EQ(m_view->ItemAt(0)->Record().viewValues[3],
              static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(&kinds[0])))
        << "the registration value is kept as given";

    ASSERT_EQ(m_view->Rebuild({}), 1);
    EXPECT_EQ(m_view->ItemCount(), 1) << "a rebuild replaces every button";
}

// Titles change often (any window of a sandboxed program may retitle itself): the buttons stay, with the
// new titles; a process that ends takes only its own button along.
TEST_F(TaskbarViewTest, ATitleChangeKeepsTheButtonsAndAProcessChangeOnlyItsOwn)
{
    ASSERT_EQ(m_view->Init(), 1);
    const std::wstring program = m_root + L"\\run.exe";
    MakeReal(program);
    std::vector<ProcessEntry> processes = {Process(201, program, L"First"), Process(202, program, L"Second")};
    ASSERT_EQ(m_view->Rebuild(processes), 1);
    ASSERT_EQ(m_view->ItemCount(), 2);
    NsIcon* const first = m_view->ItemAt(0);
    wcscpy(processes[0].title, L"First, renamed");
    ASSERT_EQ(m_view->Rebuild(processes), 1);
    EXPECT_EQ(m_view->ItemAt(0), first) << "the same button";
    EXPECT_EQ(m_view->ItemAt(0)->Record().extraText, L"First, renamed");
    processes[1].record.processId = 203;
    ASSERT_EQ(m_view->Rebuild(processes), 1);
    ASSERT_EQ(m_view->ItemCount(), 2);
    EXPECT_EQ(m_view->ItemAt(0), first) << "the other process's button stays";
    EXPECT_EQ(m_view->ItemAt(1)->Record().viewValues[0], 203);
    processes.pop_back();
    ASSERT_EQ(m_view->Rebuild(processes), 1);
    EXPECT_EQ(m_view->ItemCount(), 1);
}

// Each change keeps the buttons of windows still there and puts all of them in the snapshot's order,
// folder windows first, in the cells a new strip would give them; the controls of gone buttons leave.
TEST_F(TaskbarViewTest, ChangesKeepTheSnapshotsOrderAndTheRemainingButtons)
{
    ASSERT_EQ(m_view->Init(), 1);
    const std::wstring program = m_root + L"\\run.exe";
    MakeReal(program);
    ProgramWindow folder;
    ASSERT_TRUE(folder.Create(L"folder"));
    INT emptyStrip = 0;
    ASSERT_EQ(m_strip->GetChildCount(&emptyStrip), S_OK);
    struct Step {
        const char* name;
        std::vector<DWORD> processes;
        bool folderWindow;
        std::vector<std::int32_t> buttons;  // process ids, 0 for the folder window
    } const steps[] = {
        {"three programs", {11, 12, 13}, false, {11, 12, 13}},
        {"one ends, one starts in its place", {11, 14, 13}, false, {11, 14, 13}},
        {"a folder window opens", {11, 14, 13}, true, {0, 11, 14, 13}},
        {"the snapshot's order changes", {13, 11, 14}, true, {0, 13, 11, 14}},
        {"the first ends, two start", {11, 15, 14, 16}, false, {11, 15, 14, 16}},
        {"all end", {}, false, {}},
    };
    std::map<std::int32_t, NsIcon*> before;
    for (const Step& step : steps) {
        m_host.windows.clear();
        if (step.folderWindow) {
            m_host.windows[folder.Handle()] = MakeHostWindowEntry(folder.Handle(), nullptr, HostKind::kFolderWindow);
        }
        std::vector<ProcessEntry> processes;
        for (const DWORD id : step.processes) {
            processes.push_back(Process(id, program, L"Program"));
        }
        ASSERT_EQ(m_view->Rebuild(processes), 1) << step.name;
        ASSERT_EQ(m_view->ItemCount(), static_cast<int>(step.buttons.size())) << step.name;
        const RECT panel = m_view->PanelRect();
        PlacementState placement{m_view->Grid(), 0, 0};
        std::map<std::int32_t, NsIcon*> now;
        for (int index = 0; index < m_view->ItemCount(); ++index) {
            NsIcon* item = m_view->ItemAt(index);
            const std::int32_t id = item->Record().viewValues[0];
            EXPECT_EQ(id, step.buttons[index]) << step.name << " button " << index;
            if (const auto kept = before.find(id); kept != before.end()) {
                EXPECT_EQ(item, kept->second) << step.name << ": button " << id << " stays";
            }
            const std::optional<RECT> cell =
                PlaceNextCell(VIEW_MODE_TASKBAR, placement, POINT{panel.left, panel.top}, false, 0);
            ASSERT_TRUE(cell) << step.name;
            EXPECT_TRUE(SameRect(item->Record().cellRect, *cell)) << step.name << " button " << index;
            now[id] = item;
        }
        INT children = 0;
        ASSERT_EQ(m_strip->GetChildCount(&children), S_OK);
        EXPECT_EQ(children - emptyStrip, m_view->ItemCount()) << step.name;
        before = std::move(now);
    }
}

TEST_F(TaskbarViewTest, PressOnAMinimisedProgramShowsItNormal)
{
    ASSERT_EQ(m_view->Init(), 1);
    ProgramWindow program;
    ASSERT_TRUE(program.Create(L"Runner"));
    ShowWindow(program.Handle(), SW_SHOWMINIMIZED);
    ASSERT_TRUE(IsIconic(program.Handle()));
    const std::wstring image = m_root + L"\\run.exe";
    MakeReal(image);
    ASSERT_EQ(m_view->Rebuild({Process(GetCurrentProcessId(), image, L"Runner", program.Handle())}), 1);
    ASSERT_EQ(m_view->ItemCount(), 1);
    POINT point = CentreOf(0);
    EXPECT_EQ(m_view->OnLButtonDown(&point), 1);
    EXPECT_TRUE(WaitFor([&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        return !IsIconic(program.Handle()) && IsWindowVisible(program.Handle());
    }));
    EXPECT_STREQ(m_view->ItemAt(0)->CoverName().c_str(), kTaskbarCoverClick);
    POINT nowhere{-50, -50};
    EXPECT_EQ(m_view->OnLButtonDown(&nowhere), 0);
}

// The context menu's commands act on the button pressed for it, even when the taskbar was rebuilt
// while the menu was open (the rebuild empties the selection).
TEST_F(TaskbarViewTest, MenuCommandsKeepThePressedButtonAcrossARebuild)
{
    ASSERT_EQ(m_view->Init(), 1);
    ProgramWindow folder;
    ASSERT_TRUE(folder.Create(L"folder"));
    m_host.windows[folder.Handle()] = MakeHostWindowEntry(folder.Handle(), nullptr, HostKind::kFolderWindow);
    ASSERT_EQ(m_view->Rebuild({}), 1);
    POINT point = CentreOf(0);
    ASSERT_EQ(m_view->BaseLButtonDown(&point), 1);
    const std::wstring program = m_root + L"\\run.exe";
    MakeReal(program);
    ASSERT_EQ(m_view->Rebuild({Process(301, program, L"Started meanwhile")}), 1);
    EXPECT_EQ(m_view->FirstSelected(), nullptr) << "the rebuild emptied the selection";
    EXPECT_EQ(m_view->CloseSelected(), 1);
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, folder.Handle(), WM_CLOSE, WM_CLOSE, PM_REMOVE)) << "WM_CLOSE was posted";
    EXPECT_EQ(m_view->CloseSelected(), 0) << "the press serves one command";
}

TEST_F(TaskbarViewTest, CloseAllWithoutProcessesDoesNothing)
{
    ASSERT_EQ(m_view->Init(), 1);
    EXPECT_EQ(m_view->CloseAll(), 1);
    EXPECT_EQ(m_view->RestoreSelected(), 0);
    EXPECT_EQ(m_view->CloseSelected(), 0);
}

}  // namespace
