#pragma once
// The main desktop window, one per desktop, of class "KavoSandBoxClass": the skinned desktop layout
// (title strip, desktop panel, taskbar strip with the start and network buttons), the host of every
// secondary window of its desktop and the hub of the window protocol. Start-up creates one with owner
// key 0 on the UI thread; closing it ends the process. Its views and secondary windows come from the
// components that build them (DesktopParts); each is used only once it exists.

#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "base/ComPtr.h"
#include "base/MessageLoop.h"
#include "base/Window.h"
#include "shell/desktop/DesktopParts.h"
#include "shell/desktop/RegisteredWindows.h"
#include "shell/dragdrop/DropTargetRegistration.h"
#include "shell/ghost/NsVirtualMoveWnd.h"
#include "shell/skin/SkinEventSink.h"

namespace veyra {

extern const wchar_t kDesktopWindowClass[];  // "KavoSandBoxClass"

// Control ids of the desktop layout and of the two controls the window adds to its taskbar strip.
namespace DesktopControl {
inline constexpr USHORT kTitle = 2000;
inline constexpr USHORT kDesktopPanel = 2001;
inline constexpr USHORT kTaskbarPanel = 2002;
inline constexpr USHORT kShowDesktop = 2003;
inline constexpr USHORT kSettings = 2004;
inline constexpr USHORT kClose = 2005;
inline constexpr USHORT kMinimise = 2006;
inline constexpr USHORT kHelp = 2009;
inline constexpr USHORT kNetwork = 2010;
inline constexpr USHORT kStart = 3001;
inline constexpr USHORT kTaskbarArea = 3004;
}  // namespace DesktopControl

// The title the layout's label shows.
inline constexpr wchar_t kDesktopTitleText[] = L"  Veyra ";

class NsDesktopDlg : public skin::SkinEventSink<NsDesktopDlg>, public MappedWindow<NsDesktopDlg>, public MessageFilter {
public:
    explicit NsDesktopDlg(int ownerKey) noexcept;
    ~NsDesktopDlg() override;

    // Creates the top-level window with the default position and size; it centres itself.
    [[nodiscard]] bool CreateDesktopWindow() noexcept;
    [[nodiscard]] int OwnerKey() const noexcept { return m_ownerKey; }
    [[nodiscard]] const RegisteredWindows& Registered() const noexcept { return m_registered; }
    [[nodiscard]] bool NetworkBlocked() const noexcept { return m_networkBlocked != 0; }

    bool PreTranslateMessage(MSG& message) override;

    static std::span<const SkinEventSink::Entry> Events();
    static std::span<const MappedWindow::Entry> Messages();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Creation (NsDesktopDlg.cpp).
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    bool BuildSkin() noexcept;
    void SetUpTaskbarStrip() noexcept;
    void AdviseControls() noexcept;
    LONG OnSkinEvent(const ULONG_PTR* arguments);
    LONG OnControlClicked(USHORT id);
    void ToggleNetwork() noexcept;
    void ShowStartMenu() noexcept;
    void ShowSettingsMenu() noexcept;
    void ShowTaskManager() noexcept;

    // Shut-down and the protocol (DesktopLifecycle.cpp).
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    [[noreturn]] void EndProcess() noexcept;
    LRESULT OnTrayExit();
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
    LRESULT OnTasksChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetFolderWindows(WPARAM wParam, LPARAM lParam);
    LRESULT OnStartOperation(WPARAM wParam, LPARAM lParam);
    LRESULT OnRestoreSystem(WPARAM wParam, LPARAM lParam);
    LRESULT OnToggleMerge(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowProcesses(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowGuideTip(WPARAM wParam, LPARAM lParam);
    LRESULT OnTaskManagerClosed(WPARAM wParam, LPARAM lParam);
    void ReloadWithHostWindows() noexcept;

    // Input (DesktopInput.cpp).
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnRButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnTypeAheadChar(WPARAM wParam, LPARAM lParam);
    int ShowContextMenu(POINT point) noexcept;
    int ArmWindowDrag(POINT screenPoint) noexcept;
    void MoveWindowDrag(POINT screenPoint) noexcept;
    void EndWindowDrag() noexcept;

    int m_ownerKey;
    ComPtr<vorrelUI::Ivorrel_window> m_skin;
    ComPtr<vorrelUI::Ivorrel_container> m_root;
    ComPtr<vorrelUI::Ivorrel_panel> m_desktopPanel;
    ComPtr<vorrelUI::Ivorrel_panel> m_taskbarPanel;
    ComPtr<vorrelUI::Ivorrel_panel> m_showDesktopPanel;
    ComPtr<vorrelUI::Ivorrel_panel> m_guideTip;
    ComPtr<vorrelUI::Ivorrel_label> m_title;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_settingsButton;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_closeButton;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_minimiseButton;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_helpButton;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_startButton;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_networkButton;
    ComPtr<vorrelUI::Ivorrel_panel> m_taskbarArea;
    int m_networkBlocked = 0;
    int m_windowDragArmed = 0;
    std::wstring m_desktopFolder;
    std::wstring m_commonDesktopFolder;
    std::unique_ptr<IDesktopView> m_view;
    DropTargetRegistration m_dropTarget;  // its callbacks are the view's: revoked before the view goes
    std::unique_ptr<IDesktopWindow> m_startMenu;
    std::unique_ptr<IDesktopTaskbar> m_taskbar;
    std::unique_ptr<IDesktopWindow> m_taskManager;
    std::unique_ptr<NsVirtualMoveWnd> m_ghost;
    std::unique_ptr<IDesktopWindow> m_settingsMenu;
    RegisteredWindows m_registered;
    MessageLoop* m_loop = nullptr;  // the loop whose filters hold this window
};

}  // namespace veyra
