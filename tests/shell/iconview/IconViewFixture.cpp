#include "tests/shell/iconview/IconViewFixture.h"

#include <commctrl.h>

#include "core/GlobalInfo.h"
#include "shell/skin/SkinBinding.h"

namespace veyra::test {

namespace {

constexpr wchar_t kHostClass[] = L"IconViewTestHost";

// The host reflects its children's notifications back to them, as the program's windows do.
LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && lParam) {
        return SendMessageW(reinterpret_cast<HWND>(lParam), WM_USER + 0x1C00 + WM_COMMAND, wParam, lParam);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const OsVersionSource kPreVista = {
    [](OSVERSIONINFOEXW* record) -> BOOL {
        record->dwMajorVersion = 5;
        record->dwMinorVersion = 1;
        record->dwBuildNumber = 2600;
        return TRUE;
    },
    nullptr,
    [](wchar_t* buffer, UINT capacity) -> UINT { return GetWindowsDirectoryW(buffer, capacity); },
    nullptr,
    [](const wchar_t*) -> BOOL { return TRUE; },
    [](const wchar_t*) -> DWORD { return 1800; },
    [](const wchar_t*, DWORD, VS_FIXEDFILEINFO* fixed) -> bool {
        fixed->dwProductVersionMS = MAKELONG(1, 5);
        fixed->dwProductVersionLS = MAKELONG(0, 2600);
        return true;
    },
};

}  // namespace

void IconViewFixture::SetUp()
{
    SandBoxViewFixture::SetUp();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    g_globalInfo.Init();
    m_suite = std::make_unique<FakeSuite>(SuitePart::SkinLibrary | SuitePart::ThemeFiles | SuitePart::Tray);
    ASSERT_NE(LoadLibraryW((*m_suite / L"vorrel.dll").c_str()), nullptr);
    ASSERT_EQ(skin::CreateEngine(), S_OK);
    ComPtr<vorrelUI::Ivorrel_theme> theme;
    ASSERT_EQ(skin::EnginePtr->GetTheme(theme.put()), S_OK);
    EXPECT_EQ(theme->LoadTheme((m_suite->ThemeFolder() + L"\\sandbox_theme.xml").c_str()), S_OK);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.lpszClassName = kHostClass;
    RegisterClassW(&windowClass);
}

void IconViewFixture::TearDown()
{
    if (m_window) {
        m_window->ReleaseControls();
        m_window.reset();
    }
    m_host.reset();
    skin::EnginePtr.reset();
    if (m_oldSystem) {
        g_globalInfo.Init();
    }
    SandBoxViewFixture::TearDown();
}

ComPtr<vorrelUI::Ivorrel_panel> IconViewFixture::BuildView(const wchar_t* layout, USHORT panelId)
{
    m_host.reset(CreateWindowExW(0, kHostClass, L"icons", WS_POPUP, 20, 20, 200, 100, nullptr, nullptr, nullptr,
                                 nullptr));
    ComPtr<vorrelUI::Ivorrel_winfactory> factory;
    ComPtr<vorrelUI::Ivorrel_panel> panel;
    if (!m_host || FAILED(skin::CreateWindowFactory(factory))) {
        ADD_FAILURE() << "no host or factory";
        return panel;
    }
    const std::wstring path = m_suite->ThemeFolder() + L"\\KavoSandBox\\" + layout;
    if (FAILED(factory->CreateSkinWindow(path.c_str(), m_host.get(), 0, m_window.put()))) {
        ADD_FAILURE() << "layout not built";
        return panel;
    }
    ComPtr<vorrelUI::Ivorrel_control> control;
    if (FAILED(m_window->FindControl(panelId, control.put())) ||
        FAILED(control.As(vorrelUI::IID_Ivorrel_panel, panel))) {
        ADD_FAILURE() << "no panel " << panelId;
    }
    m_window->Show(TRUE);
    ShowWindow(m_host.get(), SW_SHOWNOACTIVATE);
    return panel;
}

void IconViewFixture::PretendPreVista()
{
    m_oldSystem = std::make_unique<COSVersionCheck>(kPreVista);
    g_globalInfo.Init(*m_oldSystem);
}

FileItemRecord MakeRecord(const std::wstring& path, int kind, int isShortcut, int driveType)
{
    FileItemRecord record;
    record.path = path;
    record.kind = kind;
    record.isShortcut = isShortcut;
    record.driveType = driveType;
    record.sandboxId = 4711;
    return record;
}

}  // namespace veyra::test
