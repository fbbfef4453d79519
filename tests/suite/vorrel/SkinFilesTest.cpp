// File sources, theme rows and number parsing of the library.

#include <windows.h>

#include <gtest/gtest.h>

#include "suite/vorrel/SkinFiles.h"
#include "suite/vorrel/ThemeStore.h"
#include "suite/vorrel/XmlDocument.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPaths.h"

namespace {

TEST(SkinFilesTest, PackageServesALayoutByItsRelativeNameInAnyCaseAndSlash)
{
    const std::wstring package = veyra::test::BinFile(L"theme\\KavoSandBox_theme.ui");
    auto bytes = vorrel::ReadWholeFile(package);
    ASSERT_TRUE(bytes);
    vorrel::SkinPackage reader;
    ASSERT_TRUE(reader.Open(*bytes));
    EXPECT_TRUE(reader.Read(L"KavoSandBox\\NsWindow.xml"));
    EXPECT_TRUE(reader.Read(L"kavosandbox/nswindow.XML"));
    EXPECT_TRUE(reader.Read(L".\\KavoSandBox\\KavoSandbox.xml"));
    EXPECT_FALSE(reader.Read(L"KavoSandBox\\Missing.xml"));
    vorrel::SkinPackage broken;
    EXPECT_FALSE(broken.Open(bytes->substr(0, bytes->size() / 2)));
}

TEST(SkinFilesTest, ThemeCentreRowIsFoundForTheProgramBelowTheSuite)
{
    const std::string centre =
        "<themecenter><theme process=\"/Kavosafe.exe\" file=\"a.xml\"/><theme process=\"/ipc/veyra.exe\" "
        "file=\"sandbox_theme.xml\"/></themecenter>";
    auto document = vorrel::ParseXml(centre);
    ASSERT_TRUE(document);
    const std::wstring key = vorrel::ThemeStore::ProgramKey(L"C:\\Suite\\ipc\\Veyra.exe", L"C:\\Suite");
    EXPECT_EQ(key, L"/ipc/Veyra.exe");
    EXPECT_EQ(vorrel::ThemeStore::ThemeFileFor(*document, key).value_or(L""), L"sandbox_theme.xml");
    EXPECT_FALSE(vorrel::ThemeStore::ThemeFileFor(*document, L"/ipc/other.exe"));
    EXPECT_EQ(vorrel::ThemeStore::ProgramKey(L"C:\\Suiteother\\x.exe", L"C:\\Suite"), L"");
    // The rows of another root, or of the old form, are not a theme centre.
    auto foreign = vorrel::ParseXml("<theme_center><module path=\"/ipc/veyra.exe\" theme=\"s.xml\"/></theme_center>");
    ASSERT_TRUE(foreign);
    EXPECT_FALSE(vorrel::ThemeStore::ThemeFileFor(*foreign, L"/ipc/veyra.exe"));
}

// The theme files as the build ships them (the installer carries these bytes).
TEST(SkinFilesTest, ShippedThemeCentreIsUtf16WithTheSuiteRowsThenTheDesktopProgramLast)
{
    struct Case {
        const wchar_t* file;
        size_t rows;
        const wchar_t* desktopTheme;  // what the row of /ipc/veyra.exe names; "" without one
    };
    const Case cases[] = {
        {L"theme\\theme_center_sandbox.xml", 18, L"sandbox_theme.xml"},
        {L"theme\\theme_center.xml", 17, L""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << "rows " << test.rows);
        auto bytes = vorrel::ReadWholeFile(veyra::test::BinFile(test.file));
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->substr(0, 2), "\xFF\xFE") << "UTF-16, little-endian, with its byte-order mark";
        auto centre = vorrel::ParseXml(*bytes);
        ASSERT_TRUE(centre);
        EXPECT_EQ(centre->name, L"themecenter");
        ASSERT_EQ(centre->children.size(), test.rows);
        for (const auto& row : centre->children) {
            EXPECT_EQ(row->name, L"theme");
            EXPECT_TRUE(row->Attribute(L"process") && row->Attribute(L"file"));
        }
        EXPECT_EQ(centre->children.back()->AttributeOr(L"process", L"") == L"/ipc/veyra.exe", *test.desktopTheme != 0);
        EXPECT_EQ(vorrel::ThemeStore::ThemeFileFor(*centre, L"/ipc/veyra.exe").value_or(L""), test.desktopTheme);
        EXPECT_EQ(vorrel::ThemeStore::ThemeFileFor(*centre, L"/ostrel/KavoTray.exe").value_or(L""), L"tray_theme.xml");
    }
}

TEST(SkinFilesTest, ThemeFilesHaveTheRootThemesAndTheStartMenuListALightGround)
{
    vorrel::ThemeStore& store = vorrel::ThemeStore::Instance();
    store.ResetForTest();
    const veyra::test::TempFolder folder(L"themes");
    const std::wstring old = folder.Path() + L"\\old.xml";
    ASSERT_TRUE(veyra::test::WriteFileBytes(old, "<theme><style name=\"oldstyle\" back=\"#000000\"/></theme>"));
    EXPECT_FALSE(store.LoadThemeFile(old)) << "the root `theme` is not a theme file";
    EXPECT_FALSE(store.Has(L"oldstyle"));

    ASSERT_TRUE(store.LoadThemeFile(veyra::test::BinFile(L"theme\\sandbox_theme.xml")));
    for (const wchar_t* windowClass : {L"SandBoxMainWindow", L"SandBoxExplorerWindow"}) {
        EXPECT_TRUE(store.Has(windowClass));
    }
    const vorrel::Style list = store.Find(L"richlist_sandbox_start_menu");
    ASSERT_TRUE(list.back) << "the list lies over the dark start-menu window";
    const auto lightness = [](COLORREF colour) { return (GetRValue(colour) + GetGValue(colour) + GetBValue(colour)) / 3; };
    EXPECT_GT(lightness(*list.back), 200);
    EXPECT_LT(lightness(list.text), 80) << "dark captions on the light ground";
    EXPECT_LT(lightness(store.Find(L"sandbox_start_menu").back.value_or(0)), 80);
    ASSERT_TRUE(store.LoadThemeFile(veyra::test::BinFile(L"theme\\theme.xml")));
    EXPECT_TRUE(store.Has(L"msgbox_button_default"));
    EXPECT_TRUE(store.Has(L"SandBoxMainWindow")) << "the suite's theme adds to the program's styles";
    store.ResetForTest();
}

TEST(SkinFilesTest, BoundsAndNumbersRefuseWhatIsNotFourNumbers)
{
    struct Case {
        const wchar_t* text;
        bool ok;
    };
    const Case cases[] = {{L"0,25,830,625", true}, {L" 1, 2 ,3,4 ", true}, {L"1,2,3", false},
                          {L"1,2,3,4,5", false},   {L"a,b,c,d", false},    {L"", false}};
    for (const Case& test : cases) {
        long values[4];
        EXPECT_EQ(vorrel::ParseQuad(test.text, values), test.ok) << std::wstring(test.text).size();
    }
    EXPECT_FALSE(vorrel::ParseXml("<a><b></a>"));
    EXPECT_EQ(vorrel::JoinPath(L"C:\\skin\\KavoSandBox", L"..\\KavoSandBox\\image\\x.png"),
              L"C:\\skin\\KavoSandBox\\image\\x.png");
}

}  // namespace
