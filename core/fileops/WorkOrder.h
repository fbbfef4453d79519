#pragma once
// The orders of the file operations' work lists. Both sorts are stable, so a folder item stays before
// the files that go into it (they share its target) and new folders are announced before their files.

#include "FileOperationContext.h"

namespace veyra {

// a's target comes before b's, in code-unit order (letter case counts).
[[nodiscard]] bool ByTarget(const FileOperationItem& a, const FileOperationItem& b) noexcept;
// a's source comes after b's: a folder's contents come before the folder itself.
[[nodiscard]] bool BySourceDescending(const FileOperationItem& a, const FileOperationItem& b) noexcept;

void SortByTarget(FileOperationItems& items);
void SortBySourceDescending(FileOperationItems& items);

}  // namespace veyra
