// The channel to the tray stand-in, end to end: the notices after a switch-on, launch records as the
// tray receives them, a tray that is missing, slow, windowless or hung, and a launched program that
// shows up in the engine's list and is ended through it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "base/UniqueResource.h"
#include "core/Launcher.h"
#include "core/SandBoxHelper.h"
#include "core/TrayChannel.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/SleeperProcess.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TrayFixture.h"

namespace {

using namespace std::chrono_literals;
using veyra::CLauncher;
using veyra::CSandBoxHelper;
using veyra::test::BinFile;
using veyra::test::FakeSuite;
using veyra::test::ScopedEnvironmentVariable;
using veyra::test::SuitePart;
using veyra::test::TrayFixture;

const std::wstring kNotice = L"notice 1052 163 1";
const std::wstring kState = L"notice 1426 1 0";

std::size_t IndexOf(const std::vector<std::wstring>& lines, const std::wstring& line)
{
    return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

bool HasLineStartingWith(const std::vector<std::wstring>& lines, const std::wstring& prefix)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::wstring& l) { return l.starts_with(prefix); });
}

CSandBoxHelper& BoundEngine()
{
    CSandBoxHelper& helper = CSandBoxHelper::GetInstance();
    EXPECT_EQ(helper.Bind(BinFile(L"pellox.dll").c_str()), 1);
    return helper;
}

TEST(TrayNotices, ASuccessfulSwitchOnSendsBothNoticesInOrder)
{
    TrayFixture tray;
    ASSERT_TRUE(tray.Start());
    CSandBoxHelper helper;
    ASSERT_EQ(helper.Bind(BinFile(L"pellox.dll").c_str()), 1);
    ASSERT_EQ(helper.SwitchSandBoxOn(), 1);
    EXPECT_EQ(helper.IsSwitchedOn(), 1);
    // Sent synchronously: both are in the log when the switch-on returns.
    const auto lines = tray.Lines();
    ASSERT_LT(IndexOf(lines, kNotice), lines.size());
    ASSERT_LT(IndexOf(lines, kState), lines.size());
    EXPECT_LT(IndexOf(lines, kNotice), IndexOf(lines, kState));
}

TEST(TrayNotices, AFailedSwitchOnSendsNone)
{
    TrayFixture tray;
    ASSERT_TRUE(tray.Start());
    CSandBoxHelper helper;
    ASSERT_EQ(helper.Bind(BinFile(L"pellox.dll").c_str()), 1);
    ScopedEnvironmentVariable refuse(L"PELLOX_SWITCH_RESULT", L"1");
    EXPECT_EQ(helper.SwitchSandBoxOn(), 0);
    EXPECT_EQ(helper.IsSwitchedOn(), 0);
    EXPECT_FALSE(HasLineStartingWith(tray.Lines(), L"notice"));
}

TEST(TrayNotices, SwitchOnSucceedsWithoutAnyTrayProgram)
{
    FakeSuite suite(SuitePart::Engine);
    TrayFixture tray;
    CSandBoxHelper helper;
    ASSERT_EQ(helper.Bind(BinFile(L"pellox.dll").c_str()), 1);
    EXPECT_EQ(helper.SwitchSandBoxOn(), 1);
    EXPECT_TRUE(tray.Lines().empty());
}

TEST(TrayNotices, InitBindsTheEngineBesideTheProgramAndSwitchesOnOnlyWhenTheStateFlagIsSet)
{
    // The test program's "..\..\ipc\pellox.dll" is the ipc folder beside its bin folder.
    const std::wstring bin = veyra::test::BinFolder();
    const std::wstring ipc = bin.substr(0, bin.find_last_of(L'\\')) + L"\\ipc";
    CreateDirectoryW(ipc.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(BinFile(L"pellox.dll").c_str(), (ipc + L"\\pellox.dll").c_str(), FALSE) ||
                veyra::test::FileExists(ipc + L"\\pellox.dll"));
    TrayFixture tray;
    ASSERT_TRUE(tray.Start());
    veyra::test::ScopedRegistryValue state(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_State");

    ASSERT_TRUE(state.SetDword(0));
    CSandBoxHelper off;
    EXPECT_EQ(off.Init(), 1);
    EXPECT_TRUE(off.IsLoaded());
    EXPECT_EQ(off.IsSwitchedOn(), 0);
    EXPECT_FALSE(HasLineStartingWith(tray.Lines(), L"notice"));

    ASSERT_TRUE(state.Delete());
    CSandBoxHelper on;
    EXPECT_EQ(on.Init(), 1);
    EXPECT_EQ(on.IsSwitchedOn(), 1);
    EXPECT_LT(IndexOf(tray.Lines(), kState), tray.Lines().size());
}

// A window of the tray's class whose thread stops handling messages until released.
class HungTray {
public:
    HungTray()
    {
        m_release.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        veyra::UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        m_thread = std::thread([this, readyEvent = ready.get()] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &DefWindowProcW;
            windowClass.lpszClassName = veyra::kTrayWindowClass;
            RegisterClassW(&windowClass);
            HWND hwnd = CreateWindowW(veyra::kTrayWindowClass, L"hung", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                      nullptr, nullptr);
            SetEvent(readyEvent);
            WaitForSingleObject(m_release.get(), 60000);  // hung: no message is handled meanwhile
            DestroyWindow(hwnd);
            UnregisterClassW(veyra::kTrayWindowClass, nullptr);
        });
        WaitForSingleObject(ready.get(), 10000);
    }
    ~HungTray()
    {
        SetEvent(m_release.get());
        m_thread.join();
    }
    [[nodiscard]] bool Released() const { return WaitForSingleObject(m_release.get(), 0) == WAIT_OBJECT_0; }

private:
    veyra::UniqueHandle m_release;
    std::thread m_thread;
};

TEST(TrayNotices, AHungTrayCannotHoldTheSenderForever)
{
    HungTray hung;
    ASSERT_NE(FindWindowW(veyra::kTrayWindowClass, nullptr), nullptr);
    veyra::SendSandboxStateNotices();
    EXPECT_FALSE(hung.Released()) << "the notices returned only because the tray recovered";
}

TEST(TrayLaunch, RecordsArriveAsSentAndOverlongPathsAreRefused)
{
    TrayFixture tray;
    ASSERT_TRUE(tray.Start());
    const std::wstring longest = L"C:\\" + std::wstring(252, L'n') + L".txt";  // 259 characters
    const std::wstring tooLong = L"C:\\" + std::wstring(253, L'o') + L".txt";  // 260 characters
    ASSERT_EQ(longest.size(), 259u);
    CLauncher launcher;
    EXPECT_EQ(launcher.LaunchViaTray(tooLong.c_str()), 0);
    EXPECT_EQ(launcher.OpenFile(longest.c_str()), 1);
    EXPECT_TRUE(tray.WaitForLine(L"request " + longest));
    EXPECT_TRUE(tray.WaitForLine([&](const std::wstring& l) { return l.starts_with(L"launch-failed") && l.ends_with(longest); }));
    EXPECT_EQ(launcher.LaunchViaTray(nullptr), 0);
    EXPECT_EQ(launcher.OpenFile(nullptr), 0);
    for (const std::wstring& line : tray.Lines()) {
        EXPECT_EQ(line.find(tooLong.substr(0, 200)), std::wstring::npos) << "a cut path arrived: " << line.size();
    }
}

TEST(TrayLaunch, MalformedRecordsAreRejectedAndTheTrayGoesOn)
{
    TrayFixture tray;
    ASSERT_TRUE(tray.Start());
    HWND window = FindWindowW(veyra::kTrayWindowClass, nullptr);
    ASSERT_NE(window, nullptr);
    struct Case {
        const wchar_t* reason;
        void (*spoil)(veyra::TrayLaunchRequest&, COPYDATASTRUCT&);
    };
    const Case cases[] = {
        {L"code", [](veyra::TrayLaunchRequest&, COPYDATASTRUCT& d) { d.dwData = 0x4E495359; }},
        {L"size", [](veyra::TrayLaunchRequest&, COPYDATASTRUCT& d) { d.cbData = 527; }},
        {L"size", [](veyra::TrayLaunchRequest&, COPYDATASTRUCT& d) { d.cbData = 0; d.lpData = nullptr; }},
        {L"command", [](veyra::TrayLaunchRequest& r, COPYDATASTRUCT&) { r.command = 1625; }},
        {L"unterminated", [](veyra::TrayLaunchRequest& r, COPYDATASTRUCT&) { std::fill(std::begin(r.path), std::end(r.path), L'x'); }},
        {L"tail", [](veyra::TrayLaunchRequest& r, COPYDATASTRUCT&) { r.path[259] = L'x'; }},
        {L"reserved", [](veyra::TrayLaunchRequest& r, COPYDATASTRUCT&) { r.reserved = 1; }},
        {L"empty", [](veyra::TrayLaunchRequest& r, COPYDATASTRUCT&) { r.path[0] = L'\0'; std::memset(r.path, 0, sizeof(r.path)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.reason);
        veyra::TrayLaunchRequest request;
        ASSERT_TRUE(veyra::BuildTrayLaunchRequest(L"C:\\windows\\notepad.exe", request));
        // The size case needs room for one byte more than the record.
        BYTE buffer[sizeof(request) + 1] = {};
        COPYDATASTRUCT data{veyra::COPYDATA_TRAY_LAUNCH, sizeof(request), buffer};
        c.spoil(request, data);
        std::memcpy(buffer, &request, sizeof(request));
        DWORD_PTR result = 1;
        ASSERT_TRUE(SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                        10000, &result));
        EXPECT_EQ(result, 0u);
        EXPECT_EQ(tray.Lines().back(), std::wstring(L"rejected ") + c.reason);
    }
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(HasLineStartingWith(tray.Lines(), L"request"));
}

TEST(TrayLaunch, AMissingTrayIsStartedBeforeTheRequestIsSent)
{
    FakeSuite suite(SuitePart::Tray | SuitePart::Engine);
    const std::wstring request = L"request C:\\no\\such\\document.txt";
    // A tray gets 1000 ms to show its window; on a loaded machine a start can take longer, and then the
    // request is lost as designed. A few tries tell that apart from a request that never arrives.
    bool arrived = false;
    for (int attempt = 0; attempt < 3 && !arrived; ++attempt) {
        TrayFixture tray;
        ASSERT_EQ(FindWindowW(veyra::kTrayWindowClass, nullptr), nullptr);
        CLauncher::TrayLaunchThread(L"C:\\no\\such\\document.txt");
        const auto lines = tray.Lines();
        const std::size_t index = IndexOf(lines, request);
        arrived = index < lines.size();
        if (arrived) {
            ASSERT_FALSE(lines.empty());
            EXPECT_TRUE(lines.front().starts_with(L"started "));
            EXPECT_TRUE(index > 0 && lines[index - 1].starts_with(L"window ")) << "the request came before the window";
        }
    }
    EXPECT_TRUE(arrived) << "no request reached the tray that the launch started";
}

TEST(TrayLaunch, ARequestToATrayThatIsSlowToStartIsLostAndTheNextArrives)
{
    FakeSuite suite(SuitePart::Tray);
    ScopedEnvironmentVariable delay(L"KAVOTRAY_DELAY_MS", L"2500");
    TrayFixture tray(L"slow");
    CLauncher::TrayLaunchThread(L"C:\\first.txt");
    EXPECT_TRUE(tray.WaitForLine([](const std::wstring& l) { return l.starts_with(L"started "); }, 5s));
    ASSERT_NE(veyra::test::WaitForTrayWindow(30s), nullptr);
    CLauncher::TrayLaunchThread(L"C:\\second.txt");
    EXPECT_TRUE(tray.WaitForLine(L"request C:\\second.txt", 5s));
    EXPECT_EQ(IndexOf(tray.Lines(), L"request C:\\first.txt"), tray.Lines().size()) << "the first had no window to go to";
}

TEST(TrayLaunch, ATrayThatNeverShowsItsWindowLosesTheRequestWithoutHangingTheSender)
{
    FakeSuite suite(SuitePart::Tray);
    TrayFixture tray(L"no-window");
    CLauncher::TrayLaunchThread(L"C:\\lost.txt");
    EXPECT_TRUE(tray.WaitForLine([](const std::wstring& l) { return l.starts_with(L"started "); }, 5s));
    EXPECT_FALSE(HasLineStartingWith(tray.Lines(), L"request"));
}

TEST(TrayLaunch, ALaunchWhoseThreadCannotStartReportsFailure)
{
    CLauncher launcher([](std::wstring) noexcept { return false; });
    EXPECT_EQ(launcher.LaunchViaTray(L"C:\\windows\\notepad.exe"), 0);
    EXPECT_EQ(launcher.OpenFile(L"C:\\windows\\notepad.exe"), 0);
    EXPECT_EQ(launcher.RunProcess(L"C:\\windows\\notepad.exe"), 0);
}

TEST(NetworkToggle, AsksFirstAndSwitchesOnlyOnYes)
{
    CSandBoxHelper& helper = BoundEngine();
    veyra::test::ScopedRegistryValue blocked(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_B_TRAF");
    ASSERT_TRUE(blocked.SetDword(0));
    ASSERT_EQ(helper.SetSandboxBlockNet(0), 1);

    CLauncher::SetNetworkQuestion(nullptr);
    EXPECT_EQ(veyra::g_launcher.ToggleNetworkAccess(1, 0), 0) << "no question, no switch";
    static int s_askedBlock = -1;
    CLauncher::SetNetworkQuestion([](int, int block) noexcept {
        s_askedBlock = block;
        return IDNO;
    });
    EXPECT_EQ(veyra::g_launcher.ToggleNetworkAccess(1, 0), 0);
    EXPECT_EQ(s_askedBlock, 1);
    EXPECT_EQ(CSandBoxHelper::IsNetBlocked(), 0);
    CLauncher::SetNetworkQuestion([](int, int) noexcept { return IDYES; });
    EXPECT_EQ(veyra::g_launcher.ToggleNetworkAccess(1, 0), 1);
    EXPECT_EQ(CSandBoxHelper::IsNetBlocked(), 1);
    EXPECT_EQ(veyra::g_launcher.ToggleNetworkAccess(0, 0), 1);
    EXPECT_EQ(CSandBoxHelper::IsNetBlocked(), 0);
    CLauncher::SetNetworkQuestion(nullptr);
}

// The engine's record of a process with this image, or an empty record.
veyra::SbRuleItem FindRecord(CSandBoxHelper& helper, const std::wstring& image)
{
    veyra::SbRuleItem found{};
    for (veyra::SbRuleItem* record = helper.EnumSbRuleItem(0); record; record = helper.EnumSbRuleItem(1)) {
        if (found.processId == 0 && record->processId != 0 && _wcsicmp(record->imagePath, image.c_str()) == 0) {
            std::memcpy(&found, record, sizeof(found));
        }
        helper.ReleaseSbRuleItem(record);
    }
    return found;
}

TEST(LaunchEndToEnd, ALaunchedProgramIsListedByTheEngineAndEndedThroughIt)
{
    TrayFixture tray;
    ASSERT_TRUE(tray.Start());
    CSandBoxHelper& helper = BoundEngine();
    const std::wstring sleeper = BinFile(L"veyra_test_sleeper.exe");
    ASSERT_EQ(veyra::g_launcher.OpenFile(sleeper.c_str()), 1);

    veyra::SbRuleItem record{};
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while ((record = FindRecord(helper, sleeper)).processId == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_NE(record.processId, 0u) << "the launched program never appeared in the engine's list";
    EXPECT_EQ(record.ownerId, 0);
    veyra::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, record.processId));
    ASSERT_TRUE(process);
    ASSERT_NE(veyra::test::WaitForProcessWindow(record.processId), nullptr);
    EXPECT_EQ(helper.CountLiveItems(), 1);

    EXPECT_EQ(helper.TerminateProcessBySbRule(&record), 1);
    EXPECT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(FindRecord(helper, sleeper).processId, 0u);
    EXPECT_EQ(helper.TerminateProcessBySbRule(&record), 0) << "an ended process is no longer the engine's";
}

}  // namespace
