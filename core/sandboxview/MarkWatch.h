#pragma once
// Watches one sandbox's mark root key for changes by any process: the whole tree below the root (key
// names and values) and, on the root's parent, the names of its sub-keys, which is how the root's own
// deletion and re-creation show (a deleted key's watch does not fire when it had no sub-keys).
//
// Owned by the mark cache, one per sandbox number. Changed() may be called from any thread at any time;
// Rearm() only by one thread at a time (the cache's lock held exclusively).

#include <windows.h>

#include <string>

#include "base/UniqueResource.h"

namespace veyra::sandboxview {

class MarkWatch {
public:
    // Paths below HKEY_USERS; an empty parent path is HKEY_USERS itself.
    MarkWatch(std::wstring rootPath, std::wstring parentPath);
    MarkWatch(const MarkWatch&) = delete;
    MarkWatch& operator=(const MarkWatch&) = delete;

    // True when the tree may have changed since the last Rearm(), and before the first one.
    [[nodiscard]] bool Changed() const noexcept;

    // Clears the signal and watches again, opening keys that were deleted and made again. False when the
    // tree cannot be watched; Changed() then stays true, so nothing read from the tree is trusted.
    bool Rearm() noexcept;

private:
    LSTATUS Arm(UniqueRegKey& key, const std::wstring& path, BOOL subtree, DWORD filter, HANDLE event) noexcept;

    const std::wstring m_rootPath;
    const std::wstring m_parentPath;
    UniqueRegKey m_rootKey;
    UniqueRegKey m_parentKey;
    UniqueHandle m_rootEvent;
    UniqueHandle m_parentEvent;
};

}  // namespace veyra::sandboxview
