// The stand-in sandbox engine's 24 entry points: plain C functions, cdecl, exported by name.
// Records handed out by EnumSbRuleItem are the engine's until ReleaseSbRuleItem gives them back;
// the enumeration state is the calling process's, guarded for callers on several threads.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include "suite/contracts/SbRuleItem.h"
#include "suite/common/SandboxProcessList.h"
#include "suite/pellox/DeletionMarkStore.h"
#include "suite/pellox/EngineState.h"
#include "suite/pellox/SandboxCleanup.h"

using veyra::SbRuleItem;
namespace suite = veyra::suite;

namespace {

std::mutex s_lock;
std::vector<suite::SandboxProcess> s_snapshot;  // taken by EnumSbRuleItem(0)
std::size_t s_cursor = 0;
std::set<SbRuleItem*> s_handedOut;

// The engine's own part of a record: the process's creation time, so that ending a process by its
// record can never end another process that was given the same id later.
std::uint64_t RecordCreationTime(const SbRuleItem& record)
{
    std::uint64_t time = 0;
    std::memcpy(&time, record.engineData, sizeof(time));
    return time;
}

SbRuleItem* NewRecord(const suite::SandboxProcess& process)
{
    auto* record = new SbRuleItem{};
    record->processId = process.processId;
    record->ownerId = process.ownerId;
    process.imagePath.copy(record->imagePath, std::min(process.imagePath.size(), veyra::kSbRuleImagePathChars - 1));
    std::memcpy(record->engineData, &process.creationTime, sizeof(process.creationTime));
    return record;
}

bool EndProcess(DWORD processId) noexcept
{
    veyra::UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process || !TerminateProcess(process.get(), 1)) {
        return false;
    }
    WaitForSingleObject(process.get(), 5000);
    return true;
}

}  // namespace

extern "C" {

int __cdecl RegisterToSandbox()
{
    // The marks come back once per session (the state key is volatile): the first registration after a
    // restart finds the subtree empty and fills it from the store; later ones find the live marks.
    if (!suite::ReadEngineValue(suite::kMarksRestoredValue)) {
        suite::RestoreDeletionMarks();
        suite::WriteEngineValue(suite::kMarksRestoredValue, 1);
    }
    suite::StartDeletionMarkWatcher();
    return 1;
}

int __cdecl UnRegisterFromSandbox()
{
    suite::SaveDeletionMarks();
    return 1;
}

int __cdecl CleanupSandBox()
{
    const bool emptied = suite::EmptySandbox();
    return suite::SaveDeletionMarks() && emptied ? 1 : 0;
}

int __cdecl SandBoxSwitch(int on)
{
    if (auto chosen = suite::ChosenResult(L"PELLOX_SWITCH_RESULT")) {
        return *chosen;
    }
    return suite::WriteEngineValue(suite::kSwitchValue, on ? 1 : 0) ? 0 : 1;
}

int __cdecl GetSandboxConnectionState()
{
    return suite::ReadEngineValue(suite::kSwitchValue) != 0 ? 1 : 0;
}

int __cdecl SetSandboxBlockNet(int block)
{
    if (auto chosen = suite::ChosenResult(L"PELLOX_BLOCKNET_RESULT")) {
        if (*chosen == 0) {
            return 0;
        }
    }
    return suite::WriteEngineValue(suite::kBlockNetValue, block ? 1 : 0) ? 1 : 0;
}

SbRuleItem* __cdecl EnumSbRuleItem(int next)
{
    try {
        std::lock_guard lock(s_lock);
        if (!next) {
            s_snapshot = suite::ListSandboxProcesses();
            s_cursor = 0;
        }
        if (s_cursor >= s_snapshot.size()) {
            return nullptr;
        }
        SbRuleItem* record = NewRecord(s_snapshot[s_cursor++]);
        s_handedOut.insert(record);
        return record;
    } catch (...) {
        return nullptr;
    }
}

int __cdecl ReleaseSbRuleItem(SbRuleItem* record)
{
    std::lock_guard lock(s_lock);
    if (s_handedOut.erase(record) == 0) {
        return 0;  // not one of ours, or given back twice
    }
    delete record;
    return 1;
}

// Not an engine entry point: lets tests check that callers give back every record they were handed.
int __cdecl CountUnreleasedSbRuleItems()
{
    std::lock_guard lock(s_lock);
    return static_cast<int>(s_handedOut.size());
}

int __cdecl TerminateProcessBySbRule(SbRuleItem* record)
{
    if (!record) {
        return 0;
    }
    const std::vector<suite::SandboxProcess> processes = suite::ListSandboxProcesses();
    const bool listed = std::any_of(processes.begin(), processes.end(), [&](const suite::SandboxProcess& p) {
        return p.processId == record->processId && p.creationTime == RecordCreationTime(*record);
    });
    if (!listed || !EndProcess(record->processId)) {
        return 0;
    }
    suite::RemoveSandboxProcess(record->processId);
    return 1;
}

int __cdecl SbxGetNumberOfSetting()
{
    return suite::ChosenResult(L"PELLOX_SETTING_COUNT").value_or(suite::kDefaultSettingCount);
}

int __cdecl SbxGetCleanOptionByIndex(int index)
{
    if (index < 0 || index >= SbxGetNumberOfSetting()) {
        return 0;
    }
    return static_cast<int>(suite::ReadEngineValue((L"CleanOption" + std::to_wstring(index)).c_str()));
}

int __cdecl SbxSetCleanOptionByIndex(int index, int value)
{
    if (index < 0 || index >= SbxGetNumberOfSetting()) {
        return 0;
    }
    return suite::WriteEngineValue((L"CleanOption" + std::to_wstring(index)).c_str(), static_cast<DWORD>(value)) ? 1
                                                                                                                 : 0;
}

int __cdecl SetShutdownClear(int value)
{
    return suite::WriteEngineValue(L"ShutdownClear", value ? 1 : 0) ? 1 : 0;
}

// The engine's driver is always installed in the stand-in.
int __cdecl InstallSandBox() { return 1; }
int __cdecl UninstallSandBox() { return 1; }

// Starting programs in the sandbox is the tray program's work in this suite; these answer "not done".
int __cdecl ExecuteProcessInSb(int) { return 0; }
int __cdecl ExecuteKavoProcessInSb(int) { return 0; }

// Rules, sizes, descriptions and host callbacks are not kept by the stand-in.
int __cdecl RemoveSbRule(int) { return 0; }
int __cdecl AddSbRule(int) { return 0; }
int __cdecl CountSandboxSize(int, int) { return 0; }
void __cdecl SetHostCallback(int, int) {}
int __cdecl SetSandBoxInformation(int, int, int, int) { return 0; }
int __cdecl GetSandBoxInformation(int, int, int, int) { return 0; }
int __cdecl SbxGetDescriptionByIndex(int, int, int) { return 0; }

}  // extern "C"
