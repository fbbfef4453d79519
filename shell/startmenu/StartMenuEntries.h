#pragma once
// The start menu's rows worked out without a window: their order, what kind of row an entry makes,
// its caption, where its icon and caption stand, and which entries of an expanded folder are shown.

#include <windows.h>

#include <string>
#include <vector>

#include "core/sandboxview/FileItemRecord.h"

namespace veyra {

inline constexpr LONG kStartRowHeight = 28;
inline constexpr int kStartChildIndent = 19;  // a child row's indent over its folder row's

enum class StartRowKind { Folder, WebLink, File };

// Programs, then other files, then folders; within a kind by file name in code-unit order.
void SortStartMenuEntries(std::vector<FileItemRecord>& entries);

// `target`: the entry's path, or a shortcut's resolved target.
[[nodiscard]] StartRowKind StartRowKindOf(const FileItemRecord& entry, const std::wstring& target) noexcept;

// The file name without a shortcut's ".lnk", and a web link's ".url" after that.
[[nodiscard]] std::wstring StartRowCaption(const FileItemRecord& entry, StartRowKind kind);

// Entries of an expanded folder with the extension ".DIR" (any case) are left out.
[[nodiscard]] bool IsHiddenChildEntry(const FileItemRecord& entry) noexcept;

struct StartRowPlaces {
    RECT icon;     // 16 by 16
    RECT caption;
};
[[nodiscard]] StartRowPlaces StartRowPlacesIn(const RECT& row, int indent) noexcept;

}  // namespace veyra
