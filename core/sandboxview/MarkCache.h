#pragma once
// The process-wide cache of deletion marks, per folder key: which direct sub-keys of a folder's mark key
// carry a mark, as last read. A change notification on each sandbox's mark tree (MarkWatch) and every
// mark written by this process make the entries read before it be checked again before use, so a folder
// whose marks did not change costs one wait call. The check of a folder read more than once looks at
// the watches on its keys (MarkKeyWatches) and reads again only the marks whose watch fired; any other
// folder is checked by enumerating its sub-keys once, reading again only the values of keys whose last
// write time moved (or that were written too recently for their time to tell).
//
// Used side by side by the UI thread, the listing threads and the operation workers: entries are
// immutable and shared; a slim reader/writer lock guards the table only while an entry is looked up or
// put in. Registry reads run outside the lock, so no caller waits for another's listing.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/sandboxview/MarkKeyWatches.h"
#include "core/sandboxview/MarkKeys.h"
#include "core/sandboxview/MarkWatch.h"

namespace veyra::sandboxview {

struct MarkedChild {
    std::wstring name;       // as the registry reports it
    std::wstring upperName;  // for the registry's case-blind match
    FILETIME lastWrite{};
    MarkState state = MarkState::Unreadable;
    bool settled = false;  // the state may be taken over unread while lastWrite stays the same
    std::shared_ptr<KeyWatch> watch{};  // in a watched folder: the watch on this key's values

    [[nodiscard]] bool Marked() const noexcept { return state == MarkState::Marked; }
};

struct FolderMarks {
    std::uint64_t epoch = 0;          // of the cache when the read began; 0 = incomplete, never current
    std::vector<MarkedChild> children;  // every direct sub-key, by upperName
    std::shared_ptr<FolderWatch> watch;  // null: the folder is checked by reading its sub-keys
    mutable std::atomic<std::uint64_t> lastUse{0};

    [[nodiscard]] const MarkedChild* Find(std::wstring_view upperName) const noexcept;
    void SortChildren();
};

class MarkCache {
public:
    MarkCache() noexcept;
    MarkCache(const MarkCache&) = delete;
    MarkCache& operator=(const MarkCache&) = delete;

    static MarkCache& Instance();

    // The marks below `folderKeyPath` (relative to HKEY_USERS, inside the sandbox's mark root), current
    // as of this call; an empty set when the key is not there; nullptr on a registry failure.
    std::shared_ptr<const FolderMarks> Marks(int sandboxId, const std::wstring& folderKeyPath);

    // From a current entry only: 1 when the child key carries a mark, 0 when it does not, -1 when no
    // current entry can tell (the caller reads the registry).
    int KnownMark(int sandboxId, const std::wstring& folderKeyPath, const std::wstring& childName);

    // This process has written the mark key `keyPath` of the sandbox (or tried to): what was read before
    // is checked before use, and that key read again.
    void MarksWritten(int sandboxId, const std::wstring& keyPath) noexcept;

private:
    struct Domain;

    Domain& DomainOf(int sandboxId);
    static std::uint64_t CurrentEpoch(Domain& domain) noexcept;
    static void Store(Domain& domain, std::wstring upperPath, std::shared_ptr<const FolderMarks> marks);

    SRWLOCK m_lock = SRWLOCK_INIT;  // guards m_domains
    std::map<int, std::unique_ptr<Domain>> m_domains;
};

}  // namespace veyra::sandboxview
