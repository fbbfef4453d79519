#include "shell/taskbar/TaskbarPart.h"

#include <new>

#include "shell/desktop/DesktopParts.h"
#include "shell/taskbar/NsProcessTab.h"

namespace veyra {

namespace {

// The desktop window's face of the taskbar view.
class TaskbarPart final : public IDesktopTaskbar {
public:
    TaskbarPart(vorrelUI::Ivorrel_panel* site, HWND host, int ownerKey) : m_view(site, host, ownerKey)
    {
        static_cast<void>(m_view.Init());
    }
    void Refresh() override { static_cast<void>(m_view.Refresh()); }
    void OnLButtonDown(POINT point) override { static_cast<void>(m_view.OnLButtonDown(&point)); }
    void OnMouseMove(POINT point) override { static_cast<void>(m_view.OnMouseMove(0, &point)); }
    int BaseLButtonDown(POINT point) override { return m_view.BaseLButtonDown(&point); }
    void RestoreSelected() override { static_cast<void>(m_view.RestoreSelected()); }
    void CloseSelected() override { static_cast<void>(m_view.CloseSelected()); }

private:
    NsProcessTab m_view;
};

std::unique_ptr<IDesktopTaskbar> MakeTaskbar(vorrelUI::Ivorrel_panel* site, HWND host, int ownerKey)
{
    return std::unique_ptr<IDesktopTaskbar>(new (std::nothrow) TaskbarPart(site, host, ownerKey));
}

}  // namespace

void InstallTaskbar() noexcept
{
    DesktopParts().taskbar = &MakeTaskbar;
}

}  // namespace veyra
