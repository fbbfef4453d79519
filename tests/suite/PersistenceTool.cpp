// veyra_mark_persistence <set|check>: the two halves of the test that deletion marks survive a restart
// of the registry service (wineserver -k). "set" binds the engine, sets one mark and waits until the
// engine's store holds it; "check" proves the mark is gone from the fresh registry, binds the engine and
// expects the mark back. Exit code 0 on success; the reason for a failure on stderr.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "base/UniqueResource.h"
#include "core/SandBoxHelper.h"

namespace {

constexpr wchar_t kMark[] = L"KavoSandBox\\Device\\VeyraPersistence\\Users\\kept.txt";

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

int Fail(const char* reason)
{
    std::fprintf(stderr, "%s\n", reason);
    return 1;
}

DWORD MarkInformation()
{
    DWORD value = 0, size = sizeof(value);
    return RegGetValueW(HKEY_USERS, kMark, L"Information", RRF_RT_REG_BINARY, nullptr, &value, &size) == ERROR_SUCCESS
               ? value
               : 0;
}

bool StoreMentionsMark(const std::wstring& store)
{
    veyra::UniqueFileHandle file(
        CreateFileW(store.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    std::wstring content(64 * 1024, L'\0');
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size() * 2), &read, nullptr)) {
        return false;
    }
    content.resize(read / 2);
    return content.find(L"kept.txt") != std::wstring::npos;
}

// The engine, bound, watches the marks: setting one must reach its store on its own.
int Set(const std::wstring& store)
{
    veyra::UniqueRegKey key;
    const DWORD information = 1;
    if (RegCreateKeyExW(HKEY_USERS, kMark, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS ||
        RegSetValueExW(key.get(), L"Information", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&information),
                       sizeof(information)) != ERROR_SUCCESS) {
        return Fail("the mark could not be set");
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!StoreMentionsMark(store)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return Fail("the engine did not save the mark");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        return Fail("usage: veyra_mark_persistence set|check");
    }
    const std::wstring command = argv[1];
    wchar_t folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"PELLOX_STATE_FOLDER", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return Fail("PELLOX_STATE_FOLDER is not set");
    }
    const std::wstring store = std::wstring(folder, length) + L"\\DeletionMarks.dat";
    if (command == L"check" && MarkInformation() != 0) {
        return Fail("the mark outlived the registry service: the restart did not happen");
    }
    veyra::CSandBoxHelper engine;
    if (!engine.Bind((ProgramFolder() + L"\\pellox.dll").c_str())) {
        return Fail("the engine did not bind");
    }
    if (command == L"set") {
        return Set(store);
    }
    if (command != L"check") {
        return Fail("unknown command");
    }
    if (MarkInformation() != 1) {
        return Fail("the mark did not come back after the restart");
    }
    RegDeleteTreeW(HKEY_USERS, L"KavoSandBox\\Device\\VeyraPersistence");
    return 0;
}
