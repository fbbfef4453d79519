#pragma once
// The file names of a drop (the CF_HDROP block of a data object), read only within the block.

#include <objidl.h>

#include <cstddef>
#include <string>
#include <vector>

namespace veyra {

// Appends the whole names of a DROPFILES block of `size` bytes: they start at its pFiles offset, wide or
// ANSI as fWide says, each NUL-terminated, and end at an empty name. A name cut off by the block's end is
// left out. 1 when at least one name was appended, else 0.
int ReadDropFilesBlock(const void* block, std::size_t size, std::vector<std::wstring>& paths) noexcept;

// The data object's CF_HDROP block (global memory), read as above. 1 or 0.
int GetDroppedPaths(IDataObject* dataObject, std::vector<std::wstring>& paths) noexcept;

}  // namespace veyra
