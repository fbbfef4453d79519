#pragma once
// The registry side of deletion marks, shared by the mark operations and the mark cache: the per-sandbox
// root key, opening a mark key with the one access repair, and reading a key's "Information" value.

#include <windows.h>

#include <string>

#include "base/UniqueResource.h"

namespace veyra::sandboxview {

// "KavoSandBox" for sandbox 0, "KavoSandBox\%08d" for others (relative to HKEY_USERS).
std::wstring MarkRootKey(int sandboxId);

// Opens (or creates) a key below HKEY_USERS; access denied is repaired once and tried again.
LSTATUS OpenMarkKey(const std::wstring& keyPath, REGSAM access, bool create, UniqueRegKey& key);

// Arms a one-shot, asynchronous change notification on `key` that outlives the arming thread.
LSTATUS WatchKey(HKEY key, BOOL subtree, DWORD filter, HANDLE event) noexcept;

enum class MarkState { Marked, Unmarked, Unreadable };

// The mark of `key` (or of its sub-key `subKey`): "Information", REG_BINARY, 4 bytes, bit 0 set. A key or
// value that is not there, or a value of another form, is no mark; any other failure is Unreadable.
MarkState ReadMark(HKEY key, const wchar_t* subKey);

// Keys last written before this time can change their mark only with a new last write time. A key
// written more recently may be written again with the same stamp (the registry's clock can be as coarse
// as a timer tick, 15.6 ms), so its value is read again at the next check.
ULONGLONG SettledBefore() noexcept;
[[nodiscard]] bool IsSettled(const FILETIME& lastWrite, ULONGLONG settledBefore) noexcept;

// Upper case as the registry compares names.
std::wstring UpperCase(std::wstring text);

}  // namespace veyra::sandboxview
