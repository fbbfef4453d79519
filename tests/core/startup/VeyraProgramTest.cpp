// Veyra.exe end to end under Wine with the fake suite: the early exits, a normal start up to the
// message loop, and a second start that hands over to the first.
#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/UniqueResource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TrayFixture.h"
#include "suite/contracts/IpcService.h"

namespace {

using veyra::test::ChildProcess;
using veyra::test::FakeSuite;
using veyra::test::SuitePart;

constexpr DWORD kStartTimeoutMs = 60000;
constexpr wchar_t kDesktopClass[] = L"KavoSandBoxClass";

std::wstring ProgramOf(const FakeSuite& suite)
{
    return suite / L"ipc\\veyra.exe";
}

// The current directory of a running process of the test's own bitness, read from its process parameters.
std::wstring CurrentDirectoryOf(HANDLE process)
{
    using QueryInformation = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0) {
        return {};
    }
    constexpr bool k64Bit = sizeof(void*) == 8;
    constexpr SIZE_T kParametersInPeb = k64Bit ? 0x20 : 0x10;               // PEB.ProcessParameters
    constexpr SIZE_T kCurrentDirectoryInParameters = k64Bit ? 0x38 : 0x24;  // RTL_USER_PROCESS_PARAMETERS.CurrentDirectory
    ULONG_PTR parameters = 0;
    UNICODE_STRING directory{};
    if (!ReadProcessMemory(process, reinterpret_cast<BYTE*>(basic.PebBaseAddress) + kParametersInPeb, &parameters,
                           sizeof(parameters), nullptr) ||
        !ReadProcessMemory(process, reinterpret_cast<void*>(parameters + kCurrentDirectoryInParameters), &directory,
                           sizeof(directory), nullptr)) {
        return {};
    }
    std::wstring text(directory.Length / sizeof(wchar_t), L'\0');
    if (!ReadProcessMemory(process, directory.Buffer, text.data(), directory.Length, nullptr)) {
        return {};
    }
    return text;
}

// The argument of the IPC stand-in's last Connect call, or -1 when it was not called.
LONG RecordedConnectFlags()
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, veyra::suite::kIpcServiceRecordKey, L"ConnectFlags", RRF_RT_REG_DWORD, nullptr,
                     &value, &size) != ERROR_SUCCESS) {
        return -1;
    }
    return static_cast<LONG>(value);
}

// The two notices of a successful switch-on, in the tray stand-in's log.
int SwitchOnNoticePairs(const veyra::test::TrayFixture& tray)
{
    int notices = 0;
    int states = 0;
    for (const std::wstring& line : tray.Lines()) {
        notices += line.rfind(L"notice 1052 163 ", 0) == 0;
        states += line == L"notice 1426 1 0";
    }
    return notices == states ? notices : -1;
}

bool UsersRootKeyExists()
{
    veyra::UniqueRegKey key;
    return RegOpenKeyExW(HKEY_USERS, L"KavoSandBox", 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

TEST(VeyraProgram, EndsWithoutWindowWhenTheSuiteIsNotRegistered)
{
    FakeSuite suite(SuitePart::All, veyra::test::SuiteRegistration::Leave);
    veyra::test::ScopedRegistryValue appPath(HKEY_LOCAL_MACHINE, veyra::test::kSuiteAppPathKey, L"Path");
    ASSERT_TRUE(appPath.Delete());
    ChildProcess program(ProgramOf(suite));
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(program.WaitForExit(kStartTimeoutMs), 0u) << "ends by itself with exit code 0";
    EXPECT_EQ(FindWindowW(kDesktopClass, nullptr), nullptr);
}

TEST(VeyraProgram, EndsWithoutWindowWhenTheSkinLibraryIsMissing)
{
    FakeSuite suite(SuitePart::All & ~SuitePart::SkinLibrary);
    ChildProcess program(ProgramOf(suite));
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(program.WaitForExit(kStartTimeoutMs), 0u);
    EXPECT_EQ(FindWindowW(kDesktopClass, nullptr), nullptr);
}

class RunningProgram : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(veyra::test::FileExists(m_suite / L"vorrel.dll"));
        RegDeleteTreeW(HKEY_USERS, L"KavoSandBox");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, veyra::suite::kIpcServiceRecordKey, L"ConnectFlags");
        ASSERT_TRUE(m_switchOnFlag.Delete()) << "SB_State absent: the sandbox is switched on at start-up";
        m_first = std::make_unique<ChildProcess>(ProgramOf(m_suite));
        ASSERT_TRUE(m_first->Started());
        m_window = m_first->WaitForShownWindow(kDesktopClass, kStartTimeoutMs);
        ASSERT_NE(m_window, nullptr) << "the desktop window appears";
    }

    // Trays that the program starts log here and are ended when the test ends.
    veyra::test::TrayFixture m_tray;
    // The skin library stand-in copies the theme centre it read here.
    veyra::test::TempFolder m_records{L"records"};
    veyra::test::ScopedEnvironmentVariable m_themeCopy{L"VORREL_THEME_CENTRE_COPY", m_records / L"theme_center.read"};
    veyra::test::ScopedRegistryValue m_switchOnFlag{HKEY_LOCAL_MACHINE, L"SOFTWARE\\KavoSafe\\ostrel", L"SB_State"};
    FakeSuite m_suite{SuitePart::All};
    std::unique_ptr<ChildProcess> m_first;
    HWND m_window = nullptr;
};

TEST_F(RunningProgram, ShowsItsWindowFromTheThemeFolderWithTheServicesUp)
{
    wchar_t title[64] = {};
    GetWindowTextW(m_window, title, 64);
    EXPECT_STREQ(title, L"Veyra");
    EXPECT_TRUE(IsWindowVisible(m_window));
    EXPECT_EQ(m_first->WaitForExit(0), std::nullopt) << "the message loop runs";
    const std::wstring current = CurrentDirectoryOf(m_first->Process());
    EXPECT_EQ(CompareStringOrdinal(current.c_str(), -1, (m_suite.ThemeFolder() + L"\\").c_str(), -1, TRUE),
              CSTR_EQUAL)
        << testing::PrintToString(current);
    EXPECT_TRUE(UsersRootKeyExists()) << "the deletion marks' root key is made at start-up";
    EXPECT_EQ(RecordedConnectFlags(), 0) << "the IPC service object was called with 0";
    const std::string sandboxTheme = veyra::test::ReadFileBytes(m_suite.ThemeFolder() + L"\\theme_center_sandbox.xml");
    ASSERT_FALSE(sandboxTheme.empty());
    ASSERT_NE(sandboxTheme, veyra::test::ReadFileBytes(m_suite.ThemeFolder() + L"\\theme_center.xml"));
    EXPECT_EQ(veyra::test::ReadFileBytes(m_records / L"theme_center.read"), sandboxTheme)
        << "the skin library, opening the suite's theme_center.xml, read the sandbox theme file";
    EXPECT_TRUE(m_tray.WaitForLine(L"notice 1426 1 0"));
    EXPECT_EQ(SwitchOnNoticePairs(m_tray), 1) << "the sandbox was switched on and announced once";
}

TEST_F(RunningProgram, SecondStartRestoresTheFirstWindowAndEnds)
{
    ShowWindow(m_window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(m_window));
    ChildProcess second(ProgramOf(m_suite));
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitForExit(kStartTimeoutMs), 0u);
    EXPECT_EQ(SwitchOnNoticePairs(m_tray), 2) << "the second start switches the sandbox on before it hands over";
    // Wine on Xvfb has no window manager: the show state is what can be asserted, not the focus.
    EXPECT_FALSE(IsIconic(m_window)) << "the running window is restored";
    EXPECT_EQ(m_first->WaitForExit(0), std::nullopt) << "the first instance goes on";
}

}  // namespace
