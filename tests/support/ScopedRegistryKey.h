#pragma once
// A registry key that a test creates and fills: removed with everything below it when the scope ends,
// unless it existed before (then only what the test wrote through it stays the test's business).

#include <windows.h>

#include <string>

namespace veyra::test {

class ScopedRegistryKey {
public:
    ScopedRegistryKey(HKEY root, std::wstring subKey);
    ~ScopedRegistryKey();
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

    // Writes a string value into the key or into a key below it (created as needed); "" is the default value.
    bool SetString(const std::wstring& relativeKey, const std::wstring& valueName, const std::wstring& text);
    bool SetDword(const std::wstring& relativeKey, const std::wstring& valueName, DWORD value);

private:
    bool SetRaw(const std::wstring& relativeKey, const std::wstring& valueName, DWORD type, const void* data, DWORD size);

    HKEY m_root;
    std::wstring m_subKey;
    bool m_existed = false;
};

}  // namespace veyra::test
