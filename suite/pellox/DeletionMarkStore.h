#pragma once
// Keeps the deletion marks (HKEY_USERS\KavoSandBox and everything below it) across restarts. Keys
// directly under HKEY_USERS live only as long as the registry service (on Wine: the wineserver), while
// a sandbox must keep what the user deleted in it. The engine therefore saves the subtree to a file of
// its own whenever it changes and puts it back when it is registered and finds the subtree empty.
//
// The file: "KSBM", format version 1, a record count, then records: a key (kind 1, its path below the
// root) or a value (kind 2, its key's path, name, type and data); lengths in characters or bytes, all
// 32-bit little-endian. A file that is malformed anywhere is not applied at all.

#include <string>

namespace veyra::suite {

// The store's file: %PELLOX_STATE_FOLDER% when set (tests), else the common application-data folder's
// KavoSafe\SandBox; the name is DeletionMarks.dat.
std::wstring DeletionMarkStorePath() noexcept;

// Writes the subtree to the store (through a temporary file, so a crash never leaves half a file).
bool SaveDeletionMarks() noexcept;

// Puts the stored subtree back when the root holds no sub-key; true when the registry now matches the
// store (or there was nothing to put back). A malformed store changes nothing and gives false.
bool RestoreDeletionMarks() noexcept;

// Starts, once per process, the thread that saves the subtree after every change below the root.
bool StartDeletionMarkWatcher() noexcept;

}  // namespace veyra::suite
