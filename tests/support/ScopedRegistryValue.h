#pragma once
// Remembers one registry value (or that it was absent) and puts it back when the scope ends, so a test
// can change shared settings without leaving them changed.

#include <windows.h>

#include <string>
#include <vector>

namespace veyra::test {

class ScopedRegistryValue {
public:
    // `view` is KEY_WOW64_32KEY or KEY_WOW64_64KEY (or 0 for the caller's own view).
    ScopedRegistryValue(HKEY root, std::wstring subKey, std::wstring valueName, REGSAM view = 0);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

    bool SetString(const std::wstring& text);
    bool SetDword(DWORD value);
    bool SetRaw(DWORD type, const void* data, DWORD size);
    bool Delete();
    // Leaves the value as it is now when the scope ends.
    void Keep() noexcept { m_restore = false; }

private:
    HKEY m_root;
    std::wstring m_subKey;
    std::wstring m_valueName;
    REGSAM m_view;
    bool m_restore = true;
    bool m_existed = false;
    DWORD m_type = 0;
    std::vector<BYTE> m_data;
};

}  // namespace veyra::test
