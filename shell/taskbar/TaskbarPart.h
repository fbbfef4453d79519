#pragma once
// Installs the taskbar view as the desktop window's taskbar part (DesktopParts().taskbar). Start-up only.

namespace veyra {

void InstallTaskbar() noexcept;

}  // namespace veyra
