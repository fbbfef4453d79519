#include "core/sandboxview/MarkWatch.h"

#include "core/sandboxview/MarkKeys.h"

namespace veyra::sandboxview {

namespace {

constexpr DWORD kTreeChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;

// Manual reset, made signalled: nothing is watched before the first Rearm().
HANDLE MakeSignalledEvent() noexcept
{
    return CreateEventW(nullptr, TRUE, TRUE, nullptr);
}

}  // namespace

MarkWatch::MarkWatch(std::wstring rootPath, std::wstring parentPath)
    : m_rootPath(std::move(rootPath)),
      m_parentPath(std::move(parentPath)),
      m_rootEvent(MakeSignalledEvent()),
      m_parentEvent(MakeSignalledEvent())
{
}

bool MarkWatch::Changed() const noexcept
{
    if (!m_rootEvent || !m_parentEvent) {
        return true;
    }
    const HANDLE events[] = {m_rootEvent.get(), m_parentEvent.get()};
    return WaitForMultipleObjects(2, events, FALSE, 0) != WAIT_TIMEOUT;
}

LSTATUS MarkWatch::Arm(UniqueRegKey& key, const std::wstring& path, BOOL subtree, DWORD filter,
                       HANDLE event) noexcept
{
    LSTATUS status = ERROR_KEY_DELETED;
    for (int attempt = 0; attempt < 2 && status == ERROR_KEY_DELETED; ++attempt) {
        if (!key) {
            status = RegOpenKeyExW(HKEY_USERS, path.empty() ? nullptr : path.c_str(), 0, KEY_NOTIFY, key.put());
            if (status != ERROR_SUCCESS) {
                return status;
            }
        }
        status = WatchKey(key.get(), subtree, filter, event);
        if (status == ERROR_KEY_DELETED) {
            key.reset();  // deleted, perhaps made again since: open it anew
        }
    }
    return status;
}

bool MarkWatch::Rearm() noexcept
{
    if (!m_rootEvent || !m_parentEvent) {
        return false;
    }
    ResetEvent(m_rootEvent.get());
    ResetEvent(m_parentEvent.get());
    // The parent first: a root that is missing now is then seen when it is made.
    const LSTATUS parent = Arm(m_parentKey, m_parentPath, FALSE, REG_NOTIFY_CHANGE_NAME, m_parentEvent.get());
    const LSTATUS root = parent == ERROR_SUCCESS
                             ? Arm(m_rootKey, m_rootPath, TRUE, kTreeChanges, m_rootEvent.get())
                             : parent;
    if (parent == ERROR_SUCCESS && (root == ERROR_SUCCESS || root == ERROR_FILE_NOT_FOUND)) {
        return true;
    }
    SetEvent(m_rootEvent.get());
    return false;
}

}  // namespace veyra::sandboxview
