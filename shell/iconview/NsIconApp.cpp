#include "shell/iconview/NsIconApp.h"

#include "core/Launcher.h"
#include "core/sandboxview/SandBoxResult.h"

namespace veyra {

int NsIconApp::CreateControl()
{
    return BuildControl(m_record.path, m_itemRect, m_record.sandboxId);
}

int NsIconApp::Open()
{
    std::wstring target;
    const int status = ResolveTarget(target);
    if (status == SBFS_EXISTS) {
        static_cast<void>(g_launcher.LaunchViaTray(target.c_str()));
    }
    return status;
}

}  // namespace veyra
