#include "shell/startmenu/NsStartDlg.h"

#include <shlobj.h>
#include <windowsx.h>

#include <new>

#include "core/Launcher.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/explorer/NsExplorer.h"
#include "shell/protocol/WindowProtocol.h"
#include "shell/skin/SkinLayouts.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr wchar_t kLayout[] = L"NsWindow.xml";
constexpr wchar_t kCaptionTheme[] = L"static_sandbox_9_black";
constexpr wchar_t kSkinCaption[] = L"vorrel_ui_demo";
constexpr DWORD kPictureStyle = 0x10000020;
constexpr DWORD kCaptionSetting = 0x8000;
constexpr LONG kThickFrame = 0x40000;
constexpr LONG kPopup = static_cast<LONG>(0x80000000);
constexpr LONG kBottomGap = 40;
constexpr LONG kStartButtonWidth = 45;
constexpr LONG kStartButtonHeight = 40;
constexpr int kIconSize = 16;
constexpr int kMenuWidth = 380;
constexpr int kMenuHeight = 480;

// Button panels in the menu's order, their labels, and the special folders the first five open.
constexpr USHORT kButtonIds[6] = {StartControl::kComputer, StartControl::kDesktop, StartControl::kDocuments,
                                  StartControl::kVideos,   StartControl::kPictures, StartControl::kMusic};
constexpr USHORT kButtonLabelIds[6] = {4020, 4021, 4022, 4023, 4025, 4024};

struct SpecialFolderButton {
    USHORT id;
    int user;
    int common;
};
constexpr SpecialFolderButton kFolderButtons[] = {
    {StartControl::kDocuments, CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS},
    {StartControl::kVideos, CSIDL_MYVIDEO, CSIDL_COMMON_VIDEO},
    {StartControl::kPictures, CSIDL_MYPICTURES, CSIDL_COMMON_PICTURES},
    {StartControl::kMusic, CSIDL_MYMUSIC, CSIDL_COMMON_MUSIC},
    {StartControl::kDesktop, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY},
};

// What a load thread is handed: the window to post to and the listing it fills. The thread owns it.
struct LoadRequest {
    HWND menu;
    int ownerKey;
    std::vector<FileItemRecord>* listing;
};

// The listing always goes back to the menu (lParam 1 when it holds entries), which frees it; only when
// the post fails (the menu is gone) does the thread free it.
DWORD WINAPI StartMenuLoadThread(void* parameter) noexcept
{
    std::unique_ptr<LoadRequest> request(static_cast<LoadRequest*>(parameter));
    const HRESULT com = CoInitialize(nullptr);
    int filled = 0;
    try {
        filled = CSandBoxFileSystem::Instance().ListStartMenuPrograms(*request->listing, request->ownerKey) &&
                 !request->listing->empty();
    } catch (...) {
        filled = 0;
    }
    if (!PostMessageW(request->menu, WM_NS_ITEMS_LOADED, reinterpret_cast<WPARAM>(request->listing), filled)) {
        delete request->listing;
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return 0;
}

bool SameObject(IUnknown* a, IUnknown* b) noexcept
{
    if (!a || !b) {
        return false;
    }
    ComPtr<IUnknown> first, second;
    return SUCCEEDED(a->QueryInterface(IID_IUnknown, first.put_void())) &&
           SUCCEEDED(b->QueryInterface(IID_IUnknown, second.put_void())) && first.get() == second.get();
}

}  // namespace

StartMenuRow::~StartMenuRow()
{
    if (icon) {
        icon->DropOwnerRef();  // the icon holds the panel that holds it
    }
}

NsStartDlg::NsStartDlg(int ownerKey) noexcept : m_base(ownerKey), m_ownerKey(ownerKey) {}

NsStartDlg::~NsStartDlg()
{
    EmptyList();
    if (m_skin) {
        m_skin->ReleaseControls();
    }
    if (HWND window = Handle()) {
        DestroyWindow(window);
    }
}

bool NsStartDlg::Create(HWND parent) noexcept
{
    m_parent = parent;
    WindowPlacement placement;
    placement.style = WS_POPUP | WS_CLIPCHILDREN;
    placement.parent = parent;
    placement.x = 0;
    placement.y = 0;
    placement.width = kMenuWidth;  // the layout sizes it again
    placement.height = kMenuHeight;
    try {
        return Window::Create(WindowClass{kStartMenuClass}, L"", placement);
    } catch (...) {
        return false;
    }
}

std::span<const skin::SkinEventSink<NsStartDlg>::Entry> NsStartDlg::Events()
{
    static const SkinEventSink::Entry entries[] = {
        {1, &DIID_Ivorrel_events, 1, 4, &NsStartDlg::OnClick},
        {1, &DIID_Ivorrel_events, 2, 3, &NsStartDlg::OnStateChange},
    };
    return entries;
}

std::span<const MappedWindow<NsStartDlg>::Entry> NsStartDlg::Messages()
{
    static const MappedWindow::Entry entries[] = {
        {WM_CREATE, &NsStartDlg::OnCreate},
        {WM_NS_ITEMS_LOADED, &NsStartDlg::OnItemsLoaded},
        {WM_KILLFOCUS, &NsStartDlg::OnKillFocus},
        {WM_NS_HOST_MOVED, &NsStartDlg::OnHostMoved},
        {WM_CLOSE, &NsStartDlg::OnClose},
    };
    return entries;
}

bool NsStartDlg::PreTranslateMessage(MSG& message)
{
    return Handle() && IsDialogMessageW(Handle(), &message) != FALSE;
}

LRESULT NsStartDlg::OnCreate(WPARAM, LPARAM)
{
    m_filter.Join(this);
    SetWindowLongW(Handle(), GWL_STYLE, (GetWindowLongW(Handle(), GWL_STYLE) & ~kThickFrame) | kPopup);
    if (!BuildSkin()) {
        return 0;  // the window stays, without content
    }
    m_list->ModifyStyle(kStyleVisible, 0);
    Reload();
    AdviseControls();
    m_skin->SetCaption(kSkinCaption);
    RECT parent{};
    RECT own{};
    GetWindowRect(m_parent, &parent);
    GetWindowRect(Handle(), &own);
    MoveWindow(Handle(), parent.left, parent.bottom - (own.bottom - own.top) - kBottomGap, own.right - own.left,
               own.bottom - own.top, FALSE);
    m_base.Attach(m_parent, Handle(), this, HostKind::kStartMenu);
    return 0;
}

bool NsStartDlg::BuildSkin() noexcept
{
    if (FAILED(skin::CreateResourcePack(m_pack)) || !m_pack ||
        FAILED(m_pack->Load(0, skin::LayoutPath(kLayout).c_str()))) {
        return false;
    }
    if (skin::ResRegistryPtr) {
        skin::ResRegistryPtr->AddPack(0, m_pack.get());
    }
    if (!skin::BuildLayout(kLayout, Handle(), m_skin, m_root) ||
        !skin::FindControlAs(m_skin.get(), StartControl::kQuit, IID_Ivorrel_imagebutton, m_quitButton) ||
        !skin::FindControlAs(m_skin.get(), StartControl::kList, IID_Ivorrel_list, m_list)) {
        return false;
    }
    for (int index = 0; index < 6; ++index) {
        if (!skin::FindControlAs(m_skin.get(), kButtonIds[index], IID_Ivorrel_panel, m_buttons[index]) ||
            !skin::FindControlAs(m_skin.get(), kButtonLabelIds[index], IID_Ivorrel_label, m_buttonLabels[index])) {
            return false;
        }
        m_buttons[index]->SetId(kButtonIds[index]);
    }
    m_skin->Show(TRUE);
    return true;
}

void NsStartDlg::AdviseControls() noexcept
{
    auto advise = [this](IUnknown* control) {
        DWORD cookie = 0;
        static_cast<void>(skin::AdviseEvents(control, static_cast<IDispatch*>(this), &cookie));
    };
    advise(m_list.get());
    advise(m_quitButton.get());
    for (int index = 0; index < 6; ++index) {
        advise(m_buttons[index].get());
        advise(m_buttonLabels[index].get());
    }
}

void NsStartDlg::Reload()
{
    if (!m_list) {
        return;
    }
    EmptyList();
    auto listing = std::unique_ptr<std::vector<FileItemRecord>>(new (std::nothrow) std::vector<FileItemRecord>());
    auto request = std::unique_ptr<LoadRequest>(new (std::nothrow) LoadRequest{Handle(), m_ownerKey, listing.get()});
    if (!listing || !request) {
        return;
    }
    try {
        m_pendingListings.insert(listing.get());
    } catch (...) {
        return;
    }
    const HANDLE thread = CreateThread(nullptr, 0, StartMenuLoadThread, request.get(), 0, nullptr);
    if (!thread) {
        m_pendingListings.erase(listing.get());
        return;
    }
    CloseHandle(thread);
    request.release();  // the thread's now, and the listing with it until it is posted back
    listing.release();
}

// Only a listing this menu handed to one of its load threads is adopted: a posted pointer may come from
// another process.
LRESULT NsStartDlg::OnItemsLoaded(WPARAM wParam, LPARAM lParam)
{
    auto* posted = reinterpret_cast<std::vector<FileItemRecord>*>(wParam);
    if (!posted || m_pendingListings.erase(posted) == 0) {
        return 0;
    }
    std::unique_ptr<std::vector<FileItemRecord>> listing(posted);
    if (!lParam || !m_list) {
        return 0;
    }
    try {
        std::vector<FileItemRecord> entries = *listing;
        SortStartMenuEntries(entries);
        EmptyList();
        RECT list{};
        m_list->GetRect(&list);
        const RECT rowRect{0, 0, list.right, kStartRowHeight};
        for (const FileItemRecord& entry : entries) {
            if (StartMenuRow* row = MakeRow(entry, rowRect, 0)) {
                m_list->AddChild(row->panel.get());
            }
        }
    } catch (...) {
    }
    m_list->Redraw(TRUE);
    return 1;
}

// The list lets go of the rows before they are freed, so its selection never names a freed row.
void NsStartDlg::EmptyList() noexcept
{
    if (m_list) {
        m_list->RemoveAllChildren();
    }
    if (m_skin) {
        for (const auto& row : m_rows) {
            m_skin->ForgetControl(row->panel.get());
        }
    }
    m_rows.clear();
}

StartMenuRow* NsStartDlg::MakeRow(const FileItemRecord& entry, const RECT& rect, int indent) noexcept
{
    try {
        auto row = std::make_unique<StartMenuRow>();
        row->entry = entry;
        row->indent = indent;
        if (!skin::CreateLabelControl(row->caption, kCaptionTheme) || !skin::CreatePanelControl(row->panel)) {
            return nullptr;
        }
        row->panel->Move(&rect, FALSE);
        row->panel->SetUserValue(reinterpret_cast<LONG_PTR>(row.get()));
        row->panel->ModifyStyle(kStyleVisible, 0);
        const StartRowPlaces places = StartRowPlacesIn(rect, indent);
        std::wstring target = entry.path;
        if (entry.isShortcut) {
            std::wstring resolved;
            if (CSandBoxFileSystem::Instance().ResolveShortcut(entry.path, resolved, entry.sandboxId)) {
                target = std::move(resolved);
            }
        }
        row->kind = StartRowKindOf(entry, target);
        if (row->kind == StartRowKind::File) {
            row->icon = AttachGroupCtrl(row->panel.get(), places.icon);
            if (!row->icon) {
                return nullptr;
            }
            row->icon->SetOwnerRef(row->panel.get());
            row->icon->SetIconSize(kIconSize);
            row->icon->SetItem(target, kGroupDrawFileIcon, entry.sandboxId);
        } else {
            const wchar_t* name = row->kind == StartRowKind::Folder ? L"IDI_IMAGE_SFOLDER" : L"IDI_IMAGE_SHTML";
            ComPtr<Ivorrel_image> image;
            if (!skin::CreatePictureControl(row->picture) || FAILED(m_pack->GetImage(name, image.put()))) {
                return nullptr;
            }
            row->picture->Move(&places.icon, FALSE);
            row->picture->SetImage(image.get());
            row->picture->ModifyStyle(kPictureStyle, 0);
            row->panel->AddChild(row->picture.get());
        }
        row->caption->SetText(StartRowCaption(entry, row->kind).c_str());
        row->caption->SetOption(kCaptionSetting);
        row->caption->Move(&places.caption, FALSE);
        row->caption->ModifyStyle(kStyleVisible, 0);
        row->panel->AddChild(row->caption.get());
        m_rows.push_back(std::move(row));
        return m_rows.back().get();
    } catch (...) {
        return nullptr;
    }
}

// The row a panel names, only while the menu still holds it: the user value is compared, never followed.
StartMenuRow* NsStartDlg::LiveRow(Ivorrel_control* panel) const noexcept
{
    LONG_PTR value = 0;
    if (!panel || FAILED(panel->GetUserValue(&value))) {
        return nullptr;
    }
    for (const auto& row : m_rows) {
        if (reinterpret_cast<LONG_PTR>(row.get()) == value) {
            return row.get();
        }
    }
    return nullptr;
}

LONG NsStartDlg::OnStateChange(const ULONG_PTR* arguments)
{
    const DWORD set = static_cast<DWORD>(arguments[0]);
    const DWORD cleared = static_cast<DWORD>(arguments[1]);
    auto* sender = reinterpret_cast<IDispatch*>(arguments[2]);
    if (SameObject(sender, m_list.get())) {
        if (set & kStatePressed) {
            OnRowPressed();
        } else if ((set | cleared) & kStateExpanded) {
            m_list->Redraw(TRUE);
        }
        return 0;
    }
    if (!(set & kStatePressed) && !(cleared & kStatePressed)) {
        ShowButtonHover(sender, set);
    }
    return 0;
}

void NsStartDlg::OnRowPressed() noexcept
{
    ComPtr<Ivorrel_control> selected;
    if (FAILED(m_list->GetSelected(selected.put())) || !selected) {
        return;
    }
    StartMenuRow* row = LiveRow(selected.get());
    UINT children = 0;
    if (!row || FAILED(row->panel->GetChildControlCount(&children)) || children != 0) {
        return;
    }
    if (row->entry.kind == kFileKindFolder) {
        ExpandFolder(*row);
    } else {
        static_cast<void>(g_launcher.OpenFile(row->entry.path.c_str()));
    }
}

void NsStartDlg::ExpandFolder(StartMenuRow& row) noexcept
{
    try {
        std::vector<FileItemRecord> entries;
        if (!CSandBoxFileSystem::Instance().ListStartMenuFolder(row.entry.path, entries, m_ownerKey)) {
            return;
        }
        SortStartMenuEntries(entries);
        RECT rect{};
        row.panel->GetRect(&rect);
        ComPtr<Ivorrel_panel> folder = ComPtr<Ivorrel_panel>::Copy(row.panel.get());
        const int indent = row.indent + kStartChildIndent;
        for (const FileItemRecord& entry : entries) {
            if (IsHiddenChildEntry(entry)) {
                continue;
            }
            if (StartMenuRow* child = MakeRow(entry, rect, indent)) {  // may move `row` in m_rows: use `folder`
                folder->AddChild(child->panel.get());
            }
        }
        folder->ModifyState(kStateExpanded, 0);
    } catch (...) {
    }
    m_list->Redraw(TRUE);
}

void NsStartDlg::ShowButtonHover(IUnknown* sender, DWORD set) noexcept
{
    for (const ComPtr<Ivorrel_panel>& button : m_buttons) {
        if (SameObject(sender, button.get())) {
            ComPtr<Ivorrel_image> image;
            if (SUCCEEDED(m_pack->GetImage(set ? L"IDI_SBUTTON_HOVER" : L"IDI_SBUTTON_NORMAL", image.put()))) {
                button->SetImage(image.get());
                button->Redraw(TRUE);
            }
            return;
        }
    }
}

LONG NsStartDlg::OnClick(const ULONG_PTR* arguments)
{
    const UINT message = static_cast<UINT>(arguments[0]);
    const WPARAM wParam = static_cast<WPARAM>(arguments[1]);
    if (message != WM_COMMAND || HIWORD(wParam) != 0) {
        return 0;
    }
    const USHORT id = LOWORD(wParam);
    switch (id) {
    case StartControl::kComputer:
        SendOpenFolder(kComputerItemPath);
        return 1;
    case StartControl::kQuit:
        SendMessageW(m_parent, WM_CLOSE, 0, 0);
        return 1;
    default:
        OpenSpecialFolder(id);
        return 1;
    }
}

// The user's folder, else the one of all users; neither found opens nothing.
void NsStartDlg::OpenSpecialFolder(USHORT button) noexcept
{
    for (const SpecialFolderButton& folder : kFolderButtons) {
        if (folder.id != button) {
            continue;
        }
        wchar_t path[MAX_PATH] = {};
        if (SHGetSpecialFolderPathW(nullptr, path, folder.user, FALSE) ||
            SHGetSpecialFolderPathW(nullptr, path, folder.common, FALSE)) {
            SendOpenFolder(path);
        }
        return;
    }
}

void NsStartDlg::SendOpenFolder(const std::wstring& folder) noexcept
{
    OpenFolderRequest request{};
    request.owner = m_ownerKey;
    lstrcpynW(request.folder, folder.c_str(), static_cast<int>(kRecordPathChars));
    COPYDATASTRUCT data{COPYDATA_OPEN_FOLDER, sizeof(request), &request};
    SendMessageW(m_parent, WM_COPYDATA, reinterpret_cast<WPARAM>(Handle()), reinterpret_cast<LPARAM>(&data));
}

LRESULT NsStartDlg::OnKillFocus(WPARAM, LPARAM)
{
    RECT own{};
    POINT cursor{};
    GetWindowRect(Handle(), &own);
    GetCursorPos(&cursor);
    const RECT startButton{own.left, own.bottom, own.left + kStartButtonWidth, own.bottom + kStartButtonHeight};
    if (!PtInRect(&startButton, cursor)) {
        if (m_list) {
            m_list->CancelTracking();
        }
        ShowWindow(Handle(), SW_HIDE);
    }
    return 0;
}

LRESULT NsStartDlg::OnHostMoved(WPARAM wParam, LPARAM lParam)
{
    m_base.FollowHost(static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
}

LRESULT NsStartDlg::OnClose(WPARAM, LPARAM)
{
    m_base.Detach();
    DestroyWindow(Handle());
    return 0;
}

namespace {

std::unique_ptr<IDesktopWindow> MakeStartMenu(HWND parent, int ownerKey)
{
    auto menu = std::unique_ptr<NsStartDlg>(new (std::nothrow) NsStartDlg(ownerKey));
    if (!menu || !menu->Create(parent)) {
        return nullptr;
    }
    return menu;
}

}  // namespace

void InstallStartMenu() noexcept
{
    DesktopParts().startMenu = &MakeStartMenu;
}

}  // namespace veyra
