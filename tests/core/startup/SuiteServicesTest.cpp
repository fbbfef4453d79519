// The services start-up brings up after the theme redirect: the skin library and the theme folder,
// the IPC service object, the debug privilege and the deletion marks' root key with its access repair.
#include "core/startup/SuiteServices.h"

#include <gtest/gtest.h>

#include <string>

#include "base/UniqueResource.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/TestPaths.h"
#include "suite/contracts/IpcService.h"

namespace {

using veyra::test::FakeSuite;
using veyra::test::SuitePart;

TEST(SuiteServices, EnablesTheDebugPrivilege)
{
    EXPECT_EQ(veyra::EnableDebugPrivilege(), 1);
}

TEST(SuiteServices, CreatesTheDeletionMarksRootKey)
{
    RegDeleteTreeW(HKEY_USERS, L"KavoSandBox");
    ASSERT_EQ(veyra::CreateSandboxUsersKey(), 1);
    veyra::UniqueRegKey key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_USERS, L"KavoSandBox", 0, KEY_READ, key.put()), ERROR_SUCCESS);
}

// Scripted results of the create step, and what the repair step was asked.
LSTATUS s_createResults[2];
int s_createCalls = 0;
int s_repairCalls = 0;
std::wstring s_repairedObject;

LSTATUS ScriptedCreate(HKEY* key) noexcept
{
    *key = nullptr;
    return s_createResults[s_createCalls++ % 2];
}

int RecordingRepair(const std::wstring& objectName) noexcept
{
    ++s_repairCalls;
    s_repairedObject = objectName;
    return 1;
}

TEST(SuiteServices, RepairsAccessOnceWhenTheRootKeyIsDenied)
{
    struct Case {
        const char* what;
        LSTATUS first;
        LSTATUS second;
        int expectedResult;
        int expectedCreates;
        int expectedRepairs;
    };
    const Case cases[] = {
        {"created at once", ERROR_SUCCESS, ERROR_SUCCESS, 1, 1, 0},
        {"denied, repaired, created", ERROR_ACCESS_DENIED, ERROR_SUCCESS, 1, 2, 1},
        {"denied twice", ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED, 0, 2, 1},
        {"another failure is not repaired", ERROR_OUTOFMEMORY, ERROR_SUCCESS, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        s_createResults[0] = c.first;
        s_createResults[1] = c.second;
        s_createCalls = s_repairCalls = 0;
        s_repairedObject.clear();
        EXPECT_EQ(veyra::CreateSandboxUsersKey(&ScriptedCreate, &RecordingRepair), c.expectedResult);
        EXPECT_EQ(s_createCalls, c.expectedCreates);
        EXPECT_EQ(s_repairCalls, c.expectedRepairs);
        if (c.expectedRepairs) {
            EXPECT_EQ(s_repairedObject, L"USERS\\KavoSandBox");
        }
    }
}

TEST(SuiteServices, WithoutTheSkinLibraryStartUpCannotGoOn)
{
    FakeSuite suite(SuitePart::All & ~SuitePart::SkinLibrary);
    EXPECT_EQ(veyra::InitSuiteServices(), 0);
}

TEST(SuiteServices, LoadsTheSkinLibraryFromTheThemeFolder)
{
    FakeSuite suite(SuitePart::None);
    // Any library stands in for the skin library here: what is checked is where it is loaded from.
    ASSERT_TRUE(CopyFileW(veyra::test::BinFile(L"detours_probe.dll").c_str(), (suite / L"vorrel.dll").c_str(), FALSE));
    ASSERT_EQ(veyra::InitSuiteServices(), 1);
    wchar_t current[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryW(MAX_PATH, current));
    EXPECT_EQ(CompareStringOrdinal(current, -1, suite.ThemeFolder().c_str(), -1, TRUE), CSTR_EQUAL)
        << "current directory " << testing::PrintToString(std::wstring(current));
    HMODULE loaded = GetModuleHandleW(L"vorrel.dll");
    ASSERT_NE(loaded, nullptr);
    wchar_t loadedPath[MAX_PATH];
    GetModuleFileNameW(loaded, loadedPath, MAX_PATH);
    EXPECT_EQ(CompareStringOrdinal(loadedPath, -1, (suite / L"vorrel.dll").c_str(), -1, TRUE), CSTR_EQUAL);
    SetCurrentDirectoryW(veyra::test::BinFolder().c_str());
}

TEST(SuiteServices, NoIpcServiceObjectWithoutItsLibrary)
{
    FakeSuite suite(SuitePart::None);
    EXPECT_EQ(veyra::CreateIpcService(), 0);
}

TEST(SuiteServices, CallsTheIpcServiceObjectWithZero)
{
    FakeSuite suite(SuitePart::IpcService);
    const DWORD stale = 7;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, veyra::suite::kIpcServiceRecordKey, L"ConnectFlags", REG_DWORD,
                              &stale, sizeof(stale)),
              ERROR_SUCCESS);
    ASSERT_EQ(veyra::CreateIpcService(), 1);
    DWORD recorded = stale;
    DWORD size = sizeof(recorded);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, veyra::suite::kIpcServiceRecordKey, L"ConnectFlags", RRF_RT_REG_DWORD,
                           nullptr, &recorded, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(recorded, 0u);
}

}  // namespace
