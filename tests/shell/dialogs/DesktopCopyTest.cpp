#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "base/Thread.h"
#include "core/Launcher.h"
#include "core/fileops/ChangeNotice.h"
#include "core/fileops/OperationStarters.h"
#include "core/fileops/RunningOperations.h"
#include "shell/desktop/NsDesktopDlg.h"
#include "shell/dialogs/CShellPrompts.h"
#include "shell/dialogs/NsProgressDlg.h"
#include "shell/dialogs/NsReplaceMessageBox.h"
#include "shell/protocol/WindowProtocol.h"
#include <atomic>
#include <thread>

#include "tests/shell/dialogs/BoxFixture.h"
#include "tests/support/SkinWindowProbe.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TreeSnapshot.h"

namespace veyra::test {
namespace {

using dialogs::NsProgressDlg;
using Box = dialogs::NsReplaceMessageBox;
constexpr std::size_t kHalf = 16 * 1024 * 1024;
constexpr char kTreeSummary[] = "正在复制 5 个项目（32 MB）";

// The real desktop window of the test sandbox's key with the shell's dialogs installed as start-up
// installs them: a copy goes the whole way from the starter through WM_NS_START_OPERATION.
class DesktopCopy : public BoxFixture {
protected:
    void SetUp() override
    {
        BoxFixture::SetUp();
        host.reset();
        dialogs::InstallShellDialogs();
        desktop = std::make_unique<NsDesktopDlg>(kSandbox);
        ASSERT_TRUE(desktop->CreateDesktopWindow());
        ShowWindow(desktop->Handle(), SW_SHOWNOACTIVATE);
    }
    void TearDown() override
    {
        desktop.reset();
        RegisterHostWindow(kSandbox, nullptr);
        DesktopParts().startOperation = nullptr;
        CLauncher::SetNetworkQuestion(nullptr);
        BoxFixture::TearDown();
    }

    // The conflict box now shown (after `previous` went), and the progress dialog's dump once it shows
    // the operation's `summary` and, from its next tick, an item line holding `detail`.
    HWND NextConflict(std::string& progress, const std::string& summary, const std::string& detail,
                      HWND previous = nullptr)
    {
        EXPECT_TRUE(PumpUntil([previous] { return !previous || !IsWindow(previous); }, 10000));
        const HWND box = WaitForShownWindow(kReplaceBoxClass, nullptr, 60000);
        EXPECT_NE(box, nullptr) << "no conflict box";
        const HWND dialog = FindWindowW(kProgressClass, nullptr);
        EXPECT_NE(dialog, nullptr);
        if (!box || !dialog) {
            return nullptr;
        }
        EXPECT_NE(GetWindowThreadProcessId(box, nullptr), GetWindowThreadProcessId(desktop->Handle(), nullptr))
            << "the box is the worker's";
        EXPECT_TRUE(IsWindowVisible(dialog));
        (void)WaitForField(box, Box::kCancelButton, "visible", "1");
        EXPECT_TRUE(PumpUntil(
            [&] {
                progress = Dump(dialog);
                return ControlField(progress, NsProgressDlg::kSummary, "text") == summary &&
                       ControlField(progress, NsProgressDlg::kDetail, "text").value_or("").find(detail) !=
                           std::string::npos;
            },
            5000))
            << progress;
        return box;
    }

    std::unique_ptr<NsDesktopDlg> desktop;
};

std::wstring SpecialFolder(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    return SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE) ? std::wstring(folder) : std::wstring();
}

// Notices of a file in either desktop folder are the desktop view's own (none is installed here, so
// they go nowhere); any other reaches the windows registered with the desktop.
TEST_F(DesktopCopy, NoticesOfEitherDesktopFolderStayWithTheDesktop)
{
    const std::wstring desktopFolder = SpecialFolder(CSIDL_DESKTOP);
    const std::wstring commonFolder = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    ASSERT_FALSE(desktopFolder.empty());
    ASSERT_FALSE(commonFolder.empty());
    NoticeRecorder folderWindow(kSandbox + 1);
    const HostWindowEntry entry{HandleToULong(folderWindow.Handle()), 0, HostKind::kFolderWindow};
    COPYDATASTRUCT registration{COPYDATA_REGISTER_WINDOW, sizeof(entry), const_cast<HostWindowEntry*>(&entry)};
    SendMessageW(desktop->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&registration));
    ASSERT_EQ(desktop->Registered().Count(), 1u);
    struct Case {
        std::wstring path;
        bool forwarded;
    } const cases[] = {
        {desktopFolder + L"\\a.txt", false},
        {commonFolder + L"\\shared.lnk", false},
        {commonFolder + L"\\sub\\b.txt", true},
        {m_root + L"\\dst\\c.txt", true},
    };
    for (const Case& c : cases) {
        folderWindow.Clear();
        // Sent from another thread, as a worker sends it.
        const UniqueHandle worker = StartThread([&c] {
            (void)SendChangeNotice(kNoticeItemDone, NoticeKind::kFileAppeared, 1, c.path, std::wstring(), kSandbox);
        });
        ASSERT_TRUE(worker);
        ASSERT_TRUE(PumpUntilSignalled(worker.get(), 10000));
        ASSERT_EQ(folderWindow.Notices().size(), c.forwarded ? 1u : 0u) << testing::PrintToString(c.path);
        if (c.forwarded) {
            EXPECT_EQ(folderWindow.Notices()[0].path1, c.path);
        }
    }
}

// A tree above 30 MiB with three names that exist at the target (two sandbox copies, one real file
// only): replace the first, skip with "remember" the second, the third asks nothing.
TEST_F(DesktopCopy, ATreeAboveTheLimitRunsWithItsDialogAndItsConflictBoxes)
{
    MakeReal(m_root + L"\\src\\a.txt", "new a");
    MakeReal(m_root + L"\\src\\sub1\\a.bin", std::string(kHalf, '1'));
    MakeReal(m_root + L"\\src\\sub1\\b.txt", "new b");
    MakeReal(m_root + L"\\src\\sub2\\c.txt", "new c");
    MakeReal(m_root + L"\\src\\sub2\\d.bin", std::string(kHalf, '2'));
    MakeShadow(m_root + L"\\dst\\src\\a.txt", "old a");
    MakeShadow(m_root + L"\\dst\\src\\sub1\\b.txt", "old b");
    MakeReal(m_root + L"\\dst\\src\\sub2\\c.txt", "the user's c");
    RealTreeGuard guard(m_root);
    const std::vector<std::wstring> sources{m_root + L"\\src"};
    ASSERT_EQ(StartCopyOperation(&sources, m_root + L"\\dst", kSandbox, 1), 1);

    std::string progress;
    const HWND first = NextConflict(progress, kTreeSummary, "从 src");
    ASSERT_NE(first, nullptr);
    const std::string firstDetail = ControlField(progress, NsProgressDlg::kDetail, "text").value_or("");
    EXPECT_NE(firstDetail.find("从 src"), std::string::npos) << firstDetail;
    const int firstBar = std::stoi(ControlField(progress, NsProgressDlg::kBar, "progress").value_or("-1"));
    EXPECT_EQ(desktop->Registered().Count(), 2u) << "the dialog and the box are registered with the desktop";
    Click(first, Box::kReplacePanel);

    const HWND second = NextConflict(progress, kTreeSummary, "从 sub1", first);
    ASSERT_NE(second, nullptr);
    const std::string secondDetail = ControlField(progress, NsProgressDlg::kDetail, "text").value_or("");
    EXPECT_NE(secondDetail.find("从 sub1"), std::string::npos) << "another folder: " << secondDetail;
    EXPECT_GT(std::stoi(ControlField(progress, NsProgressDlg::kBar, "progress").value_or("-1")), firstBar);
    AwaitScreenshot("desktop-copy-second-conflict");
    Click(second, Box::kRemember);
    (void)WaitForField(second, Box::kRemember, "check", "1");
    Click(second, Box::kSkipPanel);

    ASSERT_TRUE(PumpUntil(
        [] { return !FindWindowW(kProgressClass, nullptr) && CRunningOperations::Instance().Count() == 0; }, 120000));
    EXPECT_EQ(FindWindowW(kReplaceBoxClass, nullptr), nullptr) << "the third conflict asks nothing";
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\dst\\src\\a.txt")), "new a") << "replaced";
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\dst\\src\\sub1\\b.txt")), "old b") << "skipped";
    EXPECT_FALSE(FileExists(Shadow(m_root + L"\\dst\\src\\sub2\\c.txt"))) << "skipped by the remembered answer";
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\dst\\src\\sub1\\a.bin")), std::string(kHalf, '1'));
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\dst\\src\\sub2\\d.bin")), std::string(kHalf, '2'));
    const std::vector<std::wstring> left = Names(m_root + L"\\dst\\src\\sub1", ListingScope::Everything);
    for (const std::wstring& name : left) {
        EXPECT_NE(name.rfind(L".vy", 0), 0u) << "a temporary file was left";
    }
    EXPECT_EQ(desktop->Registered().Count(), 0u) << "the dialog and the boxes unregistered";
    EXPECT_TRUE(guard.Unchanged());
}

// The desktop's restore while a worker waits in its conflict box: the box is closed (stop), the worker
// is waited for before anything is cleaned, and no file is left half-written.
TEST_F(DesktopCopy, RestoreDuringACopyTruncatesNothing)
{
    MakeReal(m_root + L"\\src\\a.txt", "new a");
    MakeReal(m_root + L"\\src\\b.bin", std::string(kHalf, '1'));
    MakeReal(m_root + L"\\src\\c.bin", std::string(kHalf, '2'));
    MakeShadow(m_root + L"\\dst\\src\\a.txt", "old a");
    const std::vector<std::wstring> sources{m_root + L"\\src"};
    ASSERT_EQ(StartCopyOperation(&sources, m_root + L"\\dst", kSandbox, 1), 1);
    std::string progress;
    const HWND box = NextConflict(progress, "正在复制 3 个项目（32 MB）", "从 src");
    ASSERT_NE(box, nullptr);
    // The restore question is the library's own box, run inside the restore on this thread: another
    // thread answers yes.
    std::atomic<bool> answered{false};
    std::thread user([&] {
        const HWND question = WaitForShownWindow(L"VorrelMessageBox");
        if (question) {
            PostMessageW(question, WM_COMMAND, IDYES, 0);
        }
        answered = true;
    });
    PostMessageW(desktop->Handle(), WM_NS_RESTORE_SYSTEM, 0, 0);
    EXPECT_TRUE(PumpUntil(
        [] { return !FindWindowW(kProgressClass, nullptr) && CRunningOperations::Instance().Count() == 0; }, 60000));
    user.join();
    EXPECT_TRUE(answered);
    EXPECT_FALSE(IsWindow(box)) << "restore closes the open box";
    EXPECT_EQ(ReadFileBytes(Shadow(m_root + L"\\dst\\src\\a.txt")), "old a") << "the stop leaves the target";
    for (const wchar_t* name : {L"b.bin", L"c.bin"}) {
        EXPECT_FALSE(FileExists(Shadow(m_root + L"\\dst\\src\\" + name))) << "stopped before it";
    }
    EXPECT_EQ(desktop->Registered().Count(), 0u);
}

// The desktop's network button asks its question in the modal box over the desktop window; both
// answers close it (without the engine nothing is switched).
TEST_F(DesktopCopy, TheNetworkButtonAsksBeforeItSwitches)
{
    for (const USHORT answer : {USHORT{8005}, USHORT{8004}}) {
        SCOPED_TRACE(answer);
        // The box runs its loop on this thread inside the click: another thread reads and answers it.
        std::atomic<bool> answered{false};
        std::string text;
        std::thread user([&] {
            const HWND box = WaitForShownWindow(kMessageBoxClass);
            if (box) {
                std::string dump;
                (void)PumpUntil(
                    [&] {
                        dump = DumpSkinWindow(box, dumps / L"network.tree");
                        return ControlField(dump, answer, "visible") == "1";
                    },
                    10000);
                text = ControlField(dump, 8002, "text").value_or("");
                (void)ClickControl(box, dump, answer);
            }
            answered = true;
        });
        const std::string dump = Dump(desktop->Handle());
        EXPECT_TRUE(ClickControl(desktop->Handle(), dump, DesktopControl::kNetwork));
        EXPECT_TRUE(PumpUntil([&] { return answered.load() && !FindWindowW(kMessageBoxClass, nullptr); }, 20000));
        user.join();
        EXPECT_EQ(text, "是否关闭虚拟系统网络访问？");
        EXPECT_FALSE(desktop->NetworkBlocked());
        EXPECT_TRUE(IsWindowEnabled(desktop->Handle()));
    }
}

}  // namespace
}  // namespace veyra::test
