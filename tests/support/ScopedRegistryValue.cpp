#include "ScopedRegistryValue.h"

#include "base/UniqueResource.h"

namespace veyra::test {

ScopedRegistryValue::ScopedRegistryValue(HKEY root, std::wstring subKey, std::wstring valueName, REGSAM view)
    : m_root(root), m_subKey(std::move(subKey)), m_valueName(std::move(valueName)), m_view(view)
{
    UniqueRegKey key;
    if (RegOpenKeyExW(m_root, m_subKey.c_str(), 0, KEY_QUERY_VALUE | m_view, key.put()) != ERROR_SUCCESS) {
        return;
    }
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), m_valueName.c_str(), nullptr, &m_type, nullptr, &size) != ERROR_SUCCESS) {
        return;
    }
    m_data.resize(size);
    if (RegQueryValueExW(key.get(), m_valueName.c_str(), nullptr, &m_type, m_data.data(), &size) == ERROR_SUCCESS) {
        m_data.resize(size);
        m_existed = true;
    }
}

ScopedRegistryValue::~ScopedRegistryValue()
{
    if (!m_restore) {
        return;
    }
    if (m_existed) {
        SetRaw(m_type, m_data.data(), static_cast<DWORD>(m_data.size()));
    } else {
        Delete();
    }
}

bool ScopedRegistryValue::SetRaw(DWORD type, const void* data, DWORD size)
{
    UniqueRegKey key;
    if (RegCreateKeyExW(m_root, m_subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE | m_view, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return RegSetValueExW(key.get(), m_valueName.c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

bool ScopedRegistryValue::SetString(const std::wstring& text)
{
    return SetRaw(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool ScopedRegistryValue::SetDword(DWORD value)
{
    return SetRaw(REG_DWORD, &value, sizeof(value));
}

bool ScopedRegistryValue::Delete()
{
    UniqueRegKey key;
    if (RegOpenKeyExW(m_root, m_subKey.c_str(), 0, KEY_SET_VALUE | m_view, key.put()) != ERROR_SUCCESS) {
        return true;
    }
    const LSTATUS status = RegDeleteValueW(key.get(), m_valueName.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace veyra::test
