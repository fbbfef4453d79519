#pragma once
// A program item (kind 2): opening launches it inside the sandbox through the tray program.

#include "shell/iconview/NsIcon.h"

namespace veyra {

class NsIconApp final : public NsIcon {
public:
    using NsIcon::NsIcon;

    int CreateControl() override;
    int Open() override;
};

}  // namespace veyra
