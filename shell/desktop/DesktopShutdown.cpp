#include "shell/desktop/DesktopShutdown.h"

#include <vector>

#include "core/fileops/RunningOperations.h"

namespace veyra {

namespace {
constexpr std::int32_t kEveryKind = HostKind::kClosedOnRestore | HostKind::kStartMenu;
}

ExitAnswer ClassifyExitAnswer(int answer) noexcept
{
    switch (answer) {
    case IDCANCEL:
        return ExitAnswer::Stay;
    case IDYES:
    case IDOK:
        return ExitAnswer::EndProgramsAndExit;
    default:
        return ExitAnswer::Exit;
    }
}

int EndOwnerProcesses(CProcessListManager& watch, int ownerKey) noexcept
{
    try {
        watch.Refresh();
        std::vector<ProcessEntry> processes;
        int changed = 0;
        watch.GetOwnerProcesses(processes, ownerKey, changed);
        int ended = 0;
        for (const ProcessEntry& process : processes) {
            ended += watch.TerminateProcess(process.record.processId);
        }
        return ended;
    } catch (...) {
        return 0;
    }
}

void PrepareExit(const RegisteredWindows& windows, bool endPrograms, CProcessListManager& watch, int ownerKey) noexcept
{
    try {
        windows.CloseKinds(kEveryKind);
    } catch (...) {
    }
    // A worker that does not end in time is ended with the process: waiting longer would hang the exit.
    (void)CRunningOperations::Instance().CancelAllAndWait(kStopOperationsLimitMs);
    if (endPrograms) {
        (void)EndOwnerProcesses(watch, ownerKey);
    }
}

bool PrepareRestore(const RegisteredWindows& windows) noexcept
{
    try {
        windows.CloseKinds(HostKind::kClosedOnRestore);
    } catch (...) {
    }
    return CRunningOperations::Instance().CancelAllAndWait(kStopOperationsLimitMs);
}

}  // namespace veyra
