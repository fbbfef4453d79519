// A real Veyra.exe takes a file drag from another program onto a folder icon of its desktop, moved and
// released by the X pointer: the copy of a tree above the progress limit shows its dialog and asks in its
// conflict boxes on the worker's thread, answered by X clicks; and closing the desktop in the middle of
// such a copy leaves no file of the sandbox copy half-written.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "core/Launcher.h"
#include "core/SandBoxHelper.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/desktop/NsDesktopDlg.h"
#include "shell/dialogs/NsProgressDlg.h"
#include "shell/dialogs/NsReplaceMessageBox.h"
#include "suite/contracts/TrayProtocol.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/DesktopDriver.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/SkinWindowProbe.h"
#include "tests/support/SleeperProcess.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TrayFixture.h"
#include "tests/support/TreeSnapshot.h"
#include "tests/support/WaitFor.h"
#include "tests/support/XdoTool.h"

namespace veyra::test {
namespace {

using Box = dialogs::NsReplaceMessageBox;
using dialogs::NsProgressDlg;
using namespace std::chrono_literals;

constexpr wchar_t kReplaceBoxClass[] = L"VeyraReplaceBox";
constexpr wchar_t kProgressClass[] = L"VeyraProgressDialog";
constexpr wchar_t kTargetName[] = L"拷贝目标";
constexpr char kTargetCaption[] = "拷贝目标";
constexpr wchar_t kRootName[] = L"src";
constexpr std::size_t kLarge = 16 * 1024 * 1024;
// Large enough that the exit question is usually answered while the worker still writes the first of
// them.
constexpr std::size_t kLonger = 64 * 1024 * 1024;
// Where the other program's drag source window stands: clear of the centred desktop window.
constexpr POINT kSourceWindow{10, 10};
constexpr POINT kSourcePress{110, 110};

enum class AtTarget { Nothing, SandboxCopy, RealFile };

struct SourceFile {
    std::wstring relative;  // below the dragged root
    std::string bytes;
    AtTarget existing;
    std::string existingBytes;
};

// The dragged tree, in the order the worker meets its files: three names already at the target, one
// of them only a real file there, and two large files that carry the total above the limit.
std::vector<SourceFile> Tree(std::size_t large)
{
    return {
        {L"a.txt", "new a", AtTarget::SandboxCopy, "old a"},
        {L"sub1\\a.bin", std::string(large, '1'), AtTarget::Nothing, {}},
        {L"sub1\\b.txt", "new b", AtTarget::SandboxCopy, "old b"},
        {L"sub2\\c.txt", "new c", AtTarget::RealFile, "the user's c"},
        {L"sub2\\d.bin", std::string(large, '2'), AtTarget::Nothing, {}},
        {L"sub2\\deep\\e.txt", "new e", AtTarget::Nothing, {}},
    };
}

// The progress dialog's summary for the tree: every file counts, the megabytes rounded down.
std::string Summary(const std::vector<SourceFile>& tree)
{
    std::uint64_t bytes = 0;
    for (const SourceFile& file : tree) {
        bytes += file.bytes.size();
    }
    return "正在复制 " + std::to_string(tree.size()) + " 个项目（" + std::to_string(bytes / (1024 * 1024)) + " MB）";
}

bool WriteWithFolders(const std::wstring& path, const std::string& bytes)
{
    return CreateFolderTree(path.substr(0, path.rfind(L'\\'))) && WriteFileBytes(path, bytes);
}

// Every file below `root` by its relative name.
void CollectFiles(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW entry{};
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!find) {
        return;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring child = relative.empty() ? name : relative + L"\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CollectFiles(root, child, files);
        } else {
            files.push_back(child);
        }
    } while (FindNextFileW(find.get(), &entry));
}

// The first dump line whose shown text is `text`, "" when there is none.
std::string LineWithText(const std::string& dump, const std::string& text)
{
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) {
        if (LineField(line, "text") == text) {
            return line;
        }
    }
    return {};
}

// A rectangle of a dump line.
RECT LineRect(const std::string& line)
{
    RECT rect{};
    if (std::sscanf(LineField(line, "rect").c_str(), "%ld,%ld,%ld,%ld", &rect.left, &rect.top, &rect.right,
                    &rect.bottom) != 4) {
        return RECT{};
    }
    return rect;
}

POINT ScreenCentre(HWND window, const RECT& layout)
{
    RECT frame{};
    GetWindowRect(window, &frame);
    return POINT{frame.left + (layout.left + layout.right) / 2, frame.top + (layout.top + layout.bottom) / 2};
}

class DropCopyEndToEnd : public testing::Test {
protected:
    explicit DropCopyEndToEnd(std::size_t large = kLarge) : m_tree(Tree(large)) {}

    void SetUp() override
    {
        wchar_t desktop[MAX_PATH] = {};
        ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE));
        m_target = std::wstring(desktop) + L"\\" + kTargetName;
        CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
        ASSERT_TRUE(view.ToSandboxPath(m_target, m_targetShadow, 0));
        RemoveTree(m_target);
        RemoveTree(m_targetShadow);
        ASSERT_TRUE(CreateFolderTree(m_target));
        for (const SourceFile& file : m_tree) {
            ASSERT_TRUE(WriteWithFolders(Source(file), file.bytes));
            if (file.existing == AtTarget::RealFile) {
                ASSERT_TRUE(WriteWithFolders(m_target + L"\\" + Copied(file), file.existingBytes));
            } else if (file.existing == AtTarget::SandboxCopy) {
                ASSERT_TRUE(WriteWithFolders(m_targetShadow + L"\\" + Copied(file), file.existingBytes));
            }
        }
        ASSERT_TRUE(m_guide.SetDword(1));
        m_driver = std::make_unique<DesktopDriver>(m_suite);
        ASSERT_NE(m_driver->WaitForDesktop(), nullptr);
        ASSERT_TRUE(WaitFor([this] { return !IconLine().empty(); }, 30s)) << m_driver->Dump();
    }
    void TearDown() override
    {
        if (m_buttonDown) {
            (void)RunXdotool(L"mouseup 1");  // a failed drag leaves no pressed button to the next case
        }
        m_driver.reset();
        RemoveTree(m_target);
        RemoveTree(m_targetShadow);
    }

    std::wstring Source(const SourceFile& file) const { return m_source / (std::wstring(kRootName) + L"\\" + file.relative); }
    static std::wstring Copied(const SourceFile& file) { return std::wstring(kRootName) + L"\\" + file.relative; }

    // The desktop icon control drawing the target folder's caption, after the controls it stands in
    // (the drop highlight is the cover of its outer panel).
    std::vector<std::string> IconLineAndAncestors() const
    {
        std::istringstream lines(m_driver->Dump());
        std::vector<std::string> path;
        for (std::string line; std::getline(lines, line);) {
            const size_t depth = line.find_first_not_of(' ') / 2;
            path.resize(depth);
            path.push_back(line);
            if (LineField(line, "drawn") == kTargetCaption) {
                return path;
            }
        }
        return {};
    }
    std::string IconLine() const
    {
        const std::vector<std::string> path = IconLineAndAncestors();
        return path.empty() ? std::string() : path.back();
    }
    bool IconHighlighted() const
    {
        for (const std::string& line : IconLineAndAncestors()) {
            if (LineField(line, "cover") == "IDI_IMAGE_COVER_CLICK") {
                return true;
            }
        }
        return false;
    }

    // Drags the tree's root from the other program and drops it on the folder icon with the X pointer.
    void DropTreeOnTheFolderIcon()
    {
        const RECT icon = LineRect(IconLine());
        ASSERT_GT(icon.right, icon.left) << IconLine();
        const POINT target = ScreenCentre(m_driver->Window(), icon);
        const ScopedEnvironmentVariable paths(L"VEYRA_DRAG_PATHS", m_source / kRootName);
        m_dragSource = std::make_unique<ChildProcess>(
            BinFile(L"veyra_drag_window.exe"),
            L"source " + std::to_wstring(kSourceWindow.x) + L" " + std::to_wstring(kSourceWindow.y));
        const HWND source = m_dragSource->WaitForShownWindow(L"VeyraDragSourceWindow", 30000);
        ASSERT_NE(source, nullptr);
        ASSERT_TRUE(RunXdotool(L"mousemove --sync " + std::to_wstring(kSourcePress.x) + L" " +
                               std::to_wstring(kSourcePress.y) + L" mousedown 1"));
        m_buttonDown = true;
        // The drag's loop runs once the source thread holds the capture.
        const DWORD sourceThread = GetWindowThreadProcessId(source, nullptr);
        ASSERT_TRUE(WaitFor([&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            return GetGUIThreadInfo(sourceThread, &info) && info.hwndCapture != nullptr;
        })) << "the press started no drag";
        // Moves at a hand's pace, the last ones on the icon: the release, sent once the icon shows the
        // highlight, lands there even before the last moves have been made.
        std::wstring moves;
        constexpr int kSteps = 10;
        for (int step = 1; step <= kSteps + 3; ++step) {
            const int done = step > kSteps ? kSteps : step;
            const LONG x = kSourcePress.x + (target.x - kSourcePress.x) * done / kSteps + (step > kSteps ? step - kSteps : 0);
            const LONG y = kSourcePress.y + (target.y - kSourcePress.y) * done / kSteps;
            moves += L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y) + L" sleep 0.05 ";
        }
        ASSERT_TRUE(RunXdotool(moves));
        EXPECT_TRUE(WaitFor([this] { return IconHighlighted(); }, 20s)) << "the icon shows no drop highlight";
        ASSERT_TRUE(RunXdotool(L"mouseup 1"));
        m_buttonDown = false;
        EXPECT_EQ(m_dragSource->WaitForExit(20000), 1u) << "the drag ended with a drop";
    }

    // The conflict box now shown (after `previous` went); `progress` the progress dialog's dump once it
    // shows the tree's summary and an item line from `folder`.
    HWND NextConflict(std::string& progress, const std::string& folder, HWND previous = nullptr)
    {
        EXPECT_TRUE(WaitFor([previous] { return !previous || !IsWindow(previous); }));
        const HWND box = m_driver->Program().WaitForShownWindow(kReplaceBoxClass, 60000);
        const HWND dialog = m_driver->Program().ShownWindow(kProgressClass);
        EXPECT_NE(box, nullptr) << "no conflict box";
        EXPECT_NE(dialog, nullptr) << "no progress dialog";
        if (!box || !dialog) {
            return nullptr;
        }
        EXPECT_NE(GetWindowThreadProcessId(box, nullptr), GetWindowThreadProcessId(m_driver->Window(), nullptr))
            << "the box belongs to the worker's thread";
        EXPECT_TRUE(WaitFor([&] { return ControlField(m_driver->DumpOf(box), Box::kCancelButton, "visible") == "1"; }));
        EXPECT_TRUE(WaitFor([&] {
            progress = m_driver->DumpOf(dialog);
            return ControlField(progress, NsProgressDlg::kSummary, "text") == Summary(m_tree) &&
                   ControlField(progress, NsProgressDlg::kDetail, "text").value_or("").find("从 " + folder + " (") !=
                       std::string::npos;
        })) << progress;
        return box;
    }

    // An X click at the centre of control `id` of a skinned window of the program.
    void ClickControlOf(HWND window, USHORT id) const
    {
        const std::optional<RECT> rect = ControlRect(m_driver->DumpOf(window), id);
        ASSERT_TRUE(rect.has_value()) << id;
        ASSERT_TRUE(ClickAt(ScreenCentre(window, *rect)));
    }

    static int Bar(const std::string& progress)
    {
        return std::stoi(ControlField(progress, NsProgressDlg::kBar, "progress").value_or("-1"));
    }

    // The files of the target's sandbox copy with their bytes.
    std::map<std::wstring, std::string> SandboxFiles() const
    {
        std::vector<std::wstring> names;
        CollectFiles(m_targetShadow, L"", names);
        std::map<std::wstring, std::string> files;
        for (const std::wstring& name : names) {
            files[name] = ReadFileBytes(m_targetShadow + L"\\" + name);
        }
        return files;
    }

    TrayFixture m_tray;
    ScopedRegistryValue m_guide{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagGuide};
    FakeSuite m_suite{SuitePart::All};
    TempFolder m_source{L"dropcopy"};
    const std::vector<SourceFile> m_tree;
    std::wstring m_target;
    std::wstring m_targetShadow;
    std::unique_ptr<DesktopDriver> m_driver;
    std::unique_ptr<ChildProcess> m_dragSource;
    bool m_buttonDown = false;
};

// Replace the first conflict; skip the second with "apply to all", so the third asks nothing.
TEST_F(DropCopyEndToEnd, ATreeDroppedOnAFolderIconCopiesWithItsDialogAndConflictBoxes)
{
    const RealTreeGuard sourceGuard(m_source.Path());
    const RealTreeGuard targetGuard(m_target);
    ASSERT_NO_FATAL_FAILURE(DropTreeOnTheFolderIcon());

    std::string progress;
    const HWND first = NextConflict(progress, "src");
    ASSERT_NE(first, nullptr);
    const int firstBar = Bar(progress);
    SaveScreenshot(L"drop-copy-first-conflict");
    ASSERT_NO_FATAL_FAILURE(ClickControlOf(first, Box::kReplacePanel));

    const HWND second = NextConflict(progress, "sub1", first);
    ASSERT_NE(second, nullptr);
    EXPECT_GT(Bar(progress), firstBar) << "the large file between the conflicts was counted";
    const HWND dialog = m_driver->Program().ShownWindow(kProgressClass);
    // The box stands over the dialog's middle: moved beside it for the picture, so that both show (the
    // desktop clips what leaves its work band).
    RECT dialogRect{};
    GetWindowRect(dialog, &dialogRect);
    SetWindowPos(second, nullptr, dialogRect.right + 8, dialogRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitFor([&] {
        RECT box{};
        GetWindowRect(second, &box);
        return box.left == dialogRect.right + 8;
    }));
    SaveScreenshot(L"drop-copy-dialog-and-box");
    ASSERT_NO_FATAL_FAILURE(ClickControlOf(second, Box::kRemember));
    EXPECT_TRUE(WaitFor([&] { return ControlField(m_driver->DumpOf(second), Box::kRemember, "check") == "1"; }));
    ASSERT_NO_FATAL_FAILURE(ClickControlOf(second, Box::kSkipPanel));

    // A third box would hold the worker, and with it the dialog.
    EXPECT_TRUE(WaitFor([dialog] { return !IsWindow(dialog); }, 60s)) << "the dialog goes at the copy's end";
    EXPECT_EQ(m_driver->Program().ShownWindow(kReplaceBoxClass), nullptr) << "the third conflict asks nothing";

    std::map<std::wstring, std::string> expected;
    for (const SourceFile& file : m_tree) {
        if (file.relative == L"a.txt" || file.existing == AtTarget::Nothing) {
            expected[Copied(file)] = file.bytes;  // copied or replaced
        } else if (file.existing == AtTarget::SandboxCopy) {
            expected[Copied(file)] = file.existingBytes;  // skipped: the earlier sandbox copy stays
        }
    }
    const std::map<std::wstring, std::string> copied = SandboxFiles();
    for (const auto& [name, bytes] : copied) {
        const auto found = expected.find(name);
        EXPECT_TRUE(found != expected.end()) << "not to be in the sandbox copy: " << name;
        EXPECT_TRUE(found == expected.end() || found->second == bytes) << name << ": " << bytes.size() << " bytes";
    }
    EXPECT_EQ(copied.size(), expected.size());
    EXPECT_TRUE(sourceGuard.Unchanged());
    EXPECT_TRUE(targetGuard.Unchanged());
    EXPECT_TRUE(m_driver->Answers());
}

class DesktopClosedDuringDropCopy : public DropCopyEndToEnd {
protected:
    DesktopClosedDuringDropCopy() : DropCopyEndToEnd(kLonger) {}
};

// The desktop's close button while the worker copies the tree, answered No: the worker is stopped and
// waited for before the program ends, and a program started in the sandbox goes on running.
TEST_F(DesktopClosedDuringDropCopy, NoFileOfTheSandboxCopyIsLeftHalfWritten)
{
    if (!FindWindowW(kTrayWindowClass, nullptr)) {
        ASSERT_TRUE(m_tray.Start());
    }
    CLauncher launcher;
    ASSERT_EQ(launcher.LaunchViaTray(BinFile(L"veyra_test_sleeper.exe").c_str()), 1);
    const UniqueHandle sleeperProcess = OpenStartedSleeper();
    ASSERT_TRUE(sleeperProcess);
    const RealTreeGuard sourceGuard(m_source.Path());
    const RealTreeGuard targetGuard(m_target);
    ASSERT_NO_FATAL_FAILURE(DropTreeOnTheFolderIcon());

    std::string progress;
    const HWND box = NextConflict(progress, "src");
    ASSERT_NE(box, nullptr);
    // Replaced, the worker goes on with the large files while the exit question is asked.
    ASSERT_NO_FATAL_FAILURE(ClickControlOf(box, Box::kReplacePanel));
    ASSERT_TRUE(WaitFor([box] { return !IsWindow(box); }));
    ASSERT_NO_FATAL_FAILURE(ClickControlOf(m_driver->Window(), DesktopControl::kClose));
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (question = ShownLibraryMessageBox(m_driver->Window())) != nullptr; }))
        << "the exit question shows";
    // The worker's next box may open over the question, so the answer is posted rather than clicked.
    std::string asked;
    EXPECT_TRUE(WaitFor([&] {
        asked = m_driver->DumpOf(question);
        return !LineWithText(asked, "退出时是否关闭虚拟系统所有的进程？").empty();
    })) << asked;
    PostMessageW(question, WM_COMMAND, IDNO, 0);
    EXPECT_EQ(m_driver->WaitForExit(20000), 0u) << "No ends the desktop";

    std::map<std::wstring, std::string> whole;
    std::map<std::wstring, std::string> before;
    for (const SourceFile& file : m_tree) {
        whole[Copied(file)] = file.bytes;
        if (file.existing == AtTarget::SandboxCopy) {
            before[Copied(file)] = file.existingBytes;
        }
    }
    std::size_t complete = 0;
    for (const auto& [name, bytes] : SandboxFiles()) {
        const bool isWhole = whole.count(name) && whole[name] == bytes;
        const bool isEarlier = before.count(name) && before[name] == bytes;
        EXPECT_TRUE(isWhole || isEarlier) << "half-written or foreign: " << name << ", " << bytes.size() << " bytes";
        complete += isWhole ? 1 : 0;
    }
    EXPECT_GE(complete, 1u) << "the replaced file was written before the close";
    EXPECT_EQ(WaitForSingleObject(sleeperProcess.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the sandboxed program goes on running";
    TerminateProcess(sleeperProcess.get(), 0);
    EXPECT_TRUE(sourceGuard.Unchanged());
    EXPECT_TRUE(targetGuard.Unchanged());
}

}  // namespace
}  // namespace veyra::test
