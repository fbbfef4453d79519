// The desktop window's shut-down, restore and merge switch, the records other windows send it, and
// the protocol messages that reach its parts.

#include "core/Launcher.h"
#include "core/SandBoxHelper.h"
#include "core/processwatch/ProcessListManager.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/desktop/DesktopQuestions.h"
#include "shell/desktop/DesktopShutdown.h"
#include "shell/desktop/DesktopTimers.h"
#include "shell/desktop/NsDesktopDlg.h"
#include "shell/skin/SkinBinding.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr WORD kRefreshCommand = 0x800E;
constexpr LONG kGuideTipWidth = 123;
constexpr LONG kGuideTipHeight = 42;

}  // namespace

LRESULT NsDesktopDlg::OnClose(WPARAM, LPARAM)
{
    const ExitAnswer answer = ClassifyExitAnswer(ConfirmExitCloseAll(m_ownerKey));
    if (answer == ExitAnswer::Stay) {
        return 0;
    }
    PrepareExit(m_registered, answer == ExitAnswer::EndProgramsAndExit, CProcessListManager::GetInstance(),
                m_ownerKey);
    m_dropTarget.Revoke();
    EndProcess();
}

// Nothing is saved or unregistered: settings were written when they changed.
void NsDesktopDlg::EndProcess() noexcept
{
    TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);  // not reached: TerminateProcess of the own process does not return
}

LRESULT NsDesktopDlg::OnTrayExit()
{
    PrepareExit(m_registered, false, CProcessListManager::GetInstance(), m_ownerKey);
    EndProcess();
}

LRESULT NsDesktopDlg::OnCopyData(WPARAM, LPARAM lParam)
{
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data) {
        return 1;
    }
    switch (data->dwData) {
    case COPYDATA_OPEN_FOLDER: {
        OpenFolderRequest request{};
        if (CheckOpenFolderRequest(data, request) != RecordCheck::Accepted) {
            break;
        }
        // Without a desktop view the window still opens folder windows itself.
        if (m_view) {
            m_view->OpenFolderWindow(request.folder, request.select);
        } else if (DesktopParts().openFolderWindow) {
            DesktopParts().openFolderWindow(Handle(), m_ownerKey, request.folder, request.select);
        }
        break;
    }
    case COPYDATA_REGISTER_WINDOW: {
        HostWindowEntry entry{};
        if (CheckRegistration(data, entry) == RecordCheck::Accepted) {
            m_registered.Add(WindowOf(entry), entry);
        }
        break;
    }
    case COPYDATA_UNREGISTER_WINDOW: {
        HostWindowEntry entry{};
        if (CheckUnregistration(data, entry) == RecordCheck::Accepted) {
            m_registered.Remove(WindowOf(entry));
        }
        break;
    }
    case COPYDATA_CHANGE_NOTICE: {
        ChangeNoticeRecord notice{};
        if (CheckChangeNotice(data, notice) != RecordCheck::Accepted) {
            break;
        }
        if (IsDesktopViewFolderOf(notice.path1, m_desktopFolder, m_commonDesktopFolder)) {
            if (m_view) {
                m_view->ApplyChangeNotice(notice);
            }
        } else {
            const COPYDATASTRUCT checked{COPYDATA_CHANGE_NOTICE, sizeof(notice), &notice};
            m_registered.ForwardChangeNotice(checked, Handle());
        }
        break;
    }
    default:
        break;
    }
    return 1;
}

LRESULT NsDesktopDlg::OnTasksChanged(WPARAM, LPARAM)
{
    if (!m_taskbar && DesktopParts().taskbar && m_taskbarArea) {
        m_taskbar = DesktopParts().taskbar(m_taskbarArea.get(), Handle(), m_ownerKey);
    }
    if (m_taskbar) {
        m_taskbar->Refresh();
        m_taskbarArea->ModifyStyle(kStyleVisible, 0);
    }
    return 1;
}

// wParam is the caller's HostWindowMap: a pointer, trusted only from a send of this thread.
LRESULT NsDesktopDlg::OnGetFolderWindows(WPARAM wParam, LPARAM)
{
    if (!wParam || !IsSentByThisThread()) {
        return 0;
    }
    *reinterpret_cast<HostWindowMap*>(wParam) = m_registered.Snapshot();
    return 1;
}

LRESULT NsDesktopDlg::OnStartOperation(WPARAM wParam, LPARAM)
{
    if (!wParam || !IsSentByThisThread()) {
        return 0;
    }
    if (DesktopParts().startOperation) {
        DesktopParts().startOperation(reinterpret_cast<NsOperate*>(wParam), Handle(), m_ownerKey);
    }
    return 1;
}

LRESULT NsDesktopDlg::OnRestoreSystem(WPARAM, LPARAM)
{
    if (!ConfirmRestore(m_ownerKey)) {
        return 0;
    }
    // A worker still writing would refill the sandbox after the clean: then nothing is cleaned.
    if (!PrepareRestore(m_registered)) {
        return 0;
    }
    CSandBoxHelper::GetInstance().CleanupSandBox();
    if (m_view) {
        m_view->Reload(std::wstring());
    }
    return 1;
}

LRESULT NsDesktopDlg::OnToggleMerge(WPARAM, LPARAM)
{
    const int noMerge = CSandBoxFileSystem::Instance().ToggleNoMerge();
    CSandBoxHelper::SetNoMergeFile(static_cast<DWORD>(noMerge));
    ReloadWithHostWindows();
    return 1;
}

void NsDesktopDlg::ReloadWithHostWindows() noexcept
{
    if (m_view) {
        m_view->Reload(std::wstring());
    }
    m_registered.PostCommandToKinds(HostKind::kFolderWindow, kRefreshCommand);
}

LRESULT NsDesktopDlg::OnShowProcesses(WPARAM, LPARAM)
{
    ShowTaskManager();
    return 1;
}

LRESULT NsDesktopDlg::OnTaskManagerClosed(WPARAM, LPARAM)
{
    m_taskManager.reset();
    return 1;
}

LRESULT NsDesktopDlg::OnShowGuideTip(WPARAM, LPARAM)
{
    ComPtr<Ivorrel_panel> tip;
    if (!skin::CreatePanelControl(tip)) {
        return 0;
    }
    RECT panel{};
    m_desktopPanel->GetRect(&panel);
    const RECT rect{panel.right - kGuideTipWidth, panel.top, panel.right, panel.top + kGuideTipHeight};
    tip->Move(&rect, FALSE);
    tip->ModifyStyle(kStyleVisible, 0);  // a created control starts hidden
    m_desktopPanel->AddChild(tip.get());
    ComPtr<Ivorrel_image> image;
    if (skin::ResRegistryPtr && SUCCEEDED(skin::ResRegistryPtr->FindImage(L"IDI_IMAGE_GUIDE", image.put()))) {
        tip->SetImage(image.get());
    }
    if (m_guideTip) {
        m_desktopPanel->RemoveChild(m_guideTip.get());
    }
    m_guideTip = std::move(tip);
    m_desktopPanel->Redraw(TRUE);
    SetTimer(Handle(), DesktopTimer::kGuideTip, DesktopTimer::kGuideTipMs, nullptr);
    return 1;
}

void NsDesktopDlg::ToggleNetwork() noexcept
{
    const int block = m_networkBlocked ? 0 : 1;
    if (!g_launcher.ToggleNetworkAccess(block, m_ownerKey)) {
        return;
    }
    m_networkBlocked = block;
    ComPtr<Ivorrel_image> image;
    const wchar_t* name = block ? L"IDI_IMAGE_DISCONNECTINTERNET" : L"IDI_IMAGE_INTERNET";
    if (skin::ResRegistryPtr && SUCCEEDED(skin::ResRegistryPtr->FindImage(name, image.put()))) {
        m_networkButton->SetImage(image.get());
    }
    m_networkButton->Redraw(TRUE);
}

void NsDesktopDlg::ShowStartMenu() noexcept
{
    if (m_startMenu) {
        const HWND menu = m_startMenu->Handle();
        if (IsWindowVisible(menu)) {
            ShowWindow(menu, SW_HIDE);
        } else {
            m_startMenu->Reload();
            ShowWindow(menu, SW_SHOWDEFAULT);
        }
        return;
    }
    if (DesktopParts().startMenu && (m_startMenu = DesktopParts().startMenu(Handle(), m_ownerKey))) {
        ShowWindow(m_startMenu->Handle(), SW_SHOWDEFAULT);
    }
}

void NsDesktopDlg::ShowSettingsMenu() noexcept
{
    constexpr int kBelowTop = 26;
    if (!m_settingsMenu && DesktopParts().settingsMenu) {
        m_settingsMenu = DesktopParts().settingsMenu(Handle(), m_ownerKey);
    }
    if (!m_settingsMenu) {
        return;
    }
    const HWND menu = m_settingsMenu->Handle();
    ShowWindow(menu, SW_SHOW);
    RECT own{};
    RECT box{};
    GetWindowRect(Handle(), &own);
    GetWindowRect(menu, &box);
    SetWindowPos(menu, nullptr, own.right - (box.right - box.left), own.top + kBelowTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void NsDesktopDlg::ShowTaskManager() noexcept
{
    if (m_taskManager) {
        ShowWindow(m_taskManager->Handle(), SW_RESTORE);
        SetForegroundWindow(m_taskManager->Handle());
        return;
    }
    if (DesktopParts().taskManager && (m_taskManager = DesktopParts().taskManager(Handle(), m_ownerKey))) {
        ShowWindow(m_taskManager->Handle(), SW_SHOWDEFAULT);
    }
}

}  // namespace veyra
