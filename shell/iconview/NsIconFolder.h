#pragma once
// A folder item (kind 0): opening only resolves it; the view shows the folder.

#include "shell/iconview/NsIcon.h"

namespace veyra {

class NsIconFolder final : public NsIcon {
public:
    using NsIcon::NsIcon;

    int CreateControl() override;
    int Open() override;
};

}  // namespace veyra
