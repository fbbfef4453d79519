// The library loaded as the program loads it (from a fake suite, through DllGetClassObject): each of the
// nine layouts builds into a real window with the identifiers its windows look up, and a click on a
// button raises event 1 with WM_COMMAND and the button's identifier.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "suite/contracts/VorrelInterfaces.h"
#include "tests/suite/vorrel/SkinFixture.h"

using namespace vorrelUI;
using veyra::ComPtr;
using vorrel::test::EventRecorder;

namespace {

class SkinWindowTest : public vorrel::test::SkinFixture {};

struct LayoutCase {
    const wchar_t* layout;
    int width, height;
    std::vector<USHORT> ids;
    USHORT button;  // clicked; 0: none
};

const LayoutCase kLayouts[] = {
    {L"KavoSandbox.xml", 830, 625, {2000, 2001, 2002, 2003, 2004, 2005, 2006, 2009, 2010}, 2005},
    {L"NsExplorer.xml", 740, 480, {1001, 1003, 1005, 1006, 1008, 1009, 1010, 1011}, 1010},
    {L"NsIntroduction.xml", 500, 280, {11001, 11002}, 11002},
    {L"NsMessageBox.xml", 340, 155, {8000, 8001, 8002, 8003, 8007}, 8007},
    {L"NsProgress.xml", 360, 170, {6001, 6002, 6003, 6004, 6005, 6006}, 6002},
    {L"NsReplaceMsgbox.xml", 338, 365, {9000, 9001, 9002, 9003, 9004, 9005, 9006, 9007, 9008}, 9007},
    {L"NsSetting.xml", 120, 77, {10001}, 0},
    {L"NsTaskmgr.xml", 300, 320, {7001, 7002, 7003, 7004}, 7003},
    {L"NsWindow.xml", 380, 480, {4001, 4002, 4003, 4008, 4011, 4014, 4020, 4025}, 4011},
};

TEST_F(SkinWindowTest, EveryLayoutBuildsIntoItsWindowAndAButtonClickRaisesTheCommand)
{
    for (const LayoutCase& test : kLayouts) {
        SCOPED_TRACE(testing::Message() << "layout " << std::string(test.layout, test.layout + wcslen(test.layout)));
        HWND host = CreateWindowExW(0, L"VorrelTestHost", L"", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                    nullptr, nullptr);
        ASSERT_NE(host, nullptr);
        ComPtr<Ivorrel_winfactory> factory;
        ASSERT_EQ(Create(CLSID_vorrel_winfactory, IID_Ivorrel_winfactory, factory.put_void()), S_OK);
        ComPtr<Ivorrel_window> window;
        ASSERT_EQ(factory->CreateSkinWindow(Layout(test.layout).c_str(), host, 0, window.put()), S_OK);
        RECT outer{};
        GetWindowRect(host, &outer);
        EXPECT_EQ(outer.right - outer.left, test.width);
        EXPECT_EQ(outer.bottom - outer.top, test.height);
        EXPECT_FALSE(IsWindowVisible(host)) << "showing the skin must not show the host";
        ComPtr<Ivorrel_container> root;
        ASSERT_EQ(window->GetRoot(root.put()), S_OK);
        for (USHORT id : test.ids) {
            ComPtr<Ivorrel_control> control;
            EXPECT_EQ(root->FindChild(id, 0, control.put()), S_OK) << "id " << id;
        }
        if (test.button) {
            ComPtr<Ivorrel_control> button;
            ASSERT_EQ(root->FindChild(test.button, 0, button.put()), S_OK);
            EventRecorder sink;
            sink.Listen(button.get());
            RECT r{};
            button->GetRect(&r);
            vorrel::test::MouseDown(host, vorrel::test::Centre(r));
            vorrel::test::MouseUp(host, vorrel::test::Centre(r));
            const auto commands = sink.Of(1);
            ASSERT_EQ(commands.size(), 1u);
            EXPECT_EQ(commands[0].values[0], static_cast<ULONG>(WM_COMMAND));
            EXPECT_EQ(commands[0].values[1], MAKEWPARAM(test.button, 0));
            EXPECT_EQ(commands[0].sender, static_cast<IDispatch*>(button.get()));
        }
        window->ReleaseControls();
        window.reset();
        DestroyWindow(host);
    }
}

TEST_F(SkinWindowTest, ControlTreeDumpShowsTheDesktopPicturesLoaded)
{
    HWND host = CreateWindowExW(0, L"VorrelTestHost", L"", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ComPtr<Ivorrel_winfactory> factory;
    ASSERT_EQ(Create(CLSID_vorrel_winfactory, IID_Ivorrel_winfactory, factory.put_void()), S_OK);
    ComPtr<Ivorrel_window> window;
    ASSERT_EQ(factory->CreateSkinWindow(Layout(L"KavoSandbox.xml").c_str(), host, 0, window.put()), S_OK);
    const std::wstring dump = m_suite / L"desktop.tree";
    ASSERT_EQ(window->DumpControlTree(dump.c_str()), S_OK);
    HANDLE file = CreateFileW(dump.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[65536] = {};
    DWORD read = 0;
    ReadFile(file, buffer, sizeof(buffer) - 1, &read, nullptr);
    CloseHandle(file);
    const std::string text(buffer, read);
    EXPECT_NE(text.find("id=2001\tkind=panel\trect=0,25,830,625\tvisible=1"), std::string::npos) << text;
    EXPECT_NE(text.find("image=IDI_IMAGE_DESKTOP\tloaded=1"), std::string::npos) << text;
    EXPECT_EQ(text.find("loaded=0"), std::string::npos) << "a picture of the layout is missing:\n" << text;
    window.reset();
    DestroyWindow(host);
}

TEST_F(SkinWindowTest, LibraryOpenedTheSuiteThemeCentreByItsWholePathWhenLoaded)
{
    wchar_t path[MAX_PATH] = {};
    ASSERT_EQ(m_engine->GetThemeCenterPath(path, MAX_PATH), S_OK);
    EXPECT_EQ(CompareStringOrdinal(path, -1, (m_suite.ThemeFolder() + L"\\theme_center.xml").c_str(), -1, TRUE),
              CSTR_EQUAL)
        << "opened " << std::string(path, path + wcslen(path));
}

TEST_F(SkinWindowTest, MissingLayoutAndBadHostFailWithoutAWindow)
{
    ComPtr<Ivorrel_winfactory> factory;
    ASSERT_EQ(Create(CLSID_vorrel_winfactory, IID_Ivorrel_winfactory, factory.put_void()), S_OK);
    HWND host = CreateWindowExW(0, L"VorrelTestHost", L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ComPtr<Ivorrel_window> window;
    EXPECT_TRUE(FAILED(factory->CreateSkinWindow(Layout(L"NoSuch.xml").c_str(), host, 0, window.put())));
    EXPECT_FALSE(window);
    EXPECT_TRUE(FAILED(factory->CreateSkinWindow(Layout(L"NsSetting.xml").c_str(), nullptr, 0, window.put())));
    EXPECT_FALSE(window);
    DestroyWindow(host);
}

}  // namespace
