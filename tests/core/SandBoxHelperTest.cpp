// The engine flags as the registry holds them, and the binding's fixed answers without an engine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/SandBoxHelper.h"
#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/TestPaths.h"

namespace {

using veyra::CSandBoxHelper;
using veyra::test::ScopedRegistryValue;

TEST(EngineFlags, ReadAbsentZeroSetAndMalformedValues)
{
    struct Case {
        const char* name;
        bool (*arrange)(ScopedRegistryValue&);
        int whenDefaultIsZero;
        int whenDefaultIsOne;
    };
    const Case cases[] = {
        {"absent", [](ScopedRegistryValue& v) { return v.Delete(); }, 0, 1},
        {"0", [](ScopedRegistryValue& v) { return v.SetDword(0); }, 0, 0},
        {"1", [](ScopedRegistryValue& v) { return v.SetDword(1); }, 1, 1},
        {"5", [](ScopedRegistryValue& v) { return v.SetDword(5); }, 1, 1},
        {"text \"0\"", [](ScopedRegistryValue& v) { return v.SetString(L"0"); }, 0, 1},
        {"text \"1\"", [](ScopedRegistryValue& v) { return v.SetString(L"1"); }, 0, 1},
        {"4 binary bytes", [](ScopedRegistryValue& v) {
             const BYTE bytes[4] = {5, 0, 0, 0};
             return v.SetRaw(REG_BINARY, bytes, sizeof(bytes));
         }, 0, 1},
        {"2-byte dword", [](ScopedRegistryValue& v) {
             const BYTE bytes[2] = {1, 0};
             return v.SetRaw(REG_DWORD, bytes, sizeof(bytes));
         }, 0, 1},
        {"8-byte number", [](ScopedRegistryValue& v) {
             const ULONGLONG value = 0;
             return v.SetRaw(REG_QWORD, &value, sizeof(value));
         }, 0, 1},
    };
    ScopedRegistryValue flag(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_VeyraTestFlag");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.arrange(flag));
        EXPECT_EQ(CSandBoxHelper::ReadFlag(L"SB_VeyraTestFlag", 0), c.whenDefaultIsZero);
        EXPECT_EQ(CSandBoxHelper::ReadFlag(L"SB_VeyraTestFlag", 1), c.whenDefaultIsOne);
    }
}

TEST(EngineFlags, EachFlagHasItsNameAndDefault)
{
    ScopedRegistryValue state(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_State");
    ScopedRegistryValue guide(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_GUIDE");
    ScopedRegistryValue noMerge(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_NOMERGEFILE");
    ScopedRegistryValue blocked(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_B_TRAF");
    for (ScopedRegistryValue* value : {&state, &guide, &noMerge, &blocked}) {
        ASSERT_TRUE(value->Delete());
    }
    EXPECT_EQ(CSandBoxHelper::ReadFlag(L"SB_State", 1), 1);
    EXPECT_EQ(CSandBoxHelper::IsGuideShown(), 0);
    EXPECT_EQ(CSandBoxHelper::IsNoMergeFile(), 0);
    EXPECT_EQ(CSandBoxHelper::IsNetBlocked(), 0);

    EXPECT_EQ(CSandBoxHelper::SetStateFlag(0), 1);
    EXPECT_EQ(CSandBoxHelper::SetGuideShown(1), 1);
    EXPECT_EQ(CSandBoxHelper::SetNoMergeFile(1), 1);
    EXPECT_EQ(CSandBoxHelper::SetNetBlockedFlag(1), 1);
    EXPECT_EQ(CSandBoxHelper::ReadFlag(L"SB_State", 1), 0);
    EXPECT_EQ(CSandBoxHelper::IsGuideShown(), 1);
    EXPECT_EQ(CSandBoxHelper::IsNoMergeFile(), 1);
    EXPECT_EQ(CSandBoxHelper::IsNetBlocked(), 1);

    DWORD type = 0, value = 0, size = sizeof(value);
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_GUIDE", RRF_RT_ANY, &type, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 1u);
}

TEST(SandBoxHelper, WithoutAnEngineEveryWrapperGivesItsFixedValue)
{
    ScopedRegistryValue blocked(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_B_TRAF");
    ASSERT_TRUE(blocked.SetDword(0));
    CSandBoxHelper helper;
    EXPECT_EQ(helper.Bind(L"C:\\no\\such\\pellox.dll"), 0);
    EXPECT_FALSE(helper.IsLoaded());
    EXPECT_EQ(helper.Bind(nullptr), 0);

    EXPECT_EQ(helper.UnRegisterFromSandbox(), 1);
    EXPECT_EQ(helper.CleanupSandBox(), 1);
    EXPECT_EQ(helper.SandBoxSwitch(1), 1);
    EXPECT_EQ(helper.EnumSbRuleItem(0), nullptr);
    EXPECT_EQ(helper.InstallSandBox(), 0);
    EXPECT_EQ(helper.UninstallSandBox(), 0);
    EXPECT_EQ(helper.SetShutdownClear(1), 1);
    EXPECT_EQ(helper.ReleaseSbRuleItem(nullptr), 1);
    EXPECT_EQ(helper.ExecuteProcessInSb(0), 1);
    EXPECT_EQ(helper.RemoveSbRule(0), 1);
    EXPECT_EQ(helper.AddSbRule(0), 1);
    EXPECT_EQ(helper.TerminateProcessBySbRule(nullptr), 1);
    EXPECT_EQ(helper.CountSandboxSize(0, 0), 0);
    helper.SetHostCallback(0, 0);
    EXPECT_EQ(helper.ExecuteKavoProcessInSb(0), 1);
    EXPECT_EQ(helper.SetSandBoxInformation(0, 0, 0, 0), 1);
    EXPECT_EQ(helper.GetSandBoxInformation(0, 0, 0, 0), 1);
    EXPECT_EQ(helper.GetSandboxConnectionState(), 0);
    EXPECT_EQ(helper.SbxGetNumberOfSetting(), 0);
    EXPECT_EQ(helper.SbxGetDescriptionByIndex(0, 0, 0), 0);
    EXPECT_EQ(helper.SbxGetCleanOptionByIndex(0), 0);
    EXPECT_EQ(helper.SbxSetCleanOptionByIndex(0, 0), 0);
    EXPECT_EQ(helper.SetSandboxBlockNet(1), 0);
    EXPECT_EQ(CSandBoxHelper::IsNetBlocked(), 0) << "a refused network switch must leave SB_B_TRAF alone";

    EXPECT_EQ(helper.CountLiveItems(), 0);
    EXPECT_EQ(helper.SwitchSandBoxOn(), 0);
    EXPECT_EQ(helper.IsSwitchedOn(), 0);
    EXPECT_EQ(helper.IsSandBoxOn(), 0);
}

TEST(SandBoxHelper, ALibraryWithoutTheEntryPointsDoesNotBind)
{
    wchar_t kernel[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(kernel, MAX_PATH), 0u);
    wcscat_s(kernel, L"\\kernel32.dll");
    CSandBoxHelper helper;
    EXPECT_EQ(helper.Bind(kernel), 0);
    EXPECT_FALSE(helper.IsLoaded());
    for (int index = 0; index < veyra::kEngineEntryCount; ++index) {
        EXPECT_FALSE(helper.HasEntry(static_cast<veyra::EngineEntry>(index))) << veyra::kEngineEntries[index].name;
    }
}

TEST(SandBoxHelper, ShowsTheGuideUnlessShownAndSwitchedOnAtThisStart)
{
    ScopedRegistryValue guide(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_GUIDE");
    struct Case {
        DWORD guideShown;
        CSandBoxHelper::ForcedState state;
        int expected;
    };
    const Case cases[] = {
        {1, CSandBoxHelper::ForcedState::SwitchedOn, 0},
        {1, CSandBoxHelper::ForcedState::AskEngine, 1},
        {0, CSandBoxHelper::ForcedState::SwitchedOn, 1},
        {0, CSandBoxHelper::ForcedState::Off, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "SB_GUIDE " << c.guideShown << ", state " << static_cast<int>(c.state));
        ASSERT_TRUE(guide.SetDword(c.guideShown));
        CSandBoxHelper helper;
        helper.SetForcedState(c.state);
        EXPECT_EQ(helper.ShouldShowGuide(), c.expected);
    }
}

TEST(SandBoxHelper, ForcedStateDecidesBeforeTheEngine)
{
    CSandBoxHelper helper;
    helper.SetForcedState(CSandBoxHelper::ForcedState::SwitchedOn);
    EXPECT_EQ(helper.IsSandBoxOn(), 1);
    helper.SetForcedState(CSandBoxHelper::ForcedState::Off);
    EXPECT_EQ(helper.IsSandBoxOn(), 0);
}

TEST(SandBoxHelper, EngineIsLookedForTwoLevelsAboveTheProgramFileInIpc)
{
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(veyra::EngineLibraryPathFor(L"C:\\Suite\\ipc\\veyra.exe", path));
    EXPECT_STREQ(path, L"C:\\Suite\\ipc\\pellox.dll");
    ASSERT_TRUE(veyra::EngineLibraryPathFor(L"D:\\x\\bin\\tests.exe", path));
    EXPECT_STREQ(path, L"D:\\x\\ipc\\pellox.dll");
    const std::wstring tooLong = L"C:\\" + std::wstring(250, L'p') + L"\\veyra.exe";
    EXPECT_FALSE(veyra::EngineLibraryPathFor(tooLong.c_str(), path));
}

}  // namespace
