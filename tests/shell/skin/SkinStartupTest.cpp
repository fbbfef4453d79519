// The program's one skin start-up against a fake suite: the process-wide objects it sets, the step it
// reports when a part of the suite is missing, and the library's message box reached through the engine
// it made.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "shell/skin/SkinBinding.h"
#include "shell/skin/SkinStartup.h"
#include "tests/support/FakeSuite.h"

using namespace vorrelUI;
using namespace veyra::skin;
using veyra::ComPtr;
using veyra::test::FakeSuite;
using veyra::test::SuitePart;

namespace {

constexpr SuitePart kSkinParts = SuitePart::SkinLibrary | SuitePart::SkinProxy | SuitePart::ThemeFiles;

std::wstring PackPath(Ivorrel_respack* pack)
{
    wchar_t path[MAX_PATH * 2] = {};
    return pack && SUCCEEDED(pack->GetPath(path, ARRAYSIZE(path))) ? path : L"";
}

class SkinStartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_NE(LoadLibraryW((m_suite / L"vorrel.dll").c_str()), nullptr);
    }
    void TearDown() override
    {
        ImagePack.reset();
        MessageBoxPack.reset();
        ThemeLoaderPtr.reset();
        ResRegistryPtr.reset();
        EnginePtr.reset();
        ResetProxyForTest();
        CoUninitialize();
    }

    FakeSuite m_suite{kSkinParts};
};

TEST_F(SkinStartupTest, CompleteSuiteSetsEveryObjectAndLoadsTheSkinTheme)
{
    const SkinStartReport report = StartSkin(m_suite.Root().c_str());
    EXPECT_TRUE(report.Succeeded()) << SkinStartStepName(report.failedStep) << " 0x" << std::hex << report.result;
    ASSERT_TRUE(EnginePtr && ResRegistryPtr && ThemeLoaderPtr && ImagePack && MessageBoxPack);
    ASSERT_NE(GetCachedUIProxy(), nullptr);
    EXPECT_EQ(PackPath(ImagePack.get()), m_suite.ThemeFolder() + L"\\KavoSandBox\\KavoSandbox.xml");
    EXPECT_EQ(PackPath(MessageBoxPack.get()), m_suite.ThemeFolder() + L"\\Common\\XML\\DefaultMessageBox.xml");
    ComPtr<Ivorrel_image> image;
    EXPECT_EQ(ImagePack->GetImage(L"IDI_IMAGE_DESKTOP", image.put()), S_OK);
    // The registry holds the three packs in start-up order, the common one too.
    UINT count = 0;
    ASSERT_EQ(ResRegistryPtr->GetPackCount(&count), S_OK);
    ASSERT_EQ(count, 3u);
    ComPtr<Ivorrel_respack> first;
    ASSERT_EQ(ResRegistryPtr->GetPack(0, first.put()), S_OK);
    EXPECT_EQ(PackPath(first.get()), m_suite.ThemeFolder() + L"\\Common\\XML\\CommonResource.xml");
    wchar_t theme[MAX_PATH * 2] = {};
    ASSERT_EQ(ThemeLoaderPtr->GetThemeFile(theme, ARRAYSIZE(theme)), S_OK);
    EXPECT_EQ(CompareStringOrdinal(theme, -1, (m_suite.ThemeFolder() + L"\\theme.xml").c_str(), -1, TRUE), CSTR_EQUAL);
}

TEST_F(SkinStartupTest, AMissingSkinFileIsReportedByItsStepAndTheRestStillStarts)
{
    struct Case {
        const wchar_t* file;  // below the skin folder, taken away for the case
        SkinStartStep step;
    };
    // The package first: the library keeps a package it has opened for the life of the process.
    const Case cases[] = {
        {L"KavoSandBox\\KavoSandBox_theme.ui", SkinStartStep::ImagePack},
        {L"Common\\XML\\CommonResource.xml", SkinStartStep::CommonPack},
        {L"Common\\XML\\DefaultMessageBox.xml", SkinStartStep::MessageBoxPack},
        {L"theme.xml", SkinStartStep::ThemeFile},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(SkinStartStepName(test.step));
        const std::wstring file = m_suite.ThemeFolder() + L"\\" + test.file;
        const std::wstring away = file + L".away";
        ASSERT_TRUE(MoveFileW(file.c_str(), away.c_str()));
        const SkinStartReport report = StartSkin(m_suite.Root().c_str());
        EXPECT_EQ(report.failedStep, test.step);
        EXPECT_TRUE(FAILED(report.result));
        EXPECT_TRUE(EnginePtr && ResRegistryPtr && ThemeLoaderPtr);
        EXPECT_EQ(static_cast<bool>(ImagePack), test.step != SkinStartStep::ImagePack);
        EXPECT_EQ(static_cast<bool>(MessageBoxPack), test.step != SkinStartStep::MessageBoxPack);
        ASSERT_TRUE(MoveFileW(away.c_str(), file.c_str()));
    }
}

TEST(SkinStartupWithoutParts, WithoutTheLibraryTheEngineStepFails)
{
    const SkinStartReport report = StartSkin(L"C:\\no\\suite");
    EXPECT_EQ(report.failedStep, SkinStartStep::Engine);
    EXPECT_EQ(report.result, E_FAIL);
    EXPECT_FALSE(EnginePtr);
}

TEST(SkinStartupWithoutParts, WithoutTheProxyTheEngineStandsAndNoSkinFolderIsTried)
{
    FakeSuite suite(SuitePart::SkinLibrary | SuitePart::ThemeFiles);
    ASSERT_NE(LoadLibraryW((suite / L"vorrel.dll").c_str()), nullptr);
    const SkinStartReport report = StartSkin(suite.Root().c_str());
    EXPECT_EQ(report.failedStep, SkinStartStep::Proxy);
    EXPECT_TRUE(EnginePtr && ResRegistryPtr && ThemeLoaderPtr);
    EXPECT_FALSE(ImagePack);
    EXPECT_FALSE(MessageBoxPack);
    const std::wstring tooLong(300, L'a');
    ResetProxyForTest();
    EXPECT_EQ(StartSkin(tooLong.c_str()).failedStep, SkinStartStep::Proxy) << "a suite path past 260 characters";
    EXPECT_EQ(StartSkin(nullptr).failedStep, SkinStartStep::Proxy);
    ThemeLoaderPtr.reset();
    ResRegistryPtr.reset();
    EnginePtr.reset();
}

// Answers the box its own loop raises over it: the owner's posted message is dispatched by that loop.
constexpr UINT kAnswerTheBox = WM_USER + 5;

BOOL CALLBACK PostNoToTheBox(HWND hwnd, LPARAM)
{
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (wcscmp(name, L"VorrelMessageBox") == 0 && IsWindowVisible(hwnd)) {
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDNO, 0), 0);
        return FALSE;
    }
    return TRUE;
}

LRESULT CALLBACK AnsweringOwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kAnswerTheBox) {
        EnumThreadWindows(GetCurrentThreadId(), &PostNoToTheBox, 0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST_F(SkinStartupTest, TheEngineMessageBoxAnswersThroughTheWrapper)
{
    EXPECT_EQ(EngineMessageBox(nullptr, L"text", L"caption", MB_YESNO), -1) << "no engine yet";
    ASSERT_TRUE(StartSkin(m_suite.Root().c_str()).Succeeded());
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = AnsweringOwnerProc;
    windowClass.lpszClassName = L"SkinStartupOwner";
    RegisterClassW(&windowClass);
    HWND owner = CreateWindowExW(0, L"SkinStartupOwner", L"Veyra", WS_POPUP | WS_VISIBLE, 50, 50, 830, 625, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    PostMessageW(owner, kAnswerTheBox, 0, 0);
    EXPECT_EQ(EngineMessageBox(owner, L"确定要还原虚拟系统吗？", L"Veyra", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(EngineMessageBox(owner, L"text", L"caption", 0x7), -1) << "an unknown button type";
    DestroyWindow(owner);
}

}  // namespace
