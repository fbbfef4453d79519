#pragma once
// The four lines of a folder window's status bar and which icon it shows, from the selection. Pure:
// the view gathers the selected item's texts under its items lock and applies the result.

#include <array>
#include <string>

namespace veyra {

// The one selected item, as the status bar reads it.
struct StatusItem {
    bool isDrive = false;
    std::wstring caption;
    // Drives: whether the drive-space texts could be read, and the two texts.
    bool spaceRead = false;
    std::wstring freeText;
    std::wstring totalText;
    // Other items: the details kept since the item was hovered (empty before).
    std::wstring typeText;
    std::wstring sizeText;
    std::wstring dateText;
};

enum class StatusIcon { Folder, SelectedItem, Unchanged };

struct StatusTexts {
    std::array<std::wstring, 4> lines;
    StatusIcon icon = StatusIcon::Folder;
};

// `selected` is used only when `selectedCount` is 1.
[[nodiscard]] StatusTexts FolderStatusTexts(int itemCount, int selectedCount, const StatusItem& selected);

// Label 1 after a fill: the number of items.
[[nodiscard]] std::wstring ObjectCountText(int itemCount);

}  // namespace veyra
