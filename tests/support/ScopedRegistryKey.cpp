#include "tests/support/ScopedRegistryKey.h"

#include "base/UniqueResource.h"

namespace veyra::test {

ScopedRegistryKey::ScopedRegistryKey(HKEY root, std::wstring subKey) : m_root(root), m_subKey(std::move(subKey))
{
    UniqueRegKey key;
    m_existed = RegOpenKeyExW(m_root, m_subKey.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

ScopedRegistryKey::~ScopedRegistryKey()
{
    if (!m_existed) {
        RegDeleteTreeW(m_root, m_subKey.c_str());
    }
}

bool ScopedRegistryKey::SetRaw(const std::wstring& relativeKey, const std::wstring& valueName, DWORD type,
                               const void* data, DWORD size)
{
    const std::wstring path = relativeKey.empty() ? m_subKey : m_subKey + L"\\" + relativeKey;
    UniqueRegKey key;
    if (RegCreateKeyExW(m_root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    return RegSetValueExW(key.get(), valueName.empty() ? nullptr : valueName.c_str(), 0, type,
                          static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool ScopedRegistryKey::SetString(const std::wstring& relativeKey, const std::wstring& valueName, const std::wstring& text)
{
    return SetRaw(relativeKey, valueName, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool ScopedRegistryKey::SetDword(const std::wstring& relativeKey, const std::wstring& valueName, DWORD value)
{
    return SetRaw(relativeKey, valueName, REG_DWORD, &value, sizeof(value));
}

}  // namespace veyra::test
