// The theme redirect: reading the suite folder, building the two theme paths, and the intercepted
// CreateFileW that opens the sandbox theme file for the suite's theme_center.xml and nothing else.
#include "core/startup/ThemeRedirect.h"

#include <gtest/gtest.h>

#include <string>

#include "base/Thread.h"
#include "base/UniqueResource.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/TempFolder.h"

namespace {

using veyra::test::kSuiteAppPathKey;
using veyra::test::ScopedRegistryValue;

const std::wstring kThemeSuffix = L"\\Config\\newui\\themes\\default\\theme_center.xml";
const std::wstring kSandboxSuffix = L"\\Config\\newui\\themes\\default\\theme_center_sandbox.xml";

TEST(ThemeRedirect, BuildsBothPathsFromTheFolderWithinTheLimit)
{
    const std::wstring longestFolder = L"C:\\" + std::wstring(259 - kSandboxSuffix.size() - 3, L'a');
    const std::wstring tooLong = longestFolder + L"b";
    const std::wstring folder259(259, L'x');
    struct Case {
        const char* what;
        const wchar_t* folder;
        const wchar_t* expectedFolder;  // nullptr: refused
    };
    const Case cases[] = {
        {"plain folder", L"C:\\Suite", L"C:\\Suite"},
        {"trailing backslash", L"C:\\Suite\\", L"C:\\Suite"},
        {"trailing slash", L"C:\\Suite/", L"C:\\Suite"},
        {"longest folder that fits", longestFolder.c_str(), longestFolder.c_str()},
        {"one character more", tooLong.c_str(), nullptr},
        {"259-character folder", folder259.c_str(), nullptr},
        {"empty folder", L"", nullptr},
        {"only a separator", L"\\", nullptr},
        {"null folder", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool built = veyra::BuildThemePaths(c.folder);
        ASSERT_EQ(built, c.expectedFolder != nullptr);
        if (built) {
            EXPECT_EQ(std::wstring(veyra::RedirectedThemePath()), c.expectedFolder + kThemeSuffix);
            EXPECT_EQ(std::wstring(veyra::SandboxThemePath()), c.expectedFolder + kSandboxSuffix);
        } else {
            EXPECT_EQ(veyra::RedirectedThemePath()[0], L'\0');
            EXPECT_EQ(veyra::SandboxThemePath()[0], L'\0');
        }
    }
}

std::string ReadThroughCreateFile(const wchar_t* path)
{
    veyra::UniqueFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char buffer[64];
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr)) {
        return {};
    }
    return std::string(buffer, read);
}

class InstalledRedirect : public testing::Test {
protected:
    void SetUp() override
    {
        // Registered with a trailing backslash, as some installations write it.
        ASSERT_TRUE(m_appPath.SetString(m_suite.Root() + L"\\"));
        ASSERT_TRUE(veyra::test::WriteFileBytes(m_suite.ThemeFolder() + L"\\theme_center.xml", "suite"));
        ASSERT_TRUE(veyra::test::WriteFileBytes(m_suite.ThemeFolder() + L"\\theme_center_sandbox.xml", "sandbox"));
        ASSERT_EQ(veyra::InstallThemeRedirect(), 1);
    }

    veyra::test::FakeSuite m_suite{veyra::test::SuitePart::None, veyra::test::SuiteRegistration::Leave};
    ScopedRegistryValue m_appPath{HKEY_LOCAL_MACHINE, kSuiteAppPathKey, L"Path"};
};

TEST_F(InstalledRedirect, OpensTheSandboxThemeForTheWholePathInAnyCase)
{
    std::wstring upper = m_suite.ThemeFolder() + L"\\THEME_CENTER.XML";
    CharUpperW(upper.data());
    EXPECT_EQ(ReadThroughCreateFile((m_suite.ThemeFolder() + L"\\theme_center.xml").c_str()), "sandbox");
    EXPECT_EQ(ReadThroughCreateFile(upper.c_str()), "sandbox");
    EXPECT_EQ(ReadThroughCreateFile((m_suite.ThemeFolder() + L"\\theme_center_sandbox.xml").c_str()), "sandbox");

    std::string fromThread;
    veyra::UniqueHandle thread = veyra::StartThread(
        [&] { fromThread = ReadThroughCreateFile((m_suite.ThemeFolder() + L"\\theme_center.xml").c_str()); });
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(fromThread, "sandbox");
}

TEST_F(InstalledRedirect, PassesOtherFormsOfThePathAndANullNameThrough)
{
    std::wstring slashes = m_suite.ThemeFolder() + L"\\theme_center.xml";
    for (wchar_t& c : slashes) {
        c = c == L'\\' ? L'/' : c;
    }
    EXPECT_EQ(ReadThroughCreateFile(slashes.c_str()), "suite") << "forward slashes";

    wchar_t previous[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryW(MAX_PATH, previous));
    ASSERT_TRUE(SetCurrentDirectoryW(m_suite.ThemeFolder().c_str()));
    EXPECT_EQ(ReadThroughCreateFile(L"theme_center.xml"), "suite") << "relative name";
    SetCurrentDirectoryW(previous);

    wchar_t shortName[MAX_PATH];
    const std::wstring longName = m_suite.ThemeFolder() + L"\\theme_center.xml";
    const DWORD length = GetShortPathNameW(longName.c_str(), shortName, MAX_PATH);
    if (length > 0 && length < MAX_PATH && CompareStringOrdinal(shortName, -1, longName.c_str(), -1, TRUE) != CSTR_EQUAL) {
        EXPECT_EQ(ReadThroughCreateFile(shortName), "suite") << "short name";
    }

    SetLastError(0);
    EXPECT_EQ(CreateFileW(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
}

TEST(ThemeRedirect, IsNotInstalledWithoutTheSuiteFolder)
{
    ScopedRegistryValue value(HKEY_LOCAL_MACHINE, kSuiteAppPathKey, L"Path");
    ASSERT_TRUE(value.Delete());
    const auto* start = reinterpret_cast<const unsigned char*>(veyra::TrueCreateFileW);
    const unsigned char first = start[0];
    EXPECT_EQ(veyra::InstallThemeRedirect(), 0);
    EXPECT_EQ(veyra::TrueCreateFileW, reinterpret_cast<PVOID>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateFileW")));
    EXPECT_EQ(start[0], first) << "CreateFileW stays unpatched";
}

}  // namespace
