#pragma once
// Watches inside one cached folder's mark key, so that a folder whose marks changed is brought up to
// date without reading all its sub-keys again: one watch on the folder key's sub-key names (marks made
// or removed) and one on each sub-key's values (a mark set or cleared). After a change the cache looks
// at the events and reads again only the keys whose watch fired.
//
// Owned by the cache entries that share them (shared_ptr); one caller at a time brings a folder up to
// date (the folder's check lock, taken without waiting: a caller that finds it taken reads the folder
// itself).

#include <windows.h>

#include <cstdint>
#include <memory>

#include "base/UniqueResource.h"
#include "core/sandboxview/MarkKeys.h"

namespace veyra::sandboxview {

struct FolderMarks;

// Keys watched by the whole process, each a key handle and an event; folders beyond it are checked by
// reading their sub-keys.
constexpr long kMaxWatchedKeys = 4096;

struct KeyWatch {
    KeyWatch(UniqueRegKey watchedKey, UniqueHandle changeEvent) noexcept;
    ~KeyWatch();
    KeyWatch(const KeyWatch&) = delete;
    KeyWatch& operator=(const KeyWatch&) = delete;

    UniqueRegKey key;
    UniqueHandle event;                       // manual reset; signalled by the first change after arming
    MarkState state = MarkState::Unreadable;  // read after the watch was armed; under the folder's lock
};

struct FolderWatch {
    explicit FolderWatch(std::unique_ptr<KeyWatch> names) noexcept : names(std::move(names)) {}

    std::unique_ptr<KeyWatch> names;  // the folder key's sub-key names
    SRWLOCK checkLock = SRWLOCK_INIT;
};

// Reads the sub-keys of the open folder key `folder` (`count` of them), arming each watch before the
// value it guards is read. nullptr when the watches cannot all be made (too many kept already, or a
// registry failure, or no sub-keys at all): the caller reads without them.
std::shared_ptr<FolderMarks> ReadWatchedFolder(HKEY folder, DWORD count, std::uint64_t epoch);

enum class CheckResult { Current, Changed, Busy };

// Brings a watched entry up to `epoch`: reads again the values whose watch fired. Changed when sub-keys
// were made or removed (or a watch failed): the folder must be read again. Busy when another caller is
// bringing it up to date.
CheckResult CheckWatchedFolder(const FolderMarks& prior, std::uint64_t epoch, std::shared_ptr<FolderMarks>& fresh);

}  // namespace veyra::sandboxview
