#include "SuiteServices.h"

#include "base/UniqueResource.h"
#include "core/ComponentDll.h"
#include "core/GlobalInfo.h"
#include "core/SandBoxHelper.h"
#include "core/SuiteFolder.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "suite/contracts/IpcService.h"

namespace veyra {

namespace {

// Created once at start-up and never released: the suite's service lives as long as the process.
suite::IKavoIpcService* s_ipcService = nullptr;

constexpr wchar_t kUsersKeyName[] = L"KavoSandBox";
constexpr wchar_t kUsersKeyObjectName[] = L"USERS\\KavoSandBox";

LSTATUS CreateUsersRootKey(HKEY* key) noexcept
{
    return RegCreateKeyExW(HKEY_USERS, kUsersKeyName, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key, nullptr);
}

int GrantAdministrators(const std::wstring& objectName) noexcept
{
    try {
        return CSandBoxFileSystem::GrantAdministratorsAccess(objectName);
    } catch (...) {
        return 0;
    }
}

}  // namespace

int InitSuiteServices() noexcept
{
    wchar_t path[MAX_PATH];
    if (GetSuiteFilePath(path, MAX_PATH, L"Config\\newui\\themes\\default\\")) {
        SetCurrentDirectoryW(path);
    }
    if (!GetSuiteFilePath(path, MAX_PATH, L"vorrel.dll") || !LoadLibraryW(path)) {
        return 0;  // the skin library stays loaded for the life of the process
    }
    g_globalInfo.Init();
    CreateIpcService();
    EnableDebugPrivilege();
    CreateSandboxUsersKey();
    return 1;
}

int CreateIpcService() noexcept
{
    wchar_t path[MAX_PATH];
    if (!GetSuiteFilePath(path, MAX_PATH, L"ipc\\ipcservice.dll")) {
        return 0;
    }
    void* object = nullptr;
    if (FAILED(CreateInstanceFromDll(path, suite::CLSID_KavoIpcService, suite::IID_IKavoIpcService, &object)) || !object) {
        return 0;
    }
    s_ipcService = static_cast<suite::IKavoIpcService*>(object);
    return s_ipcService->Connect(0) >= 0 ? 1 : 0;
}

int EnableDebugPrivilege() noexcept
{
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) {
        return 0;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid)) {
        return 0;
    }
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr, nullptr);
    return 1;
}

int CreateSandboxUsersKey() noexcept
{
    return CreateSandboxUsersKey(&CreateUsersRootKey, &GrantAdministrators);
}

int CreateSandboxUsersKey(CreateKeyStep createKey, RepairAccessStep repairAccess) noexcept
{
    UniqueRegKey key;
    LSTATUS result = createKey(key.put());
    if (result == ERROR_ACCESS_DENIED) {
        repairAccess(kUsersKeyObjectName);
        result = createKey(key.put());
    }
    return result == ERROR_SUCCESS ? 1 : 0;
}

int BindSandboxEngine() noexcept
{
    return CSandBoxHelper::GetInstance().Init();
}

}  // namespace veyra
