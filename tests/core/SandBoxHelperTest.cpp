// The engine flags as the registry holds them, and the binding's fixed answers without an engine.
#include <windows.h>

#include <gtest/gtest.h>

#include <sddl.h>

#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "core/SandBoxHelper.h"
#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TrayFixture.h"

namespace {

using veyra::CSandBoxHelper;
using veyra::test::BinFile;
using veyra::test::ScopedEnvironmentVariable;
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

// What every wrapper gives when its entry point is missing.
void ExpectFixedValuesOfMissingEngine(CSandBoxHelper& helper)
{
    ScopedRegistryValue blocked(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_B_TRAF");
    ASSERT_TRUE(blocked.SetDword(0));
    EXPECT_FALSE(helper.IsLoaded());
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
    for (int index = 0; index < veyra::kEngineEntryCount; ++index) {
        EXPECT_FALSE(helper.HasEntry(static_cast<veyra::EngineEntry>(index))) << veyra::kEngineEntries[index].name;
    }
}

TEST(SandBoxHelper, WithoutAnEngineEveryWrapperGivesItsFixedValue)
{
    CSandBoxHelper helper;
    EXPECT_EQ(helper.Bind(L"C:\\no\\such\\pellox.dll"), 0);
    EXPECT_EQ(helper.Bind(nullptr), 0);
    ExpectFixedValuesOfMissingEngine(helper);
}

TEST(SandBoxHelper, ALibraryWithoutTheEntryPointsDoesNotBind)
{
    wchar_t kernel[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(kernel, MAX_PATH), 0u);
    wcscat_s(kernel, L"\\kernel32.dll");
    CSandBoxHelper helper;
    EXPECT_EQ(helper.Bind(kernel), 0);
    ExpectFixedValuesOfMissingEngine(helper);
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

// The stand-in engine's own state (its volatile key), to see what the wrappers asked of it.
DWORD EngineValue(const wchar_t* name)
{
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\KavoSafe\\SandBoxEngine", name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS) {
        return 0xFFFFFFFF;
    }
    return value;
}

TEST(EngineBinding, BindsTheFullEngineWithEveryEntryPoint)
{
    CSandBoxHelper helper;
    ASSERT_EQ(helper.Bind(BinFile(L"pellox.dll").c_str()), 1);
    EXPECT_TRUE(helper.IsLoaded());
    EXPECT_EQ(helper.Bind(L"C:\\no\\such.dll"), 1) << "a bound helper stays bound";
    for (int index = 0; index < veyra::kEngineEntryCount; ++index) {
        EXPECT_TRUE(helper.HasEntry(static_cast<veyra::EngineEntry>(index))) << veyra::kEngineEntries[index].name;
    }
    ASSERT_EQ(helper.SandBoxSwitch(1), 0);
    EXPECT_EQ(helper.GetSandboxConnectionState(), 1);
    EXPECT_EQ(helper.IsSandBoxOn(), 1);
    ASSERT_EQ(helper.SandBoxSwitch(0), 0);
    EXPECT_EQ(helper.IsSandBoxOn(), 0) << "the engine's state query decides while the state is not forced";
}

TEST(EngineBinding, BindsWithOnlyTheRequiredEntryPoints)
{
    CSandBoxHelper helper;
    ASSERT_EQ(helper.Bind(BinFile(L"pellox_required.dll").c_str()), 1);
    int present = 0;
    for (int index = 0; index < veyra::kEngineEntryCount; ++index) {
        const bool has = helper.HasEntry(static_cast<veyra::EngineEntry>(index));
        EXPECT_EQ(has, veyra::kEngineEntries[index].required) << veyra::kEngineEntries[index].name;
        present += has ? 1 : 0;
    }
    EXPECT_EQ(present, 15);
    EXPECT_EQ(helper.SbxGetNumberOfSetting(), 0);
    EXPECT_EQ(helper.SetSandboxBlockNet(1), 0);

    // Without the state query the flag decides, and the query switches the sandbox on.
    ScopedRegistryValue state(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_State");
    ASSERT_TRUE(state.SetDword(0));
    ASSERT_EQ(helper.SandBoxSwitch(0), 0);
    EXPECT_EQ(helper.IsSandBoxOn(), 0);
    EXPECT_EQ(EngineValue(L"Switch"), 0u);
    ASSERT_TRUE(state.Delete());
    EXPECT_EQ(helper.IsSandBoxOn(), 1);
    EXPECT_EQ(EngineValue(L"Switch"), 1u) << "the state query must have switched the engine on";
    ScopedEnvironmentVariable refuse(L"PELLOX_SWITCH_RESULT", L"3");
    EXPECT_EQ(helper.IsSandBoxOn(), 0);
}

TEST(EngineBinding, AMissingRequiredEntryPointFailsAndFreesTheLibrary)
{
    const std::wstring library = BinFile(L"pellox_no_switch.dll");
    CSandBoxHelper helper;
    EXPECT_EQ(helper.Bind(library.c_str()), 0);
    EXPECT_EQ(GetModuleHandleW(library.c_str()), nullptr) << "the library must be freed";
    ExpectFixedValuesOfMissingEngine(helper);
    CSandBoxHelper again;
    ASSERT_EQ(again.Bind(BinFile(L"pellox.dll").c_str()), 1) << "a later binding tries again";
}

TEST(EngineBinding, SettingsCountIsAtMostSeven)
{
    CSandBoxHelper helper;
    ASSERT_EQ(helper.Bind(BinFile(L"pellox.dll").c_str()), 1);
    const struct {
        const wchar_t* reported;
        int expected;
    } cases[] = {{L"12", 7}, {L"7", 7}, {L"5", 5}, {L"0", 0}, {L"-2", 0}, {L"", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "engine reports " << (c.reported[0] ? c.reported : L"its default"));
        ScopedEnvironmentVariable count(L"PELLOX_SETTING_COUNT", c.reported);
        EXPECT_EQ(helper.SbxGetNumberOfSetting(), c.expected);
    }
}

// Denies setting values on the flags key while it lives, so a flag write fails as without rights.
class ReadOnlyFlagsKey {
public:
    ReadOnlyFlagsKey()
    {
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, 0, nullptr, 0, READ_CONTROL | WRITE_DAC, nullptr,
                        m_key.put(), nullptr);
        DWORD size = 0;
        RegGetKeySecurity(m_key.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
        m_original.resize(size);
        if (RegGetKeySecurity(m_key.get(), DACL_SECURITY_INFORMATION, m_original.data(), &size) != ERROR_SUCCESS) {
            m_original.clear();
        }
        PSECURITY_DESCRIPTOR denying = nullptr;
        // Everyone is denied KEY_SET_VALUE, before the usual full access.
        ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x2;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                             &denying, nullptr);
        m_applied = denying && RegSetKeySecurity(m_key.get(), DACL_SECURITY_INFORMATION, denying) == ERROR_SUCCESS;
        LocalFree(denying);
    }
    ~ReadOnlyFlagsKey()
    {
        if (!m_original.empty()) {
            RegSetKeySecurity(m_key.get(), DACL_SECURITY_INFORMATION, m_original.data());
        }
    }
    [[nodiscard]] bool Applied() const { return m_applied; }

private:
    veyra::UniqueRegKey m_key;
    std::vector<BYTE> m_original;
    bool m_applied = false;
};

TEST(EngineBinding, NetworkSwitchWritesTheFlagOnlyAfterTheEngineAndUndoesWhenItCannot)
{
    CSandBoxHelper helper;
    ASSERT_EQ(helper.Bind(BinFile(L"pellox.dll").c_str()), 1);
    ScopedRegistryValue blocked(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_B_TRAF");
    ASSERT_TRUE(blocked.SetDword(0));

    EXPECT_EQ(helper.SetSandboxBlockNet(1), 1);
    EXPECT_EQ(EngineValue(L"BlockNet"), 1u);
    EXPECT_EQ(CSandBoxHelper::IsNetBlocked(), 1);
    EXPECT_EQ(helper.SetSandboxBlockNet(0), 1);
    EXPECT_EQ(EngineValue(L"BlockNet"), 0u);
    EXPECT_EQ(CSandBoxHelper::IsNetBlocked(), 0);

    {
        ScopedEnvironmentVariable refuse(L"PELLOX_BLOCKNET_RESULT", L"0");
        EXPECT_EQ(helper.SetSandboxBlockNet(1), 0);
        EXPECT_EQ(CSandBoxHelper::IsNetBlocked(), 0) << "a refused switch must leave the flag alone";
        EXPECT_EQ(EngineValue(L"BlockNet"), 0u);
    }
    {
        ReadOnlyFlagsKey readOnly;
        ASSERT_TRUE(readOnly.Applied());
        ASSERT_EQ(CSandBoxHelper::SetNetBlockedFlag(1), 0) << "the flags key must refuse writes for this case";
        EXPECT_EQ(helper.SetSandboxBlockNet(1), 0);
        EXPECT_EQ(EngineValue(L"BlockNet"), 0u) << "the engine's change must be undone";
        EXPECT_EQ(CSandBoxHelper::IsNetBlocked(), 0);
    }
}

}  // namespace
