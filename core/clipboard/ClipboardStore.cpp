#include "core/clipboard/ClipboardStore.h"

#include <new>

namespace veyra {

CClipboardStore g_clipboardStore;

int CClipboardStore::Contains(ClipboardOwnerKey key) const noexcept
{
    return m_entries.contains(key) ? 1 : 0;
}

void CClipboardStore::Remove(ClipboardOwnerKey key) noexcept
{
    m_entries.erase(key);
}

int CClipboardStore::Set(ClipboardOwnerKey key, int operation, const std::vector<std::wstring>& paths) noexcept
{
    if (paths.empty()) {
        return 0;
    }
    try {
        ClipboardEntry entry{operation, paths};
        m_entries.insert_or_assign(key, std::move(entry));
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int CClipboardStore::Get(ClipboardOwnerKey key, int& operation, std::vector<std::wstring>& paths) const noexcept
{
    const auto found = m_entries.find(key);
    if (found == m_entries.end()) {
        return 0;
    }
    try {
        paths = found->second.paths;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    operation = found->second.operation;
    return 1;
}

}  // namespace veyra
