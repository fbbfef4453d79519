#pragma once
// Text rules shared by the view's files: which paths the view accepts, the sandbox folder names, and the
// ordinal comparisons (the file system's and the registry's case rule).

#include <windows.h>

#include <string>
#include <string_view>

namespace veyra::sandboxview {

constexpr std::size_t kMaxViewPath = MAX_PATH - 1;  // characters, the terminator of a 260-character buffer aside
constexpr wchar_t kSandboxRootName[] = L"\\KavoSANDBOX";

// "\KavoSANDBOX\SHADOW" for sandbox 0, "\KavoSANDBOX\%08d" for others.
std::wstring SandboxFolderOf(int sandboxId);

// A view path the mapping can take: "X:" or "X:\..." with X a letter, at most kMaxViewPath characters,
// no '/', no "." or ".." component, no NUL. UNC, device ("\\?\") and drive-relative ("C:x") paths fail.
bool IsMappablePath(std::wstring_view path) noexcept;

// True when `path` is its drive's two characters followed by `folder` ("\\KavoSANDBOX"), or lies inside
// that folder (with `orInside`); letter case ignored, whole components only.
bool IsDriveFolder(std::wstring_view path, std::wstring_view folder, bool orInside) noexcept;
// The ".lnk" / ".exe" suffix tests of the listings, for ASCII suffixes (what ordinal case folding gives).
bool EndsWithAsciiNoCase(std::wstring_view text, std::wstring_view lowerSuffix) noexcept;
// A file name that the listings resolve as a shortcut: ".lnk" after at least one character.
bool IsShortcutName(std::wstring_view name) noexcept;

bool EqualsNoCase(std::wstring_view left, std::wstring_view right) noexcept;
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) noexcept;
bool EndsWithNoCase(std::wstring_view text, std::wstring_view suffix) noexcept;

// The text after the last backslash (all of it when there is none).
std::wstring_view LastComponent(std::wstring_view path) noexcept;
// folder + "\" + name, without doubling a trailing backslash.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

}  // namespace veyra::sandboxview
