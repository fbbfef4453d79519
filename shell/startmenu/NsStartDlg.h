#pragma once
// The desktop's start menu: a skinned pop-up owned by the desktop window, above its start button. The
// left list shows the Start Menu's programs (all users' and the user's, merged through the sandbox
// view), read on a load thread each time the menu opens; folder rows expand in place, file rows are
// started in the sandbox. The buttons on the right open special folders in folder windows of the same
// desktop, and quit closes the desktop window. It hides when it loses the focus (unless to the start
// button) and is kept by the desktop window. The menu owns its rows; the list only shows them. UI thread,
// but for the load thread, which touches only the sandbox view and its own listing.

#include <windows.h>

#include <memory>
#include <span>
#include <unordered_set>
#include <vector>

#include "base/ComPtr.h"
#include "base/MessageLoop.h"
#include "base/Window.h"
#include "core/sandboxview/FileItemRecord.h"
#include "shell/desktop/DesktopParts.h"
#include "shell/dialogbase/NsBaseDlg.h"
#include "shell/iconview/CGroupCtrl.h"
#include "shell/skin/SkinEventSink.h"
#include "shell/startmenu/StartMenuEntries.h"

namespace veyra {

namespace StartControl {
inline constexpr USHORT kList = 4001;
inline constexpr USHORT kDocuments = 4003;
inline constexpr USHORT kVideos = 4004;
inline constexpr USHORT kPictures = 4005;
inline constexpr USHORT kMusic = 4006;
inline constexpr USHORT kDesktop = 4007;
inline constexpr USHORT kComputer = 4008;
inline constexpr USHORT kQuit = 4011;
}  // namespace StartControl

inline constexpr wchar_t kStartMenuClass[] = L"VeyraStartMenu";

// One row of the list: its panel (whose user value names the row), picture or file icon, caption.
struct StartMenuRow {
    StartMenuRow() = default;
    StartMenuRow(const StartMenuRow&) = delete;
    StartMenuRow& operator=(const StartMenuRow&) = delete;
    ~StartMenuRow();

    ComPtr<vorrelUI::Ivorrel_panel> panel;
    ComPtr<vorrelUI::Ivorrel_itemcontrol> picture;
    ComPtr<CGroupCtrl> icon;
    ComPtr<vorrelUI::Ivorrel_label> caption;
    FileItemRecord entry;
    StartRowKind kind = StartRowKind::File;
    int indent = 0;
};

class NsStartDlg final : public skin::SkinEventSink<NsStartDlg>,
                         public MappedWindow<NsStartDlg>,
                         public MessageFilter,
                         public IDesktopWindow {
public:
    explicit NsStartDlg(int ownerKey) noexcept;
    ~NsStartDlg() override;

    [[nodiscard]] bool Create(HWND parent) noexcept;
    [[nodiscard]] HWND Handle() const noexcept override { return Window::Handle(); }
    void Reload() override;

    bool PreTranslateMessage(MSG& message) override;

    static std::span<const SkinEventSink::Entry> Events();
    static std::span<const MappedWindow::Entry> Messages();

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnItemsLoaded(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnHostMoved(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LONG OnClick(const ULONG_PTR* arguments);
    LONG OnStateChange(const ULONG_PTR* arguments);

    bool BuildSkin() noexcept;
    void AdviseControls() noexcept;
    void EmptyList() noexcept;
    StartMenuRow* MakeRow(const FileItemRecord& entry, const RECT& rect, int indent) noexcept;
    [[nodiscard]] StartMenuRow* LiveRow(vorrelUI::Ivorrel_control* panel) const noexcept;
    void OnRowPressed() noexcept;
    void ExpandFolder(StartMenuRow& row) noexcept;
    void OpenSpecialFolder(USHORT button) noexcept;
    void SendOpenFolder(const std::wstring& folder) noexcept;
    void ShowButtonHover(IUnknown* sender, DWORD set) noexcept;

    NsBaseDlg m_base;
    int m_ownerKey;
    HWND m_parent = nullptr;
    ComPtr<vorrelUI::Ivorrel_window> m_skin;
    ComPtr<vorrelUI::Ivorrel_container> m_root;
    ComPtr<vorrelUI::Ivorrel_respack> m_pack;
    ComPtr<vorrelUI::Ivorrel_list> m_list;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_quitButton;
    ComPtr<vorrelUI::Ivorrel_panel> m_buttons[6];
    ComPtr<vorrelUI::Ivorrel_label> m_buttonLabels[6];
    std::vector<std::unique_ptr<StartMenuRow>> m_rows;
    std::unordered_set<const void*> m_pendingListings;  // handed to load threads, not yet back
    LoopFilterRegistration m_filter;
};

// Installs the menu as the desktop window's start menu (DesktopParts().startMenu). Start-up only.
void InstallStartMenu() noexcept;

}  // namespace veyra
