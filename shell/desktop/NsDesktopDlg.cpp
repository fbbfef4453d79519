#include "shell/desktop/NsDesktopDlg.h"

#include <shlobj.h>
#include <shellapi.h>

#include "core/SandBoxHelper.h"
#include "core/SuiteFolder.h"
#include "core/fileops/ChangeNotice.h"
#include "core/processwatch/ProcessListManager.h"
#include "shell/desktop/DesktopTimers.h"
#include "shell/desktop/DesktopQuestions.h"
#include "shell/skin/SkinBinding.h"
#include "shell/skin/SkinLayouts.h"
#include "shell/skin/SkinStartup.h"

namespace veyra {

using namespace vorrelUI;

const wchar_t kDesktopWindowClass[] = L"KavoSandBoxClass";

namespace {

constexpr DWORD kDesktopStyle = 0x06CF0000;  // WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS
constexpr int kProgramIconId = 128;
constexpr int kRootOption = 15;
constexpr USHORT kPanelOptionFirst = 128;
constexpr int kStartButtonLeft = 5;
constexpr int kStartButtonWidth = 40;
constexpr int kTaskbarAreaLeftInset = 40;
constexpr int kTaskbarAreaRightInset = 22;
constexpr DWORD kTaskbarAreaControlStyle = 3;

// The desktop's questions go to the skin library's own message box.
int AskTheLibrary(HWND owner, const wchar_t* text, const wchar_t* caption, int type) noexcept
{
    return skin::EngineMessageBox(owner, text, caption, static_cast<UINT>(type));
}

const USHORT kAdvisedControls[] = {DesktopControl::kDesktopPanel, DesktopControl::kStart, DesktopControl::kNetwork,
                                   DesktopControl::kSettings,     DesktopControl::kShowDesktop, DesktopControl::kClose,
                                   DesktopControl::kMinimise,     DesktopControl::kHelp};

void SetNamedImage(Ivorrel_imagebutton* button, const wchar_t* name) noexcept
{
    ComPtr<Ivorrel_image> image;
    if (button && skin::ResRegistryPtr && SUCCEEDED(skin::ResRegistryPtr->FindImage(name, image.put()))) {
        button->SetImage(image.get());
    }
}

std::wstring SpecialFolder(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    return SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE) ? std::wstring(folder) : std::wstring();
}

}  // namespace

DesktopPartFactories& DesktopParts() noexcept
{
    static DesktopPartFactories factories;
    return factories;
}

NsDesktopDlg::NsDesktopDlg(int ownerKey) noexcept : m_ownerKey(ownerKey)
{
    try {
        m_desktopFolder = SpecialFolder(CSIDL_DESKTOP);
        // Read once: every change notice is routed by it, and the lookup goes through the registry.
        m_commonDesktopFolder = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    } catch (...) {
    }
}

NsDesktopDlg::~NsDesktopDlg()
{
    if (m_loop) {
        m_loop->RemoveFilter(this);
    }
    m_settingsMenu.reset();
    m_dropTarget.Revoke();
    m_view.reset();
    if (m_skin) {
        m_skin->ReleaseControls();
    }
}

bool NsDesktopDlg::CreateDesktopWindow() noexcept
{
    WindowClass windowClass;
    windowClass.name = kDesktopWindowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId));
    WindowPlacement placement;
    placement.exStyle = WS_EX_APPWINDOW;
    placement.style = kDesktopStyle;
    return Create(windowClass, L"Veyra", placement);
}

std::span<const skin::SkinEventSink<NsDesktopDlg>::Entry> NsDesktopDlg::Events()
{
    static const SkinEventSink::Entry entries[] = {
        {1, &DIID_Ivorrel_events, 1, 4, &NsDesktopDlg::OnSkinEvent},
    };
    return entries;
}

LRESULT NsDesktopDlg::OnCreate(WPARAM, LPARAM)
{
    if (MessageLoop* loop = MessageLoop::Current()) {
        loop->AddFilter(this);
        m_loop = loop;
    }
    // No system caption, no resizing: the window is moved by its title strip.
    const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    SetWindowLongW(Handle(), GWL_STYLE, style & ~(WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX));
    SetTimer(Handle(), DesktopTimer::kProcessSnapshot, DesktopTimer::kProcessSnapshotMs, nullptr);
    if (!BuildSkin()) {
        ExitProcess(0);
    }
    if (DesktopParts().view) {
        m_view = DesktopParts().view(m_desktopPanel.get(), Handle(), m_ownerKey);
        if (!m_view) {
            ExitProcess(0);  // only without memory
        }
        // Without a drop target the desktop works without drag and drop; nothing to tell.
        static_cast<void>(m_dropTarget.Register(Handle(), m_view->DropHandler(), m_desktopFolder));
        m_view->Reload(std::wstring());
    }
    SetUpTaskbarStrip();
    m_skin->Show(TRUE);
    AdviseControls();
    CenterWindowOnScreen(Handle());
    SetWindowTextW(Handle(), L"Veyra");
    RegisterHostWindow(m_ownerKey, Handle());
    if (CSandBoxHelper::GetInstance().ShouldShowGuide()) {
        SetTimer(Handle(), DesktopTimer::kIntroduction, DesktopTimer::kIntroductionMs, nullptr);
    }
    return 1;
}

bool NsDesktopDlg::BuildSkin() noexcept
{
    // The shared start-up: a missing proxy, pack or theme file leaves the skin plainer, not the desktop
    // away; only without the engine's objects is there no window to build.
    wchar_t suite[MAX_PATH] = {};
    const skin::SkinStartReport report =
        skin::StartSkin(GetSuiteFilePath(suite, MAX_PATH, L"") ? suite : nullptr);
    if (!skin::EnginePtr || !skin::ResRegistryPtr || !skin::ThemeLoaderPtr) {
        return false;
    }
    if (!report.Succeeded()) {
        OutputDebugStringA(skin::SkinStartStepName(report.failedStep));  // what a plainer skin lacks
    }
    SetLibraryMessageBox(&AskTheLibrary);
    wchar_t folder[MAX_PATH] = {};
    skin::GetSkinDirectory(folder);
    ComPtr<Ivorrel_winfactory> factory;
    const std::wstring layout = std::wstring(folder) + L"\\KavoSandBox\\KavoSandbox.xml";
    if (FAILED(skin::CreateWindowFactory(factory)) || !factory ||
        FAILED(factory->CreateSkinWindow(layout.c_str(), Handle(), 0, m_skin.put())) || !m_skin) {
        return false;
    }
    if (FAILED(m_skin->GetRoot(m_root.put())) || !m_root) {
        return false;
    }
    m_root->SetOption(kRootOption);
    using namespace DesktopControl;
    if (!skin::FindControlAs(m_skin.get(), kDesktopPanel, IID_Ivorrel_panel, m_desktopPanel) ||
        !skin::FindControlAs(m_skin.get(), kTaskbarPanel, IID_Ivorrel_panel, m_taskbarPanel) ||
        !skin::FindControlAs(m_skin.get(), kShowDesktop, IID_Ivorrel_panel, m_showDesktopPanel) ||
        !skin::FindControlAs(m_skin.get(), kNetwork, IID_Ivorrel_imagebutton, m_networkButton) ||
        !skin::FindControlAs(m_skin.get(), kTitle, IID_Ivorrel_label, m_title) ||
        !skin::FindControlAs(m_skin.get(), kSettings, IID_Ivorrel_imagebutton, m_settingsButton) ||
        !skin::FindControlAs(m_skin.get(), kClose, IID_Ivorrel_imagebutton, m_closeButton) ||
        !skin::FindControlAs(m_skin.get(), kMinimise, IID_Ivorrel_imagebutton, m_minimiseButton) ||
        !skin::FindControlAs(m_skin.get(), kHelp, IID_Ivorrel_imagebutton, m_helpButton)) {
        return false;
    }
    m_settingsButton->SetTooltip(L"设置");
    m_closeButton->SetTooltip(L"关闭");
    m_minimiseButton->SetTooltip(L"最小化");
    m_helpButton->SetTooltip(L"功能介绍");
    m_desktopPanel->SetOptionPair(kPanelOptionFirst, 0, TRUE);
    m_taskbarPanel->SetOptionPair(kPanelOptionFirst, 0, TRUE);
    m_title->SetText(kDesktopTitleText);
    return true;
}

void NsDesktopDlg::SetUpTaskbarStrip() noexcept
{
    RECT strip{};
    m_taskbarPanel->GetRect(&strip);
    if (skin::CreateButtonControl(m_startButton)) {
        SetNamedImage(m_startButton.get(), L"IDI_IMAGE_WINDOWS");
        const RECT start{strip.left + kStartButtonLeft, strip.top, strip.left + kStartButtonLeft + kStartButtonWidth,
                         strip.bottom};
        m_startButton->Move(&start, FALSE);
        // A created control starts hidden; the start button is there to be seen.
        m_startButton->ModifyStyle(kStyleVisible, 0);
        m_startButton->SetId(DesktopControl::kStart);
        m_taskbarPanel->AddChild(m_startButton.get());
    }
    m_networkBlocked = CSandBoxHelper::IsNetBlocked();
    SetNamedImage(m_networkButton.get(), m_networkBlocked ? L"IDI_IMAGE_DISCONNECTINTERNET" : L"IDI_IMAGE_INTERNET");
    if (!skin::CreatePanelControl(m_taskbarArea)) {
        return;  // no taskbar area: no taskbar view, no process-watch subscription
    }
    const RECT area{strip.left + kTaskbarAreaLeftInset, strip.top, strip.right - kTaskbarAreaRightInset, strip.bottom};
    m_taskbarArea->Move(&area, FALSE);
    m_taskbarArea->ModifyStyle(kStyleVisible, 0);
    m_taskbarArea->SetId(DesktopControl::kTaskbarArea);
    m_taskbarArea->ModifyControlStyle(kTaskbarAreaControlStyle, 0);
    m_taskbarPanel->AddChild(m_taskbarArea.get());
    CProcessListManager::GetInstance().Subscribe(Handle(), WM_NS_TASKS_CHANGED, 0);
}

void NsDesktopDlg::AdviseControls() noexcept
{
    for (const USHORT id : kAdvisedControls) {
        ComPtr<Ivorrel_control> control;
        DWORD cookie = 0;
        if (SUCCEEDED(m_skin->FindControl(id, control.put()))) {
            (void)skin::AdviseEvents(control.get(), static_cast<IDispatch*>(this), &cookie);
        }
    }
}

LONG NsDesktopDlg::OnSkinEvent(const ULONG_PTR* arguments)
{
    const UINT message = static_cast<UINT>(arguments[0]);
    const WPARAM wParam = static_cast<WPARAM>(arguments[1]);
    if (message != WM_COMMAND || HIWORD(wParam) != 0) {
        return 0;
    }
    return OnControlClicked(LOWORD(wParam));
}

LONG NsDesktopDlg::OnControlClicked(USHORT id)
{
    switch (id) {
    case DesktopControl::kStart:
        ShowStartMenu();
        return 0;
    case DesktopControl::kNetwork:
        ToggleNetwork();
        return 0;
    case DesktopControl::kSettings:
        ShowSettingsMenu();
        return 0;
    case DesktopControl::kShowDesktop:
        m_registered.HideAll();
        return 0;
    case DesktopControl::kClose:
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return 1;
    case DesktopControl::kMinimise:
        ShowWindow(Handle(), SW_MINIMIZE);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return 1;
    case DesktopControl::kHelp:
        ShellExecuteFile(Handle(), L"open", HelpPageAddress().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return 1;
    default:
        return 0;
    }
}

}  // namespace veyra
