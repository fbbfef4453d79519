// The desktop program Veyra.exe.
#include <windows.h>

#include "core/startup/Startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    return veyra::RunDesktopProgram(instance, showCommand);
}
