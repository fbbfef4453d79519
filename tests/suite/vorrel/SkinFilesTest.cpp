// File sources, theme rows and number parsing of the library.

#include <windows.h>

#include <gtest/gtest.h>

#include "suite/vorrel/SkinFiles.h"
#include "suite/vorrel/ThemeStore.h"
#include "suite/vorrel/XmlDocument.h"
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
        "<theme_center><module path=\"/Kavosafe.exe\" theme=\"a.xml\"/><module path=\"/ipc/veyra.exe\" "
        "theme=\"sandbox_theme.xml\"/></theme_center>";
    auto document = vorrel::ParseXml(centre);
    ASSERT_TRUE(document);
    const std::wstring key = vorrel::ThemeStore::ProgramKey(L"C:\\Suite\\ipc\\Veyra.exe", L"C:\\Suite");
    EXPECT_EQ(key, L"/ipc/Veyra.exe");
    EXPECT_EQ(vorrel::ThemeStore::ThemeFileFor(*document, key).value_or(L""), L"sandbox_theme.xml");
    EXPECT_FALSE(vorrel::ThemeStore::ThemeFileFor(*document, L"/ipc/other.exe"));
    EXPECT_EQ(vorrel::ThemeStore::ProgramKey(L"C:\\Suiteother\\x.exe", L"C:\\Suite"), L"");
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
