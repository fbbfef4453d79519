#include "CMainDlg.h"

#include <shlwapi.h>

#include "resources/setup/SetupResources.h"
#include "setup/CMessageDlg.h"
#include "setup/InstallEngine.h"
#include "setup/InstallerMessages.h"

namespace veyra::setup {

namespace {

constexpr wchar_t kCaption[] = L"Veyra";
constexpr wchar_t kNotice[] =
    L"本程序需要系统已安装KavoWarden并开启了沙箱。\r\n 在安装或恢复过程中需暂时关闭KavoWarden的自我保护功能！";
constexpr wchar_t kSuiteNotFound[] = L"未检测到系统安装了KavoWarden！";
constexpr wchar_t kUninstallFailed[] = L"卸载失败！请关闭Veyra及Kavo自我保护再进行尝试。";
constexpr wchar_t kTrayMissing[] = L"未检测到KavoWarden的托盘程序，无法安装！请重新安装KavoWarden后再进行尝试。";

HICON LoadSetupIcon(int widthMetric, int heightMetric) noexcept
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SETUP), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0));
}

}  // namespace

std::span<const CMainDlg::Entry> CMainDlg::Messages()
{
    static const Entry entries[] = {
        {WM_INITDIALOG, &CMainDlg::OnInitDialog},
        {WM_CLOSE, &CMainDlg::OnClose},
        {WM_DESTROY, &CMainDlg::OnDestroy},
        {WM_INSTALLER_SHOW_HINT, &CMainDlg::OnShowHint},
        {WM_INSTALLER_REFRESH, &CMainDlg::OnRefresh},
        {WM_COMMAND, &CMainDlg::OnCommand},
    };
    return entries;
}

bool CMainDlg::PreTranslateMessage(MSG& message)
{
    return Handle() && IsDialogMessageW(Handle(), &message);
}

INT_PTR CMainDlg::OnInitDialog(WPARAM, LPARAM)
{
    CenterWindowOver(Handle(), nullptr);
    SetIcons();
    if (MessageLoop* loop = MessageLoop::Current()) {
        loop->AddFilter(this);
    }
    SetDlgItemTextW(Handle(), IDC_NOTICE, kNotice);
    CheckState();
    return TRUE;
}

void CMainDlg::SetIcons()
{
    m_bigIcon.reset(LoadSetupIcon(SM_CXICON, SM_CYICON));
    m_smallIcon.reset(LoadSetupIcon(SM_CXSMICON, SM_CYSMICON));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.get()));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.get()));
}

INT_PTR CMainDlg::OnClose(WPARAM, LPARAM)
{
    DestroyWindow(Handle());
    PostQuitMessage(0);
    return TRUE;
}

INT_PTR CMainDlg::OnDestroy(WPARAM, LPARAM)
{
    if (MessageLoop* loop = MessageLoop::Current()) {
        loop->RemoveFilter(this);
    }
    return FALSE;
}

INT_PTR CMainDlg::OnShowHint(WPARAM, LPARAM)
{
    CMessageDlg hint;
    hint.RunModal(GetModuleHandleW(nullptr), IDD_MESSAGE_DLG, GetActiveWindow());
    SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, 0);
    return TRUE;
}

INT_PTR CMainDlg::OnRefresh(WPARAM, LPARAM)
{
    CheckState();
    return TRUE;
}

INT_PTR CMainDlg::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDC_INSTALL:
        OnInstall();
        return TRUE;
    case IDC_UNINSTALL:
        OnUninstall();
        return TRUE;
    case IDC_REFRESH:
        CheckState();
        return TRUE;
    default:
        return FALSE;
    }
}

void CMainDlg::CheckState()
{
    InstallEngine& engine = InstallEngine::Instance();
    engine.SetDialog(Handle());
    EnableWindow(GetDlgItem(Handle(), IDC_INSTALL), FALSE);
    EnableWindow(GetDlgItem(Handle(), IDC_UNINSTALL), FALSE);
    const std::wstring program = engine.SuitePath(kSuiteProgram);
    const std::wstring engineLibrary = engine.SuitePath(kEngineLibrary);
    if (program.empty() || !PathFileExistsW(program.c_str()) || !PathFileExistsW(engineLibrary.c_str())) {
        SetDlgItemTextW(Handle(), IDC_PATH, kSuiteNotFound);
        return;
    }
    EnableWindow(GetDlgItem(Handle(), IDC_INSTALL), TRUE);
    SetDlgItemTextW(Handle(), IDC_PATH, program.c_str());
    EnableWindow(GetDlgItem(Handle(), IDC_UNINSTALL), engine.CanUninstall());
}

void CMainDlg::OnInstall()
{
    InstallEngine& engine = InstallEngine::Instance();
    // Without the tray program the install cannot go on: say so rather than do nothing.
    if (!engine.IsTrayPresent()) {
        MessageBoxW(Handle(), kTrayMissing, kCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    engine.Install();
}

void CMainDlg::OnUninstall()
{
    if (!InstallEngine::Instance().Uninstall()) {
        MessageBoxW(Handle(), kUninstallFailed, kCaption, MB_OK);
    }
}

}  // namespace veyra::setup
