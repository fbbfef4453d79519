#pragma once
// The task manager's list worked out without a window: the texts of a process's row, where the row's
// two cells and the header's two columns stand, and whether the end-process button may be pressed.

#include <windows.h>

#include <string>

#include "core/processwatch/ProcessListManager.h"

namespace veyra {

inline constexpr LONG kTaskRowHeight = 25;
inline constexpr LONG kTaskHeaderHeight = 28;
inline constexpr LONG kTaskRowNameWidth = 200;   // a row's name cell, from the row's left
inline constexpr LONG kTaskHeaderIdWidth = 200;  // the header's "PID" column, at the list's right end

struct TaskRowText {
    std::wstring name;  // the image's file name
    std::wstring id;    // the process id in decimal
};
[[nodiscard]] TaskRowText TaskRowTextOf(const ProcessEntry& process);

struct TaskRowCells {
    RECT row;
    RECT name;
    RECT id;
};
// The row over the list's width, 25 pixels high from the list's top (the list stacks its rows).
[[nodiscard]] TaskRowCells TaskRowCellsIn(const RECT& list) noexcept;

struct TaskHeaderColumns {
    RECT strip;  // the 28 pixels directly above the list
    RECT name;
    RECT id;
};
[[nodiscard]] TaskHeaderColumns TaskHeaderColumnsOver(const RECT& list) noexcept;

// "结束进程" stays disabled while nothing is listed.
[[nodiscard]] constexpr bool EndProcessEnabled(std::size_t rows) noexcept
{
    return rows > 0;
}

}  // namespace veyra
