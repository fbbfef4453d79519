#pragma once
// The order in which the desktop ends or restores: first the windows of the desktop are closed and
// every running file operation is cancelled and waited for (so no file is left half-written and none is
// written after a clean), then the sandboxed processes are ended or the sandbox is cleaned. UI thread.

#include "core/processwatch/ProcessListManager.h"
#include "shell/desktop/RegisteredWindows.h"

namespace veyra {

enum class ExitAnswer {
    Stay,                // cancel: the window stays
    EndProgramsAndExit,  // yes (or 1): the desktop's sandboxed programs end first
    Exit,                // no, or the question could not be shown: they go on running
};

[[nodiscard]] ExitAnswer ClassifyExitAnswer(int answer) noexcept;

// Ends every sandboxed process of the desktop through the process watch, from a fresh snapshot; the
// number of processes it asked the engine to end.
int EndOwnerProcesses(CProcessListManager& watch, int ownerKey) noexcept;

// Before the process terminates itself: closes the registered windows, stops the operations, and with
// `endPrograms` ends the desktop's sandboxed processes.
void PrepareExit(const RegisteredWindows& windows, bool endPrograms, CProcessListManager& watch, int ownerKey) noexcept;

// Before the sandbox is cleaned: closes every registered window but the start menu and stops the
// operations. False when a worker did not end in time: the sandbox must not be cleaned then.
[[nodiscard]] bool PrepareRestore(const RegisteredWindows& windows) noexcept;

}  // namespace veyra
