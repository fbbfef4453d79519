// The folder window's navigation: history, back, forward, the address box with Go, the toolbar, the
// navigation pane and the window's own maximise inside the desktop.

#include <new>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/directory/FolderAddress.h"
#include "shell/directory/FolderInput.h"
#include "shell/directory/NsDirectoryDlg.h"
#include "shell/skin/SkinBinding.h"
#include "shell/skin/SkinLayouts.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr int kAddressOption = 5;
constexpr int kComputerRowOffset = 200;
constexpr USHORT kOpenRow = 0x100;  // the pair (open, nothing cleared) expands a list row
constexpr int kRemovableDrive = 2;
constexpr int kFixedDrive = 3;
constexpr wchar_t kLibraryNames[][3] = {L"视频", L"图片", L"文档", L"音乐"};

void SetRegisteredImage(Ivorrel_imagebutton* button, const wchar_t* name) noexcept
{
    ComPtr<Ivorrel_image> image;
    if (button && skin::ResRegistryPtr && SUCCEEDED(skin::ResRegistryPtr->FindImage(name, image.put()))) {
        static_cast<void>(button->SetImage(image.get()));
    }
}

void SetButtonEnabled(Ivorrel_imagebutton* button, bool enabled) noexcept
{
    if (button) {
        static_cast<void>(enabled ? button->ModifyStyle(0, kStyleDisabled) : button->ModifyStyle(kStyleDisabled, 0));
        static_cast<void>(button->Redraw(FALSE));
    }
}

std::wstring DriveLabel(const FileItemRecord& record)
{
    wchar_t label[MAX_PATH + 1] = {};
    const std::wstring root = record.path + L"\\";
    if (!GetVolumeInformationW(root.c_str(), label, ARRAYSIZE(label), nullptr, nullptr, nullptr, nullptr, 0)) {
        label[0] = L'\0';
    }
    if (label[0]) {
        return label;
    }
    if (record.driveType == kRemovableDrive) {
        return L"可移动磁盘";
    }
    return record.driveType == kFixedDrive ? L"本地磁盘" : L"";
}

}  // namespace

void NsDirectoryDlg::UpdateButtons()
{
    SetButtonEnabled(m_backButton.get(), m_history.CanGoBack());
    SetButtonEnabled(m_forwardButton.get(), m_history.CanGoForward());
}

void NsDirectoryDlg::UpdateAddressBox()
{
    if (m_addressBox) {
        static_cast<void>(m_addressBox->SetEditText(AddressTextFor(m_history.Current()).c_str()));
    }
}

void NsDirectoryDlg::Navigate(const std::wstring& path)
{
    m_history.Navigate(path);
    m_dropTarget.SetDefaultTargetPath(path);
    UpdateAddressBox();
    UpdateButtons();
}

void NsDirectoryDlg::ShowHistoryEntry(const std::wstring& path)
{
    m_dropTarget.SetDefaultTargetPath(path);
    if (m_view) {
        static_cast<void>(m_view->Reload(path));
    }
    UpdateButtons();
    UpdateAddressBox();
}

void NsDirectoryDlg::GoBack()
{
    if (const auto target = m_history.Back()) {
        ShowHistoryEntry(*target);
    }
}

void NsDirectoryDlg::GoForward()
{
    if (const auto target = m_history.Forward()) {
        ShowHistoryEntry(*target);
    }
}

void NsDirectoryDlg::Go()
{
    if (!m_addressBox) {
        return;
    }
    wchar_t text[MAX_PATH * 2] = {};  // the box takes 500 characters
    static_cast<void>(m_addressBox->GetEditText(text, ARRAYSIZE(text)));
    const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    const int sandboxId = m_ownerKey;
    const GoDecision decision = DecideGo(text, m_history.Current(), [&view, sandboxId](const std::wstring& path) {
        return view.ClassifyPath(path, sandboxId) == SBFS_FOLDER;
    });
    switch (decision.action) {
    case GoAction::Nothing:
        return;
    case GoAction::Refuse:
        UpdateAddressBox();
        return;
    case GoAction::Navigate:
        if (decision.rewriteBox) {
            static_cast<void>(m_addressBox->SetEditText(decision.path.c_str()));
        }
        Navigate(decision.path);
        if (m_view) {
            static_cast<void>(m_view->Reload(decision.path));
        }
        return;
    }
}

void NsDirectoryDlg::BuildToolbar()
{
    ComPtr<Ivorrel_image> image;
    if (skin::ResRegistryPtr && SUCCEEDED(skin::ResRegistryPtr->FindImage(L"IDI_PNG_TOOLBAR", image.put()))) {
        static_cast<void>(m_toolbar->SetImage(image.get()));
    }
    RECT panel{};
    static_cast<void>(m_toolbar->GetRect(&panel));
    const struct {
        ComPtr<Ivorrel_imagebutton>& button;
        const wchar_t* image;
        RECT rect;
    } buttons[] = {
        {m_backButton, L"IDI_PNG_BACK", RECT{panel.left + 1, panel.top + 2, panel.left + 26, panel.top + 27}},
        {m_forwardButton, L"IDI_PNG_FORWARD", RECT{panel.left + 30, panel.top + 2, panel.left + 55, panel.top + 27}},
    };
    for (const auto& entry : buttons) {
        if (!skin::CreateButtonControl(entry.button)) {
            continue;
        }
        SetRegisteredImage(entry.button.get(), entry.image);
        static_cast<void>(entry.button->Move(&entry.rect, FALSE));
        static_cast<void>(entry.button->ModifyStyle(kStyleVisible | kStyleDisabled, 0));
        static_cast<void>(m_toolbar->AddChild(entry.button.get()));
    }
    static_cast<void>(m_addressBox->SetOption(kAddressOption));
    UpdateAddressBox();
}

void NsDirectoryDlg::BuildNavigationPane()
{
    RECT r{};
    static_cast<void>(m_pane->GetRect(&r));
    auto addRow = [this, &r](NavKind kind, LONG top, const std::wstring& text, const std::wstring& path) -> NavItem* {
        auto item = std::unique_ptr<NavItem>(new (std::nothrow) NavItem(m_ownerKey));
        if (!item || !item->Create(kind, RECT{r.left, top, r.right, top + kNavRowHeight}, text, path)) {
            return nullptr;
        }
        m_navItems.push_back(std::move(item));
        return m_navItems.back().get();
    };
    NavItem* libraries = addRow(NavKind::LibrariesHeader, r.top, L"库", L"");
    NavItem* computer = addRow(NavKind::ComputerHeader, r.top + kComputerRowOffset, L"计算机", L"");
    if (libraries) {
        static_cast<void>(m_pane->AddChild(libraries->Row()));
        LONG top = r.top;
        for (const wchar_t* name : kLibraryNames) {
            top += kNavRowHeight;
            if (NavItem* row = addRow(NavKind::Library, top, name, name)) {
                static_cast<void>(libraries->Row()->AddChild(row->Row()));
            }
        }
        static_cast<void>(libraries->Row()->SetOptionPair(kOpenRow, 0, TRUE));
    }
    if (computer) {
        static_cast<void>(m_pane->AddChild(computer->Row()));
        std::vector<FileItemRecord> drives;
        if (!CSandBoxFileSystem::Instance().ListFolder(kComputerItemPath, drives, m_ownerKey)) {
            return;
        }
        LONG top = r.top + kComputerRowOffset;
        for (const FileItemRecord& drive : drives) {
            const std::wstring label = DriveLabel(drive);
            if (label.empty()) {
                continue;
            }
            top += kNavRowHeight;
            if (NavItem* row = addRow(NavKind::Drive, top, label + L"(" + drive.path + L")", drive.path)) {
                static_cast<void>(computer->Row()->AddChild(row->Row()));
            }
        }
        static_cast<void>(computer->Row()->SetOptionPair(kOpenRow, 0, TRUE));
    }
    static_cast<void>(m_pane->Refresh());
    static_cast<void>(m_pane->Redraw(FALSE));
}

void NsDirectoryDlg::OpenPaneRow()
{
    ComPtr<Ivorrel_control> row;
    LONG_PTR value = 0;
    if (FAILED(m_pane->GetSelected(row.put())) || !row || FAILED(row->GetUserValue(&value))) {
        return;
    }
    // The user value names a row only when it is one of this window's.
    for (const auto& item : m_navItems) {
        if (reinterpret_cast<LONG_PTR>(item.get()) != value) {
            continue;
        }
        std::wstring path;
        if ((item->Kind() == NavKind::Library || item->Kind() == NavKind::Drive) && item->ResolvePath(path)) {
            static_cast<void>(m_addressBox->SetEditText(path.c_str()));
            Go();
        }
        return;
    }
}

INT_PTR NsDirectoryDlg::OnSysCommand(WPARAM wParam, LPARAM)
{
    switch (wParam & 0xFFF0) {
    case SC_MAXIMIZE:  // also 0xF032, the double click on a caption
        ToggleMaximise();
        return TRUE;
    case SC_MINIMIZE:
        return TRUE;  // its minimise button hides it instead
    default:
        return FALSE;
    }
}

void NsDirectoryDlg::ToggleMaximise()
{
    HWND parent = GetParent(Handle());
    RECT own{};
    RECT desktop{};
    if (!parent || !GetWindowRect(Handle(), &own) || !GetWindowRect(parent, &desktop)) {
        return;
    }
    if (!m_maximised) {
        m_restoreCorner = POINT{own.left, own.top};
        ScreenToClient(parent, &m_restoreCorner);
        m_restoreSize = SIZE{own.right - own.left, own.bottom - own.top};
        const RECT filled = MaximisedFolderRect(desktop);
        MoveWindow(Handle(), filled.left, filled.top, filled.right - filled.left, filled.bottom - filled.top, TRUE);
        m_maximised = 1;
    } else {
        POINT corner = m_restoreCorner;
        ClientToScreen(parent, &corner);
        MoveWindow(Handle(), corner.x, corner.y, m_restoreSize.cx, m_restoreSize.cy, TRUE);
        m_maximised = 0;
    }
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace veyra
