#pragma once
// The desktop's task manager: a skinned modeless dialog listing the sandboxed processes of its desktop
// (name and id) and ending the selected one through the process watch. The desktop window creates one,
// keeps it while it is open and deletes it when the dialog posts WM_NS_TASKMGR_CLOSED. The dialog owns
// its rows (TaskList). UI thread only.

#include <windows.h>

#include <memory>
#include <span>
#include <vector>

#include "base/ComPtr.h"
#include "base/Dialog.h"
#include "base/MessageLoop.h"
#include "core/processwatch/ProcessListManager.h"
#include "shell/desktop/DesktopParts.h"
#include "shell/dialogbase/NsBaseDlg.h"
#include "shell/skin/SkinEventSink.h"
#include "shell/taskmgr/TaskList.h"

namespace veyra {

namespace TaskmgrControl {
inline constexpr USHORT kBody = 7001;
inline constexpr USHORT kList = 7002;
inline constexpr USHORT kEndProcess = 7003;
inline constexpr USHORT kClose = 7004;
}  // namespace TaskmgrControl

class NsTaskmgrDlg final : public skin::SkinEventSink<NsTaskmgrDlg>,
                           public MappedDialog<NsTaskmgrDlg>,
                           public MessageFilter,
                           public IDesktopWindow {
public:
    explicit NsTaskmgrDlg(int ownerKey) noexcept;
    ~NsTaskmgrDlg() override;

    // The modeless dialog over the desktop window `parent`.
    [[nodiscard]] bool Create(HWND parent) noexcept;
    [[nodiscard]] HWND Handle() const noexcept override { return Dialog::Handle(); }

    bool PreTranslateMessage(MSG& message) override;

    static std::span<const SkinEventSink::Entry> Events();
    static std::span<const MappedDialog::Entry> Messages();

private:
    INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam);
    INT_PTR OnTasksChanged(WPARAM wParam, LPARAM lParam);
    INT_PTR OnClose(WPARAM wParam, LPARAM lParam);
    INT_PTR OnMove(WPARAM wParam, LPARAM lParam);
    INT_PTR OnHostMoved(WPARAM wParam, LPARAM lParam);
    INT_PTR OnLButtonDown(WPARAM wParam, LPARAM lParam);
    INT_PTR OnMouseMove(WPARAM wParam, LPARAM lParam);
    INT_PTR OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LONG OnSkinEvent(const ULONG_PTR* arguments);

    bool BuildSkin() noexcept;
    void BuildHeader() noexcept;
    void EndSelectedProcess() noexcept;
    void PlaceOverParent() noexcept;

    NsBaseDlg m_base;
    int m_ownerKey;
    HWND m_parent = nullptr;
    ComPtr<vorrelUI::Ivorrel_window> m_skin;
    ComPtr<vorrelUI::Ivorrel_container> m_root;
    ComPtr<vorrelUI::Ivorrel_panel> m_body;
    ComPtr<vorrelUI::Ivorrel_list> m_list;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_endButton;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_closeButton;
    ComPtr<vorrelUI::Ivorrel_panel> m_header;
    int m_headerBuilt = 0;
    std::unique_ptr<TaskList> m_rows;  // once the list exists
    LoopFilterRegistration m_filter;
};

// Installs the task manager as the desktop window's part (DesktopParts().taskManager). Start-up only.
void InstallTaskManager() noexcept;

}  // namespace veyra
