#pragma once
// The process-wide services start-up brings up on the UI thread once the theme redirect is in place:
// the skin library (loaded from the suite with the theme folder as current directory), system
// information, the suite's IPC service object, the debug privilege and the root key of the deletion
// marks, then the binding to the sandbox engine. Only the skin library is required; every other result
// is ignored by start-up and reported here for the tests.

#include <windows.h>

#include <string>

namespace veyra {

// Makes the suite's theme folder current, loads vorrel.dll from the suite (never freed), then fills
// the system information and runs CreateIpcService, EnableDebugPrivilege and CreateSandboxUsersKey.
// 1, or 0 when the skin library cannot be loaded.
[[nodiscard]] int InitSuiteServices() noexcept;

// Creates the suite's IPC service object from ipc\ipcservice.dll and calls its one method with 0:
// 1 when that call succeeded. The object is kept, never released.
int CreateIpcService() noexcept;

// Enables SeDebugPrivilege in the process's token: 1 once the privilege was looked up, 0 when the
// token cannot be opened or the name is unknown.
int EnableDebugPrivilege() noexcept;

// Creates or opens HKEY_USERS\KavoSandBox and closes it again. On access denied the group
// "Administrators" is given full access to it (inherited by its sub-keys) and it is tried once more.
// 1 when the last try succeeded.
int CreateSandboxUsersKey() noexcept;

// The same with the two steps given, so the repair path can be driven where access is never denied.
using CreateKeyStep = LSTATUS (*)(HKEY* key) noexcept;
using RepairAccessStep = int (*)(const std::wstring& objectName) noexcept;
int CreateSandboxUsersKey(CreateKeyStep createKey, RepairAccessStep repairAccess) noexcept;

// Binds the sandbox engine and switches it on when SB_State is set; the result is the engine's.
int BindSandboxEngine() noexcept;

}  // namespace veyra
