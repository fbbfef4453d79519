// The engine flags and the operations of CSandBoxHelper that combine engine calls with them.
#include <shlwapi.h>

#include "core/SandBoxHelper.h"
#include "core/TrayChannel.h"

namespace veyra {

const wchar_t kEngineFlagsKey[] = L"SOFTWARE\\KavoSafe\\ostrel";
const wchar_t kFlagState[] = L"SB_State";
const wchar_t kFlagGuide[] = L"SB_GUIDE";
const wchar_t kFlagNoMergeFile[] = L"SB_NOMERGEFILE";
const wchar_t kFlagBlockNetwork[] = L"SB_B_TRAF";

int CSandBoxHelper::ReadFlag(const wchar_t* name, int defaultValue) noexcept
{
    DWORD type = REG_DWORD;
    DWORD value = static_cast<DWORD>(defaultValue);
    DWORD size = sizeof(value);
    if (SHGetValueW(HKEY_LOCAL_MACHINE, kEngineFlagsKey, name, &type, &value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
        // Absent, or a value of another type or size: its bytes are not a flag.
        value = static_cast<DWORD>(defaultValue);
    }
    return value != 0 ? 1 : 0;
}

int CSandBoxHelper::WriteFlag(const wchar_t* name, DWORD value) noexcept
{
    return SHSetValueW(HKEY_LOCAL_MACHINE, kEngineFlagsKey, name, REG_DWORD, &value, sizeof(value)) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

int CSandBoxHelper::ShouldShowGuide() const noexcept
{
    return IsGuideShown() && IsSwitchedOn() ? 0 : 1;
}

int CSandBoxHelper::SwitchSandBoxOn() noexcept
{
    if (SandBoxSwitch(1) != 0) {
        return 0;
    }
    m_forcedState = ForcedState::SwitchedOn;
    SendSandboxStateNotices();
    return 1;
}

int CSandBoxHelper::IsSandBoxOn() noexcept
{
    switch (m_forcedState) {
    case ForcedState::SwitchedOn:
        return 1;
    case ForcedState::Off:
        return 0;
    case ForcedState::AskEngine:
        break;
    }
    if (HasEntry(EngineEntry::GetSandboxConnectionState)) {
        return GetSandboxConnectionState();
    }
    // Without a state query the engine is asked to switch on, which answers whether it is on.
    return ReadFlag(kFlagState, 1) && SandBoxSwitch(1) == 0 ? 1 : 0;
}

int CSandBoxHelper::CountLiveItems() noexcept
{
    int count = 0;
    for (SbRuleItem* record = EnumSbRuleItem(0); record; record = EnumSbRuleItem(1)) {
        if (record->processId != 0) {
            ++count;
        }
        ReleaseSbRuleItem(record);
    }
    return count;
}

int CSandBoxHelper::SetSandboxBlockNet(int block) noexcept
{
    const int result = Call<int>(EngineEntry::SetSandboxBlockNet, 0, block);
    if (result == 0) {
        return 0;
    }
    if (!SetNetBlockedFlag(static_cast<DWORD>(block))) {
        Call<int>(EngineEntry::SetSandboxBlockNet, 0, 1 - block);
        return 0;
    }
    return result;
}

}  // namespace veyra
