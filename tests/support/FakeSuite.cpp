#include "FakeSuite.h"

#include <windows.h>

#include "tests/support/TestPaths.h"

namespace veyra::test {

const wchar_t kSuiteAppPathKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kavosafe.exe";

namespace {

struct Placement {
    SuitePart part;
    const wchar_t* built;      // below the build's program folder
    const wchar_t* installed;  // below the suite folder
};

constexpr wchar_t kThemeFolder[] = L"Config\\newui\\themes\\default";

const Placement kPlacements[] = {
    {SuitePart::Engine, L"pellox.dll", L"ipc\\pellox.dll"},
    {SuitePart::IpcService, L"ipcservice.dll", L"ipc\\ipcservice.dll"},
    {SuitePart::Tray, L"KavoTray.exe", L"ostrel\\KavoTray.exe"},
    {SuitePart::SkinLibrary, L"vorrel.dll", L"vorrel.dll"},
    {SuitePart::SkinProxy, L"VorrelUIProxy.dll", L"Utils\\VorrelUIProxy.dll"},
    {SuitePart::Program, L"Veyra.exe", L"ipc\\veyra.exe"},
    {SuitePart::ThemeFiles, L"theme\\theme_center.xml", L"Config\\newui\\themes\\default\\theme_center.xml"},
    {SuitePart::ThemeFiles, L"theme\\theme_center_sandbox.xml",
     L"Config\\newui\\themes\\default\\theme_center_sandbox.xml"},
    {SuitePart::ThemeFiles, L"theme\\sandbox_theme.xml", L"Config\\newui\\themes\\default\\sandbox_theme.xml"},
    {SuitePart::ThemeFiles, L"theme\\KavoSandBox_theme.ui",
     L"Config\\newui\\themes\\default\\KavoSandBox\\KavoSandBox_theme.ui"},
    {SuitePart::ThemeFiles, L"theme\\theme.xml", L"Config\\newui\\themes\\default\\theme.xml"},
    {SuitePart::ThemeFiles, L"theme\\Common\\XML\\CommonResource.xml",
     L"Config\\newui\\themes\\default\\Common\\XML\\CommonResource.xml"},
    {SuitePart::ThemeFiles, L"theme\\Common\\XML\\DefaultMessageBox.xml",
     L"Config\\newui\\themes\\default\\Common\\XML\\DefaultMessageBox.xml"},
    {SuitePart::ThemeFiles, L"theme\\Common\\image\\icon_hand.png",
     L"Config\\newui\\themes\\default\\Common\\image\\icon_hand.png"},
    {SuitePart::ThemeFiles, L"theme\\Common\\image\\icon_question.png",
     L"Config\\newui\\themes\\default\\Common\\image\\icon_question.png"},
    {SuitePart::ThemeFiles, L"theme\\Common\\image\\icon_exclamation.png",
     L"Config\\newui\\themes\\default\\Common\\image\\icon_exclamation.png"},
    {SuitePart::ThemeFiles, L"theme\\Common\\image\\icon_asterisk.png",
     L"Config\\newui\\themes\\default\\Common\\image\\icon_asterisk.png"},
    {SuitePart::ThemeFiles, L"theme\\Common\\image\\close_button.png",
     L"Config\\newui\\themes\\default\\Common\\image\\close_button.png"},
};

}  // namespace

FakeSuite::FakeSuite(SuitePart parts, SuiteRegistration registration)
    : m_owned(std::make_unique<TempFolder>(L"suite")),
      m_root(m_owned->Path()),
      m_appPath(HKEY_LOCAL_MACHINE, kSuiteAppPathKey, L"Path", 0)
{
    LayOut(parts);
    if (registration == SuiteRegistration::Register) {
        Register();
    }
}

FakeSuite::FakeSuite(const std::wstring& root, SuitePart parts, SuiteRegistration registration)
    : m_root(root), m_appPath(HKEY_LOCAL_MACHINE, kSuiteAppPathKey, L"Path", 0)
{
    LayOut(parts);
    if (registration == SuiteRegistration::Register) {
        Register();
        m_appPath.Keep();  // a suite laid out for the demo stays registered
    }
}

FakeSuite::~FakeSuite() = default;

bool FakeSuite::Register()
{
    return m_appPath.SetString(m_root);
}

void FakeSuite::LayOut(SuitePart parts)
{
    for (const wchar_t* folder : {L"ipc", L"ostrel", L"Utils", kThemeFolder}) {
        CreateFolderTree(m_root + L"\\" + folder);
    }
    CreateFolderTree(ThemeFolder() + L"\\KavoSandBox");
    CreateFolderTree(ThemeFolder() + L"\\Common\\XML");
    CreateFolderTree(ThemeFolder() + L"\\Common\\image");
    const std::wstring bin = BinFolder();
    for (const Placement& placement : kPlacements) {
        if ((parts & placement.part) == SuitePart::None) {
            continue;
        }
        const std::wstring source = bin + L"\\" + placement.built;
        if (FileExists(source)) {
            CopyFileW(source.c_str(), (m_root + L"\\" + placement.installed).c_str(), FALSE);
        }
    }
}

}  // namespace veyra::test
