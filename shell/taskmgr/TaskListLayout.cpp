#include "shell/taskmgr/TaskListLayout.h"

#include <shlwapi.h>

namespace veyra {

TaskRowText TaskRowTextOf(const ProcessEntry& process)
{
    wchar_t image[kSbRuleImagePathChars + 1] = {};
    lstrcpynW(image, process.record.imagePath, kSbRuleImagePathChars);  // bounded whatever the engine wrote
    return TaskRowText{PathFindFileNameW(image), std::to_wstring(process.record.processId)};
}

TaskRowCells TaskRowCellsIn(const RECT& list) noexcept
{
    const RECT row{list.left, list.top, list.right, list.top + kTaskRowHeight};
    const LONG split = row.left + kTaskRowNameWidth;
    return TaskRowCells{row, RECT{row.left, row.top, split, row.bottom}, RECT{split, row.top, row.right, row.bottom}};
}

TaskHeaderColumns TaskHeaderColumnsOver(const RECT& list) noexcept
{
    const RECT strip{list.left, list.top - kTaskHeaderHeight, list.right, list.top};
    const LONG split = list.right - kTaskHeaderIdWidth;
    return TaskHeaderColumns{strip, RECT{strip.left, strip.top, split, strip.bottom},
                             RECT{split, strip.top, strip.right, strip.bottom}};
}

}  // namespace veyra
