#include "shell/iconview/NsIconNoPe.h"

#include "core/Launcher.h"
#include "core/sandboxview/SandBoxResult.h"

namespace veyra {

int NsIconNoPe::CreateControl()
{
    return BuildControl(m_record.path, m_itemRect, m_record.sandboxId);
}

int NsIconNoPe::Open()
{
    std::wstring target;
    const int status = ResolveTarget(target);
    if (status == SBFS_EXISTS) {
        static_cast<void>(g_launcher.OpenFile(target.c_str()));
    }
    return status;
}

}  // namespace veyra
