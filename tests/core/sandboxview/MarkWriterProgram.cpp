// veyra_test_mark_writer: writes one deletion mark as another process would (the engine, a second
// desktop): "veyra_test_mark_writer <key path below HKEY_USERS> <value>" sets the key's "Information"
// to the 4-byte REG_BINARY value. Exit code 0 when written, 1 on bad arguments, 2 when the write failed.

#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        return 1;
    }
    const DWORD value = static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10));
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_USERS, argv[1], 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return 2;
    }
    const LSTATUS written =
        RegSetValueExW(key, L"Information", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
    return written == ERROR_SUCCESS ? 0 : 2;
}
