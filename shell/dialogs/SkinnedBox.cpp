#include "shell/dialogs/SkinnedBox.h"

#include <string>

#include "shell/skin/SkinBinding.h"

namespace veyra::dialogs {

using namespace vorrelUI;

namespace {
constexpr DWORD kExtraStyleBits = 0xC000;  // the boxes' extra bits without the UI optimisation
}

void HideControl(Ivorrel_control* control) noexcept
{
    if (control) {
        control->ModifyStyle(0, kStyleVisible);
    }
}

void ShowControl(Ivorrel_control* control) noexcept
{
    if (control) {
        control->ModifyStyle(kStyleVisible, 0);
    }
}

DWORD BoxStyle() noexcept
{
    return UiOptimisationFlag ? 0 : kExtraStyleBits;
}

}  // namespace veyra::dialogs
