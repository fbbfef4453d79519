#include "shell/directory/NsDirectoryDlg.h"

#include <new>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/desktop/DesktopParts.h"
#include "shell/directory/FolderAddress.h"
#include "shell/explorer/ViewMessages.h"
#include "shell/protocol/WindowProtocol.h"
#include "shell/skin/SkinBinding.h"
#include "shell/skin/SkinLayouts.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr LONG kRemovedStyle = 0x30000;  // WS_MINIMIZEBOX | WS_MAXIMIZEBOX: the window has its own buttons
constexpr LONG kPlainStyle = 0xC000;  // added when the interface runs without its optimisations
constexpr int kRootOption = 15;
constexpr int kItemIconSize = 48;
constexpr wchar_t kLayoutName[] = L"\\KavoSandBox\\NsExplorer.xml";

}  // namespace

NsDirectoryDlg::NsDirectoryDlg(std::wstring startPath, int ownerKey, std::wstring select, FolderLister lister) noexcept
    : m_history(std::move(startPath)), m_ownerKey(ownerKey), m_select(std::move(select)), m_lister(std::move(lister)),
      m_base(ownerKey)
{
}

NsDirectoryDlg::~NsDirectoryDlg()
{
    // The drop target first (OLE may call it while anything else goes), then the view, the rows, the skin.
    m_dropTarget.Revoke();
    m_view.reset();
    m_navItems.clear();
    m_pane.reset();
    m_addressBox.reset();
    m_toolbar.reset();
    m_statusPanel.reset();
    m_viewPanel.reset();
    m_minimiseButton.reset();
    m_closeButton.reset();
    m_goButton.reset();
    m_forwardButton.reset();
    m_backButton.reset();
    m_root.reset();
    if (m_skin) {
        m_skin->ReleaseControls();
        m_skin.reset();
    }
    m_pack.reset();
}

bool NsDirectoryDlg::Create(HWND desktop) noexcept
{
    return CreateModeless(GetModuleHandleW(nullptr), kFolderDialogResource, desktop);
}

std::span<const skin::SkinEventSink<NsDirectoryDlg>::Entry> NsDirectoryDlg::Events()
{
    static const SkinEventSink::Entry entries[] = {
        {1, &DIID_Ivorrel_events, 1, 4, &NsDirectoryDlg::OnSkinEvent},
        {1, &DIID_Ivorrel_events, 2, 3, &NsDirectoryDlg::OnSkinState},
    };
    return entries;
}

std::span<const MappedDialog<NsDirectoryDlg>::Entry> NsDirectoryDlg::Messages()
{
    static const MappedDialog::Entry entries[] = {
        {WM_INITDIALOG, &NsDirectoryDlg::OnInitDialog},
        {WM_CLOSE, &NsDirectoryDlg::OnClose},
        {WM_DESTROY, &NsDirectoryDlg::OnDestroy},
        {WM_ACTIVATE, &NsDirectoryDlg::OnActivate},
        {WM_SETFOCUS, &NsDirectoryDlg::OnSetFocus},
        {WM_LBUTTONDBLCLK, &NsDirectoryDlg::OnLButtonDblClk},
        {WM_LBUTTONDOWN, &NsDirectoryDlg::OnLButtonDown},
        {WM_RBUTTONDOWN, &NsDirectoryDlg::OnRButtonDown},
        {WM_LBUTTONUP, &NsDirectoryDlg::OnLButtonUp},
        {WM_MOUSEMOVE, &NsDirectoryDlg::OnMouseMove},
        {WM_TIMER, &NsDirectoryDlg::OnTimer},
        {WM_KEYDOWN, &NsDirectoryDlg::OnKeyDown},
        {WM_SYSCOMMAND, &NsDirectoryDlg::OnSysCommand},
        {WM_MOVE, &NsDirectoryDlg::OnMove},
        {WM_COMMAND, &NsDirectoryDlg::OnCommand},
        {WM_COPYDATA, &NsDirectoryDlg::OnCopyData},
        {WM_NS_HOST_MOVED, &NsDirectoryDlg::OnHostMoved},
        {WM_NS_RENAME_DONE, &NsDirectoryDlg::OnRenameDone},
        {WM_NS_ITEMS_LOADED, &NsDirectoryDlg::OnItemsLoaded},
        {WM_NS_SELECT_NAMED, &NsDirectoryDlg::OnSelectNamed},
        {WM_NS_DRAG_HIGHLIGHT, &NsDirectoryDlg::OnDragHighlight},
        {WM_NS_RELOAD, &NsDirectoryDlg::OnReload},
        {WM_NS_GO_BACK, &NsDirectoryDlg::OnGoBack},
        {WM_NS_ICON_LOADED, &NsDirectoryDlg::OnIconLoaded},
        {WM_NS_TYPEAHEAD_CHAR, &NsDirectoryDlg::OnTypeAheadChar},
    };
    return entries;
}

INT_PTR NsDirectoryDlg::OnInitDialog(WPARAM, LPARAM)
{
    LONG style = GetWindowLongW(Handle(), GWL_STYLE) & ~kRemovedStyle;
    if (!UiOptimisationFlag) {
        style |= kPlainStyle;
    }
    SetWindowLongW(Handle(), GWL_STYLE, style);
    static_cast<void>(m_dropTarget.Register(Handle(), this, m_history.Current()));
    if (!BuildSkin()) {
        m_layoutFailed = true;  // the opener destroys the window: without its layout it could not be closed
        return FALSE;
    }
    static_cast<void>(m_backButton->SetId(FolderControl::kBack));
    static_cast<void>(m_forwardButton->SetId(FolderControl::kForward));
    static_cast<void>(m_goButton->SetId(FolderControl::kGo));
    static_cast<void>(m_addressBox->SetId(FolderControl::kAddress));
    AdviseControls();
    static_cast<void>(m_base.Attach(GetParent(Handle()), Handle(), this, HostKind::kFolderWindow));
    static_cast<void>(m_base.CentreOnOwner());
    return FALSE;  // the focus stays with the window, not the address box
}

bool NsDirectoryDlg::BuildSkin()
{
    wchar_t folder[MAX_PATH] = {};
    skin::GetSkinDirectory(folder);
    const std::wstring layout = std::wstring(folder) + kLayoutName;
    if (SUCCEEDED(skin::CreateResourcePack(m_pack)) && m_pack && SUCCEEDED(m_pack->Load(0, layout.c_str())) &&
        skin::ResRegistryPtr) {
        static_cast<void>(skin::ResRegistryPtr->AddPack(0, m_pack.get()));
    }
    ComPtr<Ivorrel_winfactory> factory;
    if (FAILED(skin::CreateWindowFactory(factory)) || !factory ||
        FAILED(factory->CreateSkinWindow(layout.c_str(), Handle(), 0, m_skin.put())) || !m_skin ||
        FAILED(m_skin->GetRoot(m_root.put())) || !m_root) {
        return false;
    }
    static_cast<void>(m_root->SetOption(kRootOption));
    if (!FindControls()) {
        return false;
    }
    if (!UiOptimisationFlag) {
        static_cast<void>(m_closeButton->ModifyStyle(0, kStyleVisible));
        static_cast<void>(m_minimiseButton->ModifyStyle(0, kStyleVisible));
    }
    BuildToolbar();
    BuildNavigationPane();
    m_view.reset(new (std::nothrow)
                     NsDirectory(m_viewPanel.get(), Handle(), m_ownerKey, m_statusPanel.get(), m_lister));
    if (!m_view) {
        return false;
    }
    static_cast<void>(m_view->Load(m_history.Current()));
    static_cast<void>(m_viewPanel->Redraw(FALSE));
    static_cast<void>(m_skin->Show(TRUE));
    return true;
}

bool NsDirectoryDlg::FindControls()
{
    using namespace FolderControl;
    Ivorrel_window* skin = m_skin.get();
    ComPtr<Ivorrel_control> go;
    return skin::FindControlAs(skin, kToolbar, IID_Ivorrel_panel, m_toolbar) &&
           skin::FindControlAs(skin, kViewPanel, IID_Ivorrel_panel, m_viewPanel) &&
           skin::FindControlAs(skin, kStatusPanel, IID_Ivorrel_panel, m_statusPanel) &&
           skin::FindControlAs(skin, kPane, IID_Ivorrel_list, m_pane) &&
           skin::FindControlAs(skin, kGoLayout, IID_Ivorrel_control, m_goButton) &&
           skin::FindControlAs(skin, kAddressLayout, IID_Ivorrel_edit, m_addressBox) &&
           skin::FindControlAs(skin, kClose, IID_Ivorrel_control, m_closeButton) &&
           skin::FindControlAs(skin, kMinimise, IID_Ivorrel_control, m_minimiseButton);
}

void NsDirectoryDlg::AdviseControls() noexcept
{
    Ivorrel_control* advised[] = {m_backButton.get(), m_forwardButton.get(), m_goButton.get(), m_addressBox.get(),
                                  m_pane.get(),       m_closeButton.get(),   m_minimiseButton.get()};
    for (Ivorrel_control* control : advised) {
        DWORD cookie = 0;
        if (control) {
            static_cast<void>(skin::AdviseEvents(control, static_cast<IDispatch*>(this), &cookie));
        }
    }
}

INT_PTR NsDirectoryDlg::OnClose(WPARAM, LPARAM)
{
    static_cast<void>(m_base.Detach());
    if (m_view) {
        m_view->StopIconLoader();
        m_view->ClearItems();
        m_view->CloseLoads();
    }
    if (m_skin) {
        m_skin->ReleaseControls();
        m_skin.reset();
    }
    DestroyWindow(Handle());
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnDestroy(WPARAM, LPARAM)
{
    // While the window still exists: OLE keeps its target by the window and lets go of it only here.
    m_dropTarget.Revoke();
    return FALSE;
}

INT_PTR NsDirectoryDlg::OnItemsLoaded(WPARAM wParam, LPARAM lParam)
{
    if (!m_view) {
        return TRUE;
    }
    if (!wParam) {
        // The next step of the listing being filled.
        if (!m_view->FillNextStep(static_cast<std::uint32_t>(lParam))) {
            return TRUE;
        }
    } else {
        FolderListing listing = m_view->TakeListing(wParam, lParam);
        if (!listing) {
            return TRUE;  // superseded by a later load, or not one of this view's
        }
        static_cast<void>(m_view->StartIconLoader());
        static_cast<void>(m_view->FillItems(*listing));
    }
    static_cast<void>(m_viewPanel->Refresh());
    static_cast<void>(m_viewPanel->Redraw(FALSE));
    if (!m_select.empty()) {
        PostMessageW(Handle(), WM_NS_SELECT_NAMED, 0, 0);
    }
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnSelectNamed(WPARAM, LPARAM)
{
    if (m_view) {
        m_view->SelectNamed(m_select);  // kept: tried again after every later fill
    }
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnIconLoaded(WPARAM wParam, LPARAM)
{
    if (m_view) {
        static_cast<void>(m_view->ApplyLoadedIcon(reinterpret_cast<NsIcon*>(wParam), kItemIconSize));
    }
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnMove(WPARAM, LPARAM)
{
    m_base.SnapToHost();
    Ivorrel_control* redrawn[] = {m_viewPanel.get(), m_statusPanel.get(), m_toolbar.get(), m_goButton.get(),
                                  m_addressBox.get()};
    for (Ivorrel_control* control : redrawn) {
        if (!control) {
            return TRUE;
        }
    }
    for (Ivorrel_control* control : redrawn) {
        static_cast<void>(control->Redraw(FALSE));
    }
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnHostMoved(WPARAM wParam, LPARAM lParam)
{
    m_base.FollowHost(static_cast<int>(wParam), static_cast<int>(lParam));
    return TRUE;
}

NsDirectoryDlg* OpenFolderWindowWith(HWND desktop, int ownerKey, const std::wstring& folder, const std::wstring& select,
                                     FolderLister lister)
{
    // What Go would refuse opens no window: a file, a missing or marked path, the sandbox's own folder.
    const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    const GoDecision decision = DecideGo(folder, std::wstring(), [&view, ownerKey](const std::wstring& path) {
        return view.ClassifyPath(path, ownerKey) == SBFS_FOLDER;
    });
    if (decision.action != GoAction::Navigate) {
        return nullptr;
    }
    auto* window = new (std::nothrow) NsDirectoryDlg(decision.path, ownerKey, select, std::move(lister));
    if (!window) {
        return nullptr;
    }
    if (!window->Create(desktop)) {
        delete window;  // never initialised, so no final message deletes it
        return nullptr;
    }
    if (window->LayoutFailed()) {
        DestroyWindow(window->Handle());  // its final message deletes the object
        return nullptr;
    }
    ShowWindow(window->Handle(), SW_SHOWDEFAULT);
    return window;
}

int OpenFolderWindow(HWND desktop, int ownerKey, const std::wstring& folder, const std::wstring& select)
{
    try {
        return OpenFolderWindowWith(desktop, ownerKey, folder, select, ListSandboxFolder) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

void InstallFolderWindows() noexcept
{
    DesktopParts().openFolderWindow = &OpenFolderWindow;
}

}  // namespace veyra
