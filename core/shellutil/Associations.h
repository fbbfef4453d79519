#pragma once
// The program a file extension is associated with and that program's default icon, read from the
// user's choice, the user's classes and the system's classes, in the order the shell itself uses.

#include <string>

#include "core/shellutil/ShellPlatform.h"

namespace veyra {

// The program id of `extension` (".txt"): 1 when one is found, else 0 and an empty id.
int GetProgIdForExtension(const wchar_t* extension, std::wstring& progId,
                          const ShellPlatform& platform = CurrentShellPlatform()) noexcept;

// The DefaultIcon location of `progId` ("path,index"), environment variables expanded: 1 when not empty.
int GetDefaultIconForProgId(const wchar_t* progId, std::wstring& iconLocation) noexcept;

}  // namespace veyra
