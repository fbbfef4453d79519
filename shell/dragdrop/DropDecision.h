#pragma once
// What a drop target shows for a drag-over step: the drop description's image and texts, whether the step
// is a move, and the effect that goes back to OLE. Pure, so a table covers it without a drag.

#include <windows.h>

#include <string>

#include "shell/dragdrop/DropBlocks.h"

namespace veyra {

// The My Computer shell name: no file can be dropped there.
inline constexpr wchar_t kComputerTargetPath[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
inline constexpr wchar_t kCopyToText[] = L"复制到 %1";
inline constexpr wchar_t kMoveToText[] = L"移动到 %1";

struct DropStep {
    DropImage type = DropImage::Invalid;
    std::wstring message;
    std::wstring insert;
    bool move = false;        // the step yields a move, which the target performs itself
    DWORD reportedEffect = 0;  // what OLE is told: a move is reported as a copy, the only effect offered
};

// effect: what the drag-over callback decided; insert: the target's display name; noMove: the callback's
// "lands where it came from" answer. A drop on My Computer is refused (effect none).
[[nodiscard]] DropStep DecideDropStep(const std::wstring& targetPath, const std::wstring& insert, DWORD effect,
                                      bool noMove);

}  // namespace veyra
