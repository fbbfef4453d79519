// Reads a file through this module's own import of CreateFileW, for the interception tests.
#include <windows.h>

extern "C" DWORD WINAPI ProbeReadFile(const wchar_t* path, char* buffer, DWORD size)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    DWORD read = 0;
    if (!ReadFile(file, buffer, size, &read, nullptr)) {
        read = 0;
    }
    CloseHandle(file);
    return read;
}
