#include "shell/directory/FolderStatus.h"

namespace veyra {

std::wstring ObjectCountText(int itemCount)
{
    return std::to_wstring(itemCount) + L"个对象";
}

StatusTexts FolderStatusTexts(int itemCount, int selectedCount, const StatusItem& selected)
{
    StatusTexts texts;
    if (selectedCount == 0) {
        texts.lines[0] = ObjectCountText(itemCount);
        return texts;
    }
    if (selectedCount >= 2) {
        texts.lines[0] = L"已选择 " + std::to_wstring(selectedCount) + L" 个项";
        texts.icon = StatusIcon::Unchanged;
        return texts;
    }
    texts.icon = StatusIcon::SelectedItem;
    texts.lines[0] = selected.caption;
    if (selected.isDrive) {
        if (selected.spaceRead) {
            texts.lines[2] = L"可用空间：" + selected.freeText;
            texts.lines[3] = L"总大小：" + selected.totalText;
        }
        return texts;
    }
    texts.lines[1] = selected.typeText;
    texts.lines[2] = L"大小：" + selected.sizeText;
    texts.lines[3] = L"修改日期：" + selected.dateText;
    return texts;
}

}  // namespace veyra
