#include "core/FileVersion.h"

#include <cstring>

namespace veyra {

bool ReadFixedFileVersion(const wchar_t* path, DWORD size, VS_FIXEDFILEINFO* fixed) noexcept
{
    BYTE block[kVersionBlockCapacity];
    if (!path || !fixed || size == 0 || size >= kVersionBlockCapacity ||
        !GetFileVersionInfoW(path, 0, size, block)) {
        return false;
    }
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block, L"\\", &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    std::memcpy(fixed, value, sizeof(VS_FIXEDFILEINFO));
    return true;
}

int ReadFileVersionNumber(const wchar_t* path, ULONGLONG* version) noexcept
{
    if (!path || !version) {
        return 0;
    }
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    VS_FIXEDFILEINFO fixed{};
    if (!ReadFixedFileVersion(path, size, &fixed)) {
        return 0;
    }
    *version = (static_cast<ULONGLONG>(fixed.dwFileVersionMS) << 32) | fixed.dwFileVersionLS;
    return 1;
}

}  // namespace veyra
