#include "shell/iconview/NsIconFolder.h"

namespace veyra {

int NsIconFolder::CreateControl()
{
    return BuildControl(m_record.path, m_itemRect, m_record.sandboxId);
}

int NsIconFolder::Open()
{
    std::wstring target;
    return ResolveTarget(target);
}

}  // namespace veyra
