#pragma once
// Emptying the default sandbox: its copy of every fixed drive (\KavoSANDBOX\SHADOW) and its deletion
// marks (the sub-keys of HKEY_USERS\KavoSandBox; the root key stays, with its access rights).

#include <string>

namespace veyra::suite {

extern const wchar_t kDeletionMarksRoot[];  // "KavoSandBox", under HKEY_USERS

// Removes a folder tree. Links inside it (junctions, symbolic links) are removed themselves, never
// followed, so nothing outside the tree is touched. True when nothing of it is left.
bool RemoveFolderTree(const std::wstring& folder) noexcept;

// Removes every sub-key of HKEY_USERS\KavoSandBox; true when none is left (also when the root is absent).
bool RemoveDeletionMarks() noexcept;

// Both of the above for every fixed drive; true when all of it is gone.
bool EmptySandbox() noexcept;

}  // namespace veyra::suite
