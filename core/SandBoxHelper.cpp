#include "core/SandBoxHelper.h"

#include <shlwapi.h>

#include "base/FixedPath.h"

namespace veyra {

const std::array<EngineEntryInfo, kEngineEntryCount> kEngineEntries = {{
    {"RegisterToSandbox", true},
    {"UnRegisterFromSandbox", true},
    {"CleanupSandBox", true},
    {"SandBoxSwitch", true},
    {"EnumSbRuleItem", true},
    {"InstallSandBox", false},
    {"UninstallSandBox", false},
    {"SetShutdownClear", true},
    {"ReleaseSbRuleItem", true},
    {"ExecuteProcessInSb", true},
    {"RemoveSbRule", true},
    {"AddSbRule", true},
    {"TerminateProcessBySbRule", true},
    {"CountSandboxSize", true},
    {"SetHostCallback", false},
    {"ExecuteKavoProcessInSb", true},
    {"SetSandBoxInformation", true},
    {"GetSandBoxInformation", true},
    {"GetSandboxConnectionState", false},
    {"SbxGetNumberOfSetting", false},
    {"SbxGetDescriptionByIndex", false},
    {"SbxGetCleanOptionByIndex", false},
    {"SbxSetCleanOptionByIndex", false},
    {"SetSandboxBlockNet", false},
}};

bool EngineLibraryPathFor(const wchar_t* programPath, wchar_t (&path)[MAX_PATH]) noexcept
{
    path[0] = L'\0';
    // PathCombineW takes the program's file name as one folder level, so "..\.." climbs to the suite.
    return programPath && PathCombineW(path, programPath, L"..\\..\\ipc\\pellox.dll") && path[0] != L'\0';
}

CSandBoxHelper::~CSandBoxHelper()
{
    // The library stays loaded and registered until the process ends.
    m_module = nullptr;
    m_loaded = 0;
    m_entries.fill(nullptr);
}

CSandBoxHelper& CSandBoxHelper::GetInstance() noexcept
{
    static CSandBoxHelper instance;
    return instance;
}

int CSandBoxHelper::Init() noexcept
{
    wchar_t program[MAX_PATH];
    wchar_t library[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    const int bound = length > 0 && length < MAX_PATH && EngineLibraryPathFor(program, library) ? Bind(library) : 0;
    if (ReadFlag(kFlagState, 1)) {
        return SwitchSandBoxOn();
    }
    return bound;
}

int CSandBoxHelper::Bind(const wchar_t* path) noexcept
{
    if (m_loaded) {
        return 1;
    }
    m_module = path ? LoadLibraryW(path) : nullptr;
    bool complete = m_module != nullptr;
    for (int index = 0; index < kEngineEntryCount; ++index) {
        m_entries[index] = m_module ? GetProcAddress(m_module, kEngineEntries[index].name) : nullptr;
        if (kEngineEntries[index].required && !m_entries[index]) {
            complete = false;
        }
    }
    if (!complete) {
        Unbind();
        return 0;
    }
    Call<int>(EngineEntry::RegisterToSandbox, 0);
    m_loaded = 1;
    return 1;
}

void CSandBoxHelper::Unbind() noexcept
{
    m_entries.fill(nullptr);
    if (m_module) {
        FreeLibrary(m_module);
        m_module = nullptr;
    }
    m_loaded = 0;
}

int CSandBoxHelper::UnRegisterFromSandbox() noexcept { return Call<int>(EngineEntry::UnRegisterFromSandbox, 1); }
int CSandBoxHelper::CleanupSandBox() noexcept { return Call<int>(EngineEntry::CleanupSandBox, 1); }
int CSandBoxHelper::SandBoxSwitch(int on) noexcept { return Call<int>(EngineEntry::SandBoxSwitch, 1, on); }
SbRuleItem* CSandBoxHelper::EnumSbRuleItem(int next) noexcept
{
    return Call<SbRuleItem*>(EngineEntry::EnumSbRuleItem, nullptr, next);
}
int CSandBoxHelper::InstallSandBox() noexcept { return Call<int>(EngineEntry::InstallSandBox, 0); }
int CSandBoxHelper::UninstallSandBox() noexcept { return Call<int>(EngineEntry::UninstallSandBox, 0); }
int CSandBoxHelper::SetShutdownClear(int value) noexcept
{
    return Call<int>(EngineEntry::SetShutdownClear, 1, value);
}
int CSandBoxHelper::ReleaseSbRuleItem(SbRuleItem* record) noexcept
{
    return Call<int>(EngineEntry::ReleaseSbRuleItem, 1, record);
}
int CSandBoxHelper::ExecuteProcessInSb(int value) noexcept
{
    return Call<int>(EngineEntry::ExecuteProcessInSb, 1, value);
}
int CSandBoxHelper::RemoveSbRule(int value) noexcept { return Call<int>(EngineEntry::RemoveSbRule, 1, value); }
int CSandBoxHelper::AddSbRule(int value) noexcept { return Call<int>(EngineEntry::AddSbRule, 1, value); }
int CSandBoxHelper::TerminateProcessBySbRule(SbRuleItem* record) noexcept
{
    return Call<int>(EngineEntry::TerminateProcessBySbRule, 1, record);
}
int CSandBoxHelper::CountSandboxSize(int first, int second) noexcept
{
    return Call<int>(EngineEntry::CountSandboxSize, 0, first, second);
}
void CSandBoxHelper::SetHostCallback(int first, int second) noexcept
{
    using Function = void(__cdecl*)(int, int);
    if (FARPROC address = Entry(EngineEntry::SetHostCallback)) {
        reinterpret_cast<Function>(reinterpret_cast<void*>(address))(first, second);
    }
}
int CSandBoxHelper::ExecuteKavoProcessInSb(int value) noexcept
{
    return Call<int>(EngineEntry::ExecuteKavoProcessInSb, 1, value);
}
int CSandBoxHelper::SetSandBoxInformation(int a, int b, int c, int d) noexcept
{
    Call<int>(EngineEntry::SetSandBoxInformation, 1, a, b, c, d);
    return 1;
}
int CSandBoxHelper::GetSandBoxInformation(int a, int b, int c, int d) noexcept
{
    return Call<int>(EngineEntry::GetSandBoxInformation, 1, a, b, c, d);
}
int CSandBoxHelper::GetSandboxConnectionState() noexcept
{
    return Call<int>(EngineEntry::GetSandboxConnectionState, 0);
}
int CSandBoxHelper::SbxGetNumberOfSetting() noexcept
{
    constexpr int kMaxSettings = 7;
    const int count = Call<int>(EngineEntry::SbxGetNumberOfSetting, 0);
    return count < 0 ? 0 : (count > kMaxSettings ? kMaxSettings : count);
}
int CSandBoxHelper::SbxGetDescriptionByIndex(int index, int a, int b) noexcept
{
    return Call<int>(EngineEntry::SbxGetDescriptionByIndex, 0, index, a, b);
}
int CSandBoxHelper::SbxGetCleanOptionByIndex(int index) noexcept
{
    return Call<int>(EngineEntry::SbxGetCleanOptionByIndex, 0, index);
}
int CSandBoxHelper::SbxSetCleanOptionByIndex(int index, int value) noexcept
{
    return Call<int>(EngineEntry::SbxSetCleanOptionByIndex, 0, index, value);
}

}  // namespace veyra
