#include "core/shellutil/ShellPlatform.h"

#include "core/GlobalInfo.h"

namespace veyra {

ShellPlatform CurrentShellPlatform() noexcept
{
    ShellPlatform platform;
    platform.vistaOrLater = g_globalInfo.IsVistaOrLater();
    platform.win8OrLater = g_globalInfo.IsWin8OrLater();
    platform.sysnativeNeeded = g_globalInfo.Is64BitSystem() && sizeof(void*) == 4;
    return platform;
}

}  // namespace veyra
