#include "shell/dragdrop/DropDecision.h"

#include <oleidl.h>

namespace veyra {

DropStep DecideDropStep(const std::wstring& targetPath, const std::wstring& insert, DWORD effect, bool noMove)
{
    DropStep step;
    if (targetPath == kComputerTargetPath) {
        // A copy into the shell name cannot succeed: refuse instead of starting an operation that fails.
        step.type = DropImage::None;
        return step;
    }
    if (effect & DROPEFFECT_COPY) {
        if (!insert.empty()) {
            step.type = DropImage::Copy;
            step.message = kCopyToText;
            step.insert = insert;
        }
    } else if (effect & DROPEFFECT_MOVE) {
        step.move = true;
        if (!insert.empty() && !noMove) {
            step.type = DropImage::Move;
            step.message = kMoveToText;
            step.insert = insert;
        }
    }
    step.reportedEffect = (effect & DROPEFFECT_MOVE) ? ((effect & ~DROPEFFECT_MOVE) | DROPEFFECT_COPY) : effect;
    return step;
}

}  // namespace veyra
