#pragma once
// The one binding to the suite's sandbox engine library (pellox.dll) and the four engine flags.
// The library is loaded once and its 24 entry points are resolved by name; each has a wrapper of the
// same name that gives a fixed value when the entry point is missing, so the program runs on without an
// engine. The process-wide instance (GetInstance) belongs to the UI thread; the entry-point table is only
// read after binding. Other instances exist only to bind other library files (tests).

#include <windows.h>

#include <array>

#include "suite/contracts/SbRuleItem.h"

namespace veyra {

enum class EngineEntry : int {
    RegisterToSandbox,
    UnRegisterFromSandbox,
    CleanupSandBox,
    SandBoxSwitch,
    EnumSbRuleItem,
    InstallSandBox,
    UninstallSandBox,
    SetShutdownClear,
    ReleaseSbRuleItem,
    ExecuteProcessInSb,
    RemoveSbRule,
    AddSbRule,
    TerminateProcessBySbRule,
    CountSandboxSize,
    SetHostCallback,
    ExecuteKavoProcessInSb,
    SetSandBoxInformation,
    GetSandBoxInformation,
    GetSandboxConnectionState,
    SbxGetNumberOfSetting,
    SbxGetDescriptionByIndex,
    SbxGetCleanOptionByIndex,
    SbxSetCleanOptionByIndex,
    SetSandboxBlockNet,
};
constexpr int kEngineEntryCount = 24;

struct EngineEntryInfo {
    const char* name;
    bool required;
};
// The 24 entry points in table order; 15 of them are required for a binding.
extern const std::array<EngineEntryInfo, kEngineEntryCount> kEngineEntries;

// The engine flags: REG_DWORD values under HKLM\SOFTWARE\KavoSafe\ostrel (the program's own registry view).
extern const wchar_t kEngineFlagsKey[];
extern const wchar_t kFlagState[];         // SB_State, default 1: switch the sandbox on at start-up
extern const wchar_t kFlagGuide[];         // SB_GUIDE, default 0: the introduction was shown
extern const wchar_t kFlagNoMergeFile[];   // SB_NOMERGEFILE, default 0: the view hides the real files
extern const wchar_t kFlagBlockNetwork[];  // SB_B_TRAF, default 0: the sandbox's network access is cut

// The engine path for a program file: `..\..\ipc\pellox.dll` combined with the program's own file name,
// which names pellox.dll beside the program in the installed layout (ipc\veyra.exe). False when too long.
[[nodiscard]] bool EngineLibraryPathFor(const wchar_t* programPath, wchar_t (&path)[MAX_PATH]) noexcept;

class CSandBoxHelper {
public:
    enum class ForcedState : int { AskEngine = 0, SwitchedOn = 1, Off = 2 };

    CSandBoxHelper() noexcept = default;
    virtual ~CSandBoxHelper();
    CSandBoxHelper(const CSandBoxHelper&) = delete;
    CSandBoxHelper& operator=(const CSandBoxHelper&) = delete;

    static CSandBoxHelper& GetInstance() noexcept;

    // Binds the library beside the program and, when SB_State is set, switches the sandbox on:
    // the switch-on's result then, else the binding's.
    int Init() noexcept;
    // 1 when bound (also when bound before), 0 when the library or a required entry point is missing.
    int Bind(const wchar_t* path) noexcept;
    [[nodiscard]] bool IsLoaded() const noexcept { return m_loaded != 0; }
    [[nodiscard]] bool HasEntry(EngineEntry entry) const noexcept { return Entry(entry) != nullptr; }

    // SandBoxSwitch(1); on success the forced state becomes 1 and the tray is told. 1 or 0.
    int SwitchSandBoxOn() noexcept;
    int IsSandBoxOn() noexcept;
    [[nodiscard]] int IsSwitchedOn() const noexcept { return m_forcedState == ForcedState::SwitchedOn ? 1 : 0; }
    void SetForcedState(ForcedState state) noexcept { m_forcedState = state; }
    // Records with a process id other than 0.
    int CountLiveItems() noexcept;

    // Flags: an absent value, or one of another type or size, reads as the default; any value but 0 is set.
    [[nodiscard]] static int ReadFlag(const wchar_t* name, int defaultValue) noexcept;
    [[nodiscard]] static int WriteFlag(const wchar_t* name, DWORD value) noexcept;
    [[nodiscard]] static int IsNetBlocked() noexcept { return ReadFlag(kFlagBlockNetwork, 0); }
    static int SetNetBlockedFlag(DWORD value) noexcept { return WriteFlag(kFlagBlockNetwork, value); }
    [[nodiscard]] static int IsGuideShown() noexcept { return ReadFlag(kFlagGuide, 0); }
    static int SetGuideShown(DWORD value) noexcept { return WriteFlag(kFlagGuide, value); }
    [[nodiscard]] static int IsNoMergeFile() noexcept { return ReadFlag(kFlagNoMergeFile, 0); }
    static int SetNoMergeFile(DWORD value) noexcept { return WriteFlag(kFlagNoMergeFile, value); }
    static int SetStateFlag(DWORD value) noexcept { return WriteFlag(kFlagState, value); }
    // 0 when the guide was shown and the sandbox was switched on at this start, else 1.
    [[nodiscard]] int ShouldShowGuide() const noexcept;

    // Wrappers of the entry points (the value after "else" is the one given when the entry point is missing).
    int UnRegisterFromSandbox() noexcept;                      // else 1
    int CleanupSandBox() noexcept;                             // else 1
    int SandBoxSwitch(int on) noexcept;                        // 0 success; else 1
    SbRuleItem* EnumSbRuleItem(int next) noexcept;             // else NULL
    int InstallSandBox() noexcept;                             // else 0
    int UninstallSandBox() noexcept;                           // else 0
    int SetShutdownClear(int value) noexcept;                  // else 1
    int ReleaseSbRuleItem(SbRuleItem* record) noexcept;        // else 1
    int ExecuteProcessInSb(int value) noexcept;                // else 1
    int RemoveSbRule(int value) noexcept;                      // else 1
    int AddSbRule(int value) noexcept;                         // else 1
    int TerminateProcessBySbRule(SbRuleItem* record) noexcept; // else 1
    int CountSandboxSize(int first, int second) noexcept;      // else 0
    void SetHostCallback(int first, int second) noexcept;      // else nothing
    int ExecuteKavoProcessInSb(int value) noexcept;            // else 1
    int SetSandBoxInformation(int a, int b, int c, int d) noexcept;  // always 1
    int GetSandBoxInformation(int a, int b, int c, int d) noexcept;  // else 1
    int GetSandboxConnectionState() noexcept;                  // else 0
    int SbxGetNumberOfSetting() noexcept;                      // at most 7; else 0
    int SbxGetDescriptionByIndex(int index, int a, int b) noexcept;  // else 0
    int SbxGetCleanOptionByIndex(int index) noexcept;          // else 0
    int SbxSetCleanOptionByIndex(int index, int value) noexcept;     // else 0
    // The engine's switch, then SB_B_TRAF; a failed flag write undoes the engine's change and gives 0.
    int SetSandboxBlockNet(int block) noexcept;

private:
    [[nodiscard]] FARPROC Entry(EngineEntry entry) const noexcept
    {
        return m_entries[static_cast<int>(entry)];
    }
    // Calls an entry point as the engine exports it (cdecl), or gives `missing` without it.
    template <typename Result, typename... Args>
    Result Call(EngineEntry entry, Result missing, Args... args) noexcept
    {
        using Function = Result(__cdecl*)(Args...);
        FARPROC address = Entry(entry);
        return address ? reinterpret_cast<Function>(reinterpret_cast<void*>(address))(args...) : missing;
    }
    void Unbind() noexcept;

    HMODULE m_module = nullptr;
    int m_loaded = 0;
    ForcedState m_forcedState = ForcedState::AskEngine;
    std::array<FARPROC, kEngineEntryCount> m_entries{};
};

}  // namespace veyra
