#pragma once
// The stand-in engine's list of sandboxed processes, shared by every process of the suite (the engine
// inside the desktop program, the tray program that starts processes). It lives in a volatile registry
// key, so like the real engine's list it is gone after a restart. Each entry carries the process's
// creation time, so an id that the system has handed to a new process is not mistaken for the old one.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/UniqueResource.h"

namespace veyra::suite {

struct SandboxProcess {
    std::uint32_t processId = 0;
    std::int32_t ownerId = 0;
    std::uint64_t creationTime = 0;  // FILETIME of the process
    std::wstring imagePath;
};

// Adds a running process; false when it cannot be opened or the path does not fit 259 characters.
bool AddSandboxProcess(DWORD processId, std::int32_t ownerId, const std::wstring& imagePath) noexcept;

// The listed processes that still run, in the order they were added; entries of processes that ended
// are removed on the way.
std::vector<SandboxProcess> ListSandboxProcesses() noexcept;

// Removes a process from the list (once it has been ended).
void RemoveSandboxProcess(DWORD processId) noexcept;

// The creation time of a running process, or 0 when it cannot be opened or has ended.
std::uint64_t RunningProcessCreationTime(DWORD processId) noexcept;

// The volatile key that holds the engine's state (HKCU\Software\KavoSafe\SandBoxEngine): the process
// list below it, and the switch and network states as values. Created on first use.
UniqueRegKey OpenEngineStateKey() noexcept;

}  // namespace veyra::suite
