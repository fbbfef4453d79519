#pragma once
// A file item that is not a program (kind 1): opening hands the document to the tray program.

#include "shell/iconview/NsIcon.h"

namespace veyra {

class NsIconNoPe final : public NsIcon {
public:
    using NsIcon::NsIcon;

    int CreateControl() override;
    int Open() override;
};

}  // namespace veyra
