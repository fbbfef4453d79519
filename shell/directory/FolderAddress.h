#pragma once
// What the folder window's address box shows for a folder, and what Go does with its text. Pure: the
// question whether a path is a folder of the sandbox view is the caller's, so a table covers every
// input without a window.

#include <functional>
#include <string>

namespace veyra {

// The text the address box shows for My Computer, both ways.
inline constexpr wchar_t kComputerAddressText[] = L"我的电脑";
// The longest path the sandbox view maps (MAX_PATH less its NUL); the box itself takes 500 characters.
inline constexpr std::size_t kMaxFolderPathLength = 259;

// The address box's text for the folder shown.
[[nodiscard]] std::wstring AddressTextFor(const std::wstring& folder);

enum class GoAction {
    Nothing,   // empty, or the folder shown: the box is left as it is
    Refuse,    // not a folder the window can show: no history entry, the box shows the folder again
    Navigate,  // `path` becomes the shown folder
};

struct GoDecision {
    GoAction action = GoAction::Nothing;
    std::wstring path;
    bool rewriteBox = false;  // a trailing backslash was dropped: the box gets `path`
};

// `isFolder` answers for a syntactically sound drive path ("C:" asked as "C:\").
[[nodiscard]] GoDecision DecideGo(std::wstring text, const std::wstring& current,
                                  const std::function<bool(const std::wstring&)>& isFolder);

}  // namespace veyra
