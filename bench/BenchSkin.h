#pragma once
// The skin a view benchmark stands on: the stand-in suite laid out with its skin library and themes, the
// engine with the desktop's image pack, and a host window with the folder layout whose panel 1005 holds
// the view. One per run, on the UI thread; Close lets go of the skin's controls before the engine goes.

#include <windows.h>

#include <memory>
#include <string>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"
#include "core/GlobalInfo.h"
#include "core/shellutil/GdiplusSession.h"
#include "shell/skin/SkinBinding.h"
#include "tests/support/FakeSuite.h"

namespace veyra::bench {

class SkinnedFolderWindow {
public:
    // Builds everything for a host window of the class `className` with the procedure `procedure`.
    bool Open(const wchar_t* className, WNDPROC procedure)
    {
        m_suite = std::make_unique<test::FakeSuite>(test::SuitePart::SkinLibrary | test::SuitePart::ThemeFiles,
                                                    test::SuiteRegistration::Leave);
        const std::wstring layouts = m_suite->ThemeFolder() + L"\\KavoSandBox\\";
        ComPtr<vorrelUI::Ivorrel_theme> theme;
        if (!LoadLibraryW((*m_suite / L"vorrel.dll").c_str()) || FAILED(skin::CreateEngine()) ||
            FAILED(skin::EnginePtr->GetTheme(theme.put())) ||
            FAILED(theme->LoadTheme((m_suite->ThemeFolder() + L"\\sandbox_theme.xml").c_str())) ||
            FAILED(skin::CreateResourcePack(skin::ImagePack)) ||
            FAILED(skin::ImagePack->Load(0, (layouts + L"KavoSandbox.xml").c_str()))) {
            return false;
        }
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = className;
        RegisterClassW(&windowClass);
        m_host.reset(CreateWindowExW(0, className, className, WS_POPUP | WS_CLIPCHILDREN, 30, 30, 740, 480, nullptr,
                                     nullptr, nullptr, nullptr));
        ComPtr<vorrelUI::Ivorrel_winfactory> factory;
        ComPtr<vorrelUI::Ivorrel_control> control;
        if (!m_host || FAILED(skin::CreateWindowFactory(factory)) ||
            FAILED(factory->CreateSkinWindow((layouts + L"NsExplorer.xml").c_str(), m_host.get(), 0, m_skin.put())) ||
            FAILED(m_skin->FindControl(1005, control.put())) ||
            FAILED(control.As(vorrelUI::IID_Ivorrel_panel, m_panel))) {
            return false;
        }
        m_skin->Show(TRUE);
        ShowWindow(m_host.get(), SW_SHOWNOACTIVATE);
        return true;
    }
    void Close()
    {
        m_panel.reset();
        if (m_skin) {
            m_skin->ReleaseControls();
        }
    }

    [[nodiscard]] HWND Host() const noexcept { return m_host.get(); }
    [[nodiscard]] vorrelUI::Ivorrel_panel* Panel() const noexcept { return m_panel.get(); }

private:
    std::unique_ptr<test::FakeSuite> m_suite;
    UniqueWindow m_host;
    ComPtr<vorrelUI::Ivorrel_window> m_skin;
    ComPtr<vorrelUI::Ivorrel_panel> m_panel;
};

// The program around a view benchmark: GDI+, COM and the system information as the desktop program sets
// them up, then `run`; the skin engine goes before COM does.
inline int RunViewBenchmark(int (*run)())
{
    GdiplusSession gdiplus;
    if (!gdiplus.Started() || FAILED(CoInitialize(nullptr))) {
        return 1;
    }
    g_globalInfo.Init();
    const int code = run();
    skin::ImagePack.reset();
    skin::EnginePtr.reset();
    CoUninitialize();
    return code;
}

}  // namespace veyra::bench
