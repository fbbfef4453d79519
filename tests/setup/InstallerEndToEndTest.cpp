// The real Veyrasetup.exe driven from outside against suite folders laid out by the test.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlwapi.h>

#include "resources/setup/SetupResources.h"
#include "tests/setup/InstallerDriver.h"
#include "tests/setup/SetupFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPaths.h"

namespace veyra::test {
namespace {

constexpr wchar_t kSuiteNotFound[] = L"未检测到系统安装了KavoWarden！";
constexpr wchar_t kInstalledQuestion[] =
    L"Veyra安装完成，是否向桌面设置快捷方式并运行。\r\n\r\n注意：当前KavoWarden自我保护已关闭，请记得开启自我保护！";
constexpr wchar_t kUninstallFailed[] = L"卸载失败！请关闭Veyra及Kavo自我保护再进行尝试。";

struct ThemeFile {
    const wchar_t* name;
    int payload;
};
const ThemeFile kThemeFiles[] = {
    {L"sandbox_theme.xml", IDR_PAYLOAD_THEME},
    {L"KavoSandBox\\KavoSandBox_theme.ui", IDR_PAYLOAD_SKIN_PACKAGE},
    {L"theme_center_sandbox.xml", IDR_PAYLOAD_THEME_MAP},
};

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }

    void StartInstaller()
    {
        ASSERT_TRUE(m_installer.Start(InstallerPath())) << "the installer's dialog did not appear";
    }
    // Clicks install and answers the final question with `answer`; fails when it does not come.
    // Counts the processes the installer had started by the time it asked (Wine's shell starts
    // helpers of its own when a shortcut is saved).
    void InstallAndAnswer(int answer)
    {
        m_installer.Click(IDC_INSTALL);
        HWND question = m_installer.WaitForBox(L"Veyra");
        ASSERT_NE(question, nullptr) << "no final question after install";
        EXPECT_EQ(InstallerDriver::BoxText(question), kInstalledQuestion);
        m_processesBeforeAnswer = m_installer.ProcessesStarted();
        InstallerDriver::Answer(question, answer);
        ASSERT_TRUE(InstallerDriver::WaitUntil([&] { return !IsWindow(question); }));
    }
    // Clicks a button, then closes the installer behind it: the click has run when the program ends.
    void ClickAndClose(int controlId)
    {
        m_installer.Click(controlId);
        ASSERT_TRUE(m_installer.Close()) << "the installer did not end";
    }

    InstallerDriver m_installer;
    DWORD m_processesBeforeAnswer = 0;
};

TEST(InstallerPayloads, AreTheBuildOutputsByteForByte)
{
    struct Case {
        int id;
        const wchar_t* built;
    };
    const Case cases[] = {
        {IDR_PAYLOAD_PROGRAM, L"Veyra.exe"},
        {IDR_PAYLOAD_SKIN_PACKAGE, L"theme\\KavoSandBox_theme.ui"},
        {IDR_PAYLOAD_THEME, L"theme\\sandbox_theme.xml"},
        {IDR_PAYLOAD_THEME_MAP, L"theme\\theme_center_sandbox.xml"},
    };
    for (const Case& c : cases) {
        const std::string built = ReadFileBytes(BinFile(c.built));
        EXPECT_FALSE(built.empty()) << c.id;
        EXPECT_EQ(Payload(c.id), built) << c.id;
    }
}

TEST_F(InstallerTest, NoSuiteDisablesBothButtons)
{
    ScopedRegistryValue appPath(HKEY_LOCAL_MACHINE, kSuiteAppPathKey, L"Path");
    appPath.Delete();
    StartInstaller();
    EXPECT_EQ(m_installer.Text(IDC_PATH), kSuiteNotFound);
    EXPECT_FALSE(m_installer.IsEnabled(IDC_INSTALL));
    EXPECT_FALSE(m_installer.IsEnabled(IDC_UNINSTALL));
    EXPECT_EQ(m_installer.Text(IDC_NOTICE),
              L"本程序需要系统已安装KavoWarden并开启了沙箱。\r\n 在安装或恢复过程中需暂时关闭KavoWarden的自我保护功能！");
    EXPECT_TRUE(m_installer.Close());
    EXPECT_EQ(m_installer.ExitCode(), 0u);
}

TEST_F(InstallerTest, MissingEngineLibraryDisablesInstallUntilRefreshFindsIt)
{
    SetupSuite suite({.engine = false});
    StartInstaller();
    EXPECT_EQ(m_installer.Text(IDC_PATH), kSuiteNotFound);
    EXPECT_FALSE(m_installer.IsEnabled(IDC_INSTALL));
    EXPECT_FALSE(m_installer.IsEnabled(IDC_UNINSTALL));

    ASSERT_TRUE(WriteFileBytes(suite / L"ipc\\pellox.dll", "engine"));
    m_installer.Click(IDC_REFRESH);
    EXPECT_TRUE(InstallerDriver::WaitUntil([&] { return m_installer.IsEnabled(IDC_INSTALL); }));
    EXPECT_EQ(m_installer.Text(IDC_PATH), suite.Program());
    EXPECT_FALSE(m_installer.IsEnabled(IDC_UNINSTALL));
}

TEST_F(InstallerTest, InstallOverOlderSuiteFileThenUninstallRestoresIt)
{
    SetupSuite suite({.program = VersionFixture::V0004FFFF});
    const std::string original = ReadFileBytes(suite.Program());
    ASSERT_FALSE(original.empty());
    StartInstaller();
    EXPECT_EQ(m_installer.Text(IDC_PATH), suite.Program());
    EXPECT_FALSE(m_installer.IsEnabled(IDC_UNINSTALL));

    InstallAndAnswer(IDCANCEL);
    ASSERT_TRUE(InstallerDriver::WaitUntil([&] { return m_installer.IsEnabled(IDC_UNINSTALL); }))
        << "uninstall did not become available";
    EXPECT_EQ(ReadFileBytes(suite.Backup()), original);
    EXPECT_EQ(ReadFileBytes(suite.Program()), Payload(IDR_PAYLOAD_PROGRAM));
    for (const ThemeFile& file : kThemeFiles) {
        EXPECT_EQ(ReadFileBytes(suite.ThemeFile(file.name)), Payload(file.payload)) << file.name;
    }
    EXPECT_EQ(ShortcutTarget(ShortcutPath()), suite.Program());
    EXPECT_EQ(suite.Leftovers(), L"");
    EXPECT_EQ(m_installer.ProcessesStarted(), m_processesBeforeAnswer) << "cancel must not start the program";

    m_installer.Click(IDC_UNINSTALL);
    ASSERT_TRUE(InstallerDriver::WaitUntil([&] { return !m_installer.IsEnabled(IDC_UNINSTALL); }));
    ASSERT_TRUE(m_installer.Close());
    EXPECT_EQ(ReadFileBytes(suite.Program()), original);
    EXPECT_FALSE(FileExists(suite.Backup()));
    EXPECT_FALSE(FileExists(suite / L"ipc\\veyra_new.bak"));
    for (const ThemeFile& file : kThemeFiles) {
        EXPECT_FALSE(FileExists(suite.ThemeFile(file.name))) << file.name;
    }
    EXPECT_TRUE(PathIsDirectoryW(suite.ThemeFile(L"KavoSandBox").c_str()));
    EXPECT_FALSE(FileExists(ShortcutPath()));
}

TEST_F(InstallerTest, SuiteFileAtFiveOrLaterIsOverwrittenWithoutBackup)
{
    SetupSuite suite({.program = VersionFixture::V00050001});
    StartInstaller();
    InstallAndAnswer(IDCANCEL);
    ASSERT_TRUE(m_installer.Close());
    EXPECT_EQ(ReadFileBytes(suite.Program()), Payload(IDR_PAYLOAD_PROGRAM));
    EXPECT_FALSE(FileExists(suite.Backup()));
    EXPECT_EQ(suite.Leftovers(), L"");
}

TEST_F(InstallerTest, ThemeWriteFailureRollsEverythingBack)
{
    struct Case {
        VersionFixture program;
    };
    for (const Case& c : {Case{VersionFixture::V0004FFFF}, Case{VersionFixture::V00050001}}) {
        SCOPED_TRACE(VersionFixturePath(c.program).c_str());
        SetupSuite suite({.program = c.program});
        const std::string original = ReadFileBytes(suite.Program());
        ASSERT_TRUE(WriteFileBytes(suite.ThemeFile(L"sandbox_theme.xml"), "<themes>earlier</themes>"));
        // A folder where the last theme file goes: that write fails after the others succeeded.
        ASSERT_TRUE(CreateDirectoryW(suite.ThemeFile(L"theme_center_sandbox.xml").c_str(), nullptr));

        InstallerDriver installer;
        ASSERT_TRUE(installer.Start(InstallerPath()));
        installer.Click(IDC_INSTALL);
        ASSERT_TRUE(installer.Close());
        EXPECT_EQ(ReadFileBytes(suite.Program()), original);
        EXPECT_FALSE(FileExists(suite.Backup()));
        EXPECT_EQ(ReadFileBytes(suite.ThemeFile(L"sandbox_theme.xml")), "<themes>earlier</themes>");
        EXPECT_FALSE(FileExists(suite.ThemeFile(L"KavoSandBox\\KavoSandBox_theme.ui")));
        EXPECT_FALSE(FileExists(ShortcutPath()));
        EXPECT_EQ(suite.Leftovers(), L"");
        EXPECT_EQ(installer.ProcessesStarted(), 1u);
        RemoveDirectoryW(suite.ThemeFile(L"theme_center_sandbox.xml").c_str());
    }
}

TEST_F(InstallerTest, RefusedProgramWriteShowsHintAndPutsTheSuiteFileBack)
{
    struct Case {
        const char* name;
        VersionFixture program;
    };
    const Case cases[] = {
        {"older file, moved aside first", VersionFixture::V0004FFFF},
        {"own file, overwritten in place", VersionFixture::V00050001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetupSuite suite({.program = c.program});
        const std::string original = ReadFileBytes(suite.Program());
        // A folder where the new program is written first: the write is refused (access denied).
        const std::wstring blocked = suite.Program() + L".veyra-new";
        ASSERT_TRUE(CreateDirectoryW(blocked.c_str(), nullptr));

        InstallerDriver installer;
        ASSERT_TRUE(installer.Start(InstallerPath()));
        installer.Click(IDC_INSTALL);
        HWND hint = installer.WaitForBox(L"友情提示");
        ASSERT_NE(hint, nullptr) << "no self-protection hint";
        EXPECT_EQ(InstallerDriver::ControlText(hint, IDC_HINT_FIRST),
                  L"检测到KavoWarden开启了自我保护，安装本程序需关闭后方可使用。");
        EXPECT_EQ(InstallerDriver::ControlText(hint, IDC_HINT_SECOND),
                  L"请您首先在Warden的设置中心取消【开启Kavo自我保护】后重新安装。");
        InstallerDriver::Answer(hint, IDCANCEL);
        ASSERT_TRUE(InstallerDriver::WaitUntil([&] { return !IsWindow(hint); }));
        ASSERT_TRUE(installer.Close());

        EXPECT_EQ(ReadFileBytes(suite.Program()), original);
        EXPECT_FALSE(FileExists(suite.Backup()));
        EXPECT_FALSE(FileExists(suite.ThemeFile(L"sandbox_theme.xml")));
        RemoveDirectoryW(blocked.c_str());
        EXPECT_EQ(suite.Leftovers(), L"");
    }
}

TEST_F(InstallerTest, UninstallIsOfferedByTheVersionsOfBackupAndProgram)
{
    struct Case {
        VersionFixture program;
        std::optional<VersionFixture> backup;
        bool offered;
    };
    const Case cases[] = {
        {VersionFixture::V00050000, VersionFixture::V0004FFFF, true},
        {VersionFixture::V00050000, VersionFixture::V00050000, true},
        {VersionFixture::V00050000, VersionFixture::V00050001, false},
        {VersionFixture::V00050000, VersionFixture::None, false},
        {VersionFixture::V00050000, std::nullopt, false},
        {VersionFixture::V00050001, VersionFixture::V0004FFFF, true},
        {VersionFixture::V0004FFFF, VersionFixture::V0004FFFF, false},
        {VersionFixture::None, VersionFixture::V0004FFFF, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "program " << static_cast<int>(c.program) << ", backup "
                                        << (c.backup ? static_cast<int>(*c.backup) : -1));
        SetupSuite suite({.program = c.program, .backup = c.backup});
        InstallerDriver installer;
        ASSERT_TRUE(installer.Start(InstallerPath()));
        EXPECT_TRUE(installer.IsEnabled(IDC_INSTALL));
        EXPECT_EQ(installer.IsEnabled(IDC_UNINSTALL), c.offered);
        EXPECT_TRUE(installer.Close());
    }
}

TEST_F(InstallerTest, UninstallThatCannotMoveTheProgramShowsTheFailure)
{
    SetupSuite suite({.program = VersionFixture::V00050000, .backup = VersionFixture::V0004FFFF});
    // A folder in the way of the program's temporary name: neither deleted nor replaced by the move.
    ASSERT_TRUE(CreateDirectoryW((suite / L"ipc\\veyra_new.bak").c_str(), nullptr));
    const std::string program = ReadFileBytes(suite.Program());
    StartInstaller();
    m_installer.Click(IDC_UNINSTALL);
    HWND hint = m_installer.WaitForBox(L"友情提示");
    ASSERT_NE(hint, nullptr);
    InstallerDriver::Answer(hint, IDOK);
    HWND failure = m_installer.WaitForBox(L"Veyra");
    ASSERT_NE(failure, nullptr);
    EXPECT_EQ(InstallerDriver::BoxText(failure), kUninstallFailed);
    InstallerDriver::Answer(failure, IDOK);
    ASSERT_TRUE(InstallerDriver::WaitUntil([&] { return !IsWindow(failure); }));
    EXPECT_EQ(ReadFileBytes(suite.Program()), program);
    EXPECT_TRUE(FileExists(suite.Backup()));
    RemoveDirectoryW((suite / L"ipc\\veyra_new.bak").c_str());
}

TEST_F(InstallerTest, MissingTrayProgramIsExplainedAndNothingIsWritten)
{
    SetupSuite suite({.tray = false});
    const std::string original = ReadFileBytes(suite.Program());
    StartInstaller();
    ASSERT_TRUE(m_installer.IsEnabled(IDC_INSTALL));
    m_installer.Click(IDC_INSTALL);
    HWND box = m_installer.WaitForBox(L"Veyra");
    ASSERT_NE(box, nullptr) << "install with no tray program said nothing";
    EXPECT_NE(InstallerDriver::BoxText(box).find(L"托盘程序"), std::wstring::npos);
    InstallerDriver::Answer(box, IDOK);
    ASSERT_TRUE(InstallerDriver::WaitUntil([&] { return !IsWindow(box); }));
    ASSERT_TRUE(m_installer.Close());
    EXPECT_EQ(ReadFileBytes(suite.Program()), original);
    EXPECT_FALSE(FileExists(suite.Backup()));
    EXPECT_FALSE(FileExists(suite.ThemeFile(L"sandbox_theme.xml")));
}

TEST_F(InstallerTest, OkAtTheFinalQuestionStartsTheProgramAndEndsTheInstaller)
{
    SetupSuite suite({});
    StartInstaller();
    InstallAndAnswer(IDOK);
    ASSERT_TRUE(m_installer.WaitForExit()) << "the installer did not close itself";
    EXPECT_EQ(m_installer.ExitCode(), 0u);
    EXPECT_EQ(m_installer.ProcessesStarted(), m_processesBeforeAnswer + 1) << "the installed program was not started";
    m_installer.Stop();  // the started program goes before its suite folder
}

}  // namespace
}  // namespace veyra::test
