#pragma once
// Private messages the install engine sends to the installer's main dialog.

#include <windows.h>

constexpr UINT WM_INSTALLER_SHOW_HINT = WM_USER + 100;  // open the self-protection hint, modally
constexpr UINT WM_INSTALLER_REFRESH = WM_USER + 101;    // run the state check again
