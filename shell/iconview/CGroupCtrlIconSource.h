#pragma once
// Where an icon control finds the icon of a file that has no picture of its own: an icon location text
// ("file,index") taken apart against the system folder, and the icon loaded from a file and index with
// the system's fallbacks. UI thread (the icon control's Draw).

#include <windows.h>

#include <string>

#include "base/UniqueResource.h"

namespace veyra {

// Splits an icon location at its first comma. A file part without a backslash is taken from
// `systemFolder` when one is given; it is lengthened and its environment variables are expanded, and
// when that file exists it is the file and the number after the comma the index. Otherwise the whole
// text is the file (index 0), or "" when it names a folder.
void ResolveIconLocation(const std::wstring& text, const wchar_t* systemFolder, std::wstring& file, int& index);

// The icon at `index` of `file` at `size` pixels: picture files by their extension, then the icons a
// module or icon file holds, then the shell's icon for the file's type, then shell32's generic one.
[[nodiscard]] UniqueIcon LoadIconFromSource(const std::wstring& file, int index, int size) noexcept;

}  // namespace veyra
