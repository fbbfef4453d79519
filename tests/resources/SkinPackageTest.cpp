// The skin package as the build leaves it in bin/theme: stored entries, the nine layouts, every identifier
// the windows look up, and every picture a layout or the program names.

#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "tests/resources/SkinPackageReader.h"
#include "tests/support/TestPaths.h"

namespace veyra::test {
namespace {

constexpr char kLayoutPrefix[] = "KavoSandBox/";
constexpr char kImagePrefix[] = "KavoSandBox/image/";
constexpr char kDesktopLayout[] = "KavoSandbox.xml";

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());  // names and paths in the layouts are ASCII
}

// The package entry a layout's relative path names (".\KavoSandBox\image\x.png" -> "KavoSandBox/image/x.png").
std::string EntryForPath(std::wstring path)
{
    if (path.rfind(L".\\", 0) == 0) {
        path.erase(0, 2);
    }
    for (auto& c : path) {
        c = c == L'\\' ? L'/' : c;
    }
    return Narrow(path);
}

// An anchor names, comma-separated and each once, the window edges a control keeps its distance to.
bool IsAnchor(const std::wstring& text)
{
    std::set<std::wstring> edges;
    for (size_t start = 0; start <= text.size();) {
        const size_t comma = std::min(text.find(L',', start), text.size());
        const std::wstring edge = text.substr(start, comma - start);
        if (!(edge == L"left" || edge == L"top" || edge == L"right" || edge == L"bottom") || !edges.insert(edge).second) {
            return false;
        }
        start = comma + 1;
    }
    return !edges.empty();
}

class SkinPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_package = new PackageContents(ReadStoredZip(BinFile(L"theme\\KavoSandBox_theme.ui")));
        s_layouts = new std::map<std::string, Layout>;
        for (const auto& entry : s_package->entries) {
            if (entry.name.size() > 4 && entry.name.compare(entry.name.size() - 4, 4, ".xml") == 0) {
                (*s_layouts)[entry.name.substr(sizeof(kLayoutPrefix) - 1)] = ParseLayout(entry.data);
            }
        }
    }
    static void TearDownTestSuite()
    {
        delete s_layouts;
        delete s_package;
    }

    static const Layout& LayoutOf(const std::string& name)
    {
        static const Layout kMissing{};
        const auto found = s_layouts->find(name);
        return found == s_layouts->end() ? kMissing : found->second;
    }

    // The control `id` of `layout`; a missing one fails the test case, naming both.
    static const LayoutControl* ExpectControl(const char* layout, int id)
    {
        const LayoutControl* control = LayoutOf(layout).FindById(id);
        EXPECT_NE(control, nullptr) << layout << " has no control " << id;
        return control;
    }

    // An image name resolves in the layout's own images, else in the desktop layout (the program's cache).
    static const LayoutImage* ResolveImage(const std::string& layout, const std::wstring& name)
    {
        for (const std::string& owner : {layout, std::string(kDesktopLayout)}) {
            const auto& images = LayoutOf(owner).images;
            if (const auto found = images.find(name); found != images.end()) {
                return &found->second;
            }
        }
        return nullptr;
    }

    static PackageContents* s_package;
    static std::map<std::string, Layout>* s_layouts;
};
PackageContents* SkinPackage::s_package = nullptr;
std::map<std::string, Layout>* SkinPackage::s_layouts = nullptr;

TEST_F(SkinPackage, EveryEntryIsStoredWholeAndIntact)
{
    ASSERT_EQ(s_package->error, "");
    ASSERT_FALSE(s_package->entries.empty());
    for (const auto& entry : s_package->entries) {
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(entry.method, 0u);           // stored
        EXPECT_EQ(entry.flags & 0x0009u, 0u);  // neither encrypted nor followed by a data descriptor
        EXPECT_EQ(Crc32(entry.data), entry.crc);
        EXPECT_EQ(entry.name.rfind(kLayoutPrefix, 0), 0u);
        EXPECT_EQ(entry.name.find('\\'), std::string::npos);
    }
}

TEST_F(SkinPackage, HoldsTheNineLayoutsAndEachParses)
{
    struct Case {
        const char* layout;
        const wchar_t* bound;
        const wchar_t* theme;
    };
    const Case cases[] = {
        {"KavoSandbox.xml", L"0,0,830,625", L"SandBoxMainWindow"},
        {"NsExplorer.xml", L"0,0,740,480", L"SandBoxExplorerWindow"},
        {"NsIntroduction.xml", L"0,0,500,280", L"sandbox_introduciton"},
        {"NsMessageBox.xml", L"0,0,340,155", L"SandBoxExplorerWindow"},
        {"NsProgress.xml", L"0,0,360,170", L"SandBoxExplorerWindow"},
        {"NsReplaceMsgbox.xml", L"0,0,338,365", L"SandBoxExplorerWindow"},
        {"NsSetting.xml", L"0,0,120,77", L"SandBoxMainWindow"},
        {"NsTaskmgr.xml", L"0,0,300,320", L"SandBoxExplorerWindow"},
        {"NsWindow.xml", L"0,0,380,480", L"sandbox_start_menu"},
    };
    EXPECT_EQ(s_layouts->size(), std::size(cases));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        ASSERT_EQ(s_layouts->count(c.layout), 1u);
        const Layout& layout = LayoutOf(c.layout);
        EXPECT_EQ(layout.error, "");
        EXPECT_EQ(layout.rootName, L"config");
        EXPECT_EQ(layout.window.at(L"bound"), c.bound);
        EXPECT_EQ(layout.window.at(L"theme"), c.theme);
        EXPECT_EQ(layout.window.at(L"style"), L"0x06cf0000");
        EXPECT_EQ(layout.window.at(L"style_ex"), L"0");
    }
}

// Every control a window looks up by identifier, with the kind and the bounds the windows rely on.
TEST_F(SkinPackage, HoldsEveryControlTheWindowsLookUp)
{
    struct Case {
        const char* layout;
        int id;
        const wchar_t* kind;
        const wchar_t* bound;  // nullptr where the windows leave the place to the layout
    };
    const Case cases[] = {
        {"KavoSandbox.xml", 2000, L"static", L"0,2,830,25"},
        {"KavoSandbox.xml", 2001, L"panel", L"0,25,830,625"},
        {"KavoSandbox.xml", 2002, L"panel", L"0,585,830,625"},
        {"KavoSandbox.xml", 2003, L"panel", L"815,585,830,625"},
        {"KavoSandbox.xml", 2004, L"button", L"729,0,756,25"},
        {"KavoSandbox.xml", 2005, L"button", L"798,0,825,25"},
        {"KavoSandbox.xml", 2006, L"button", L"771,0,798,25"},
        {"KavoSandbox.xml", 2007, L"panel", L"763,0,764,25"},
        {"KavoSandbox.xml", 2009, L"button", L"702,0,729,25"},
        {"KavoSandbox.xml", 2010, L"button", L"793,585,815,625"},
        {"NsExplorer.xml", 1001, L"panel", L"10,32,80,60"},
        {"NsExplorer.xml", 1003, L"rich_list", L"1,65,149,419"},
        {"NsExplorer.xml", 1005, L"panel", L"150,65,730,419"},
        {"NsExplorer.xml", 1006, L"panel", L"0,420,740,480"},
        {"NsExplorer.xml", 1008, L"button", L"707,35,731,59"},
        {"NsExplorer.xml", 1009, L"text", L"80,35,700,58"},
        {"NsExplorer.xml", 1010, L"button", L"683,2,732,22"},
        {"NsExplorer.xml", 1011, L"button", L"655,2,683,22"},
        {"NsIntroduction.xml", 11001, L"button", L"463,5,490,30"},
        {"NsIntroduction.xml", 11002, L"button", L"350,212,481,250"},
        {"NsMessageBox.xml", 8000, L"static", L"10,8,100,24"},
        {"NsMessageBox.xml", 8001, L"panel", L"0,30,340,155"},
        {"NsMessageBox.xml", 8002, L"static", L"70,55,330,95"},
        {"NsMessageBox.xml", 8003, L"picture", L"20,45,60,85"},
        {"NsMessageBox.xml", 8007, L"button", L"283,2,332,22"},
        {"NsProgress.xml", 6001, L"progress", L"15,108,345,128"},
        {"NsProgress.xml", 6002, L"button", nullptr},
        {"NsProgress.xml", 6003, L"panel", nullptr},
        {"NsProgress.xml", 6004, L"static", nullptr},
        {"NsProgress.xml", 6005, L"static", nullptr},
        {"NsProgress.xml", 6006, L"button", nullptr},
        {"NsReplaceMsgbox.xml", 9000, L"static", L"10,8,100,24"},
        {"NsReplaceMsgbox.xml", 9001, L"static", L"10,40,280,60"},
        {"NsReplaceMsgbox.xml", 9002, L"panel", L"10,85,328,155"},
        {"NsReplaceMsgbox.xml", 9003, L"panel", L"10,160,328,230"},
        {"NsReplaceMsgbox.xml", 9004, L"panel", L"10,235,328,305"},
        {"NsReplaceMsgbox.xml", 9005, L"button", L"10,327,140,355"},
        {"NsReplaceMsgbox.xml", 9006, L"button", L"179,325,241,347"},
        {"NsReplaceMsgbox.xml", 9007, L"button", L"256,325,318,347"},
        {"NsReplaceMsgbox.xml", 9008, L"button", L"281,2,330,22"},
        {"NsSetting.xml", 10001, L"rich_list", L"0,0,120,77"},
        {"NsTaskmgr.xml", 7001, L"panel", L"0,30,300,320"},
        {"NsTaskmgr.xml", 7002, L"rich_list", L"1,58,299,283"},
        {"NsTaskmgr.xml", 7003, L"button", L"228,291,290,313"},
        {"NsTaskmgr.xml", 7004, L"button", L"243,2,292,22"},
        {"NsWindow.xml", 4001, L"rich_list", L"5,5,260,475"},
        {"NsWindow.xml", 4002, L"panel", L"274,20,360,106"},
        {"NsWindow.xml", 4003, L"panel", L"265,120,376,150"},
        {"NsWindow.xml", 4004, L"panel", L"265,150,376,180"},
        {"NsWindow.xml", 4005, L"panel", L"265,180,376,210"},
        {"NsWindow.xml", 4006, L"panel", L"265,210,376,240"},
        {"NsWindow.xml", 4007, L"panel", L"265,240,376,270"},
        {"NsWindow.xml", 4008, L"panel", L"265,285,376,315"},
        {"NsWindow.xml", 4011, L"button", L"275,433,366,455"},
        {"NsWindow.xml", 4014, L"panel", L"263,277,378,278"},
        {"NsWindow.xml", 4020, L"static", L"275,125,360,145"},
        {"NsWindow.xml", 4021, L"static", L"275,155,360,175"},
        {"NsWindow.xml", 4022, L"static", L"275,185,360,205"},
        {"NsWindow.xml", 4023, L"static", L"275,215,360,235"},
        {"NsWindow.xml", 4024, L"static", L"275,245,360,265"},
        {"NsWindow.xml", 4025, L"static", L"275,290,360,310"},
    };
    for (const auto& c : cases) {
        if (const LayoutControl* control = ExpectControl(c.layout, c.id)) {
            EXPECT_EQ(control->kind, c.kind) << c.layout << " " << c.id;
            EXPECT_TRUE(!c.bound || control->attributes.at(L"bound") == c.bound) << c.layout << " " << c.id;
        }
    }
}

TEST_F(SkinPackage, EveryControlNamesItsKindAndLiesInsideItsWindow)
{
    struct Kind {
        const wchar_t* element;
        const wchar_t* category;
        const wchar_t* iid;
    };
    const Kind kinds[] = {
        {L"static", L"{FEC1ABC6-6663-4490-BFD6-65CFAA0B0FDA}", L"{A61FD988-B1D0-4327-870A-75BC4FE9D793}"},
        {L"button", L"{CD2416A2-81E2-486B-9258-E5C30A0755AA}", L"{7E5A87F0-CA8F-4732-A2F1-0E9903A6570F}"},
        {L"panel", L"{ACE94411-E3FB-44C8-BD2C-FE3303CCEB3B}", L"{ED5A6252-F449-45E9-825E-C27E98A26359}"},
        {L"picture", L"{00073C9D-2E82-437F-917A-7A0C2C8FFC87}", L"{EA8C5503-10CF-45DE-8F20-1E0D98EC6A09}"},
        {L"rich_list", L"{D6D9AC4C-715F-4311-B1CF-A37C3C3A3C6A}", L"{92F9B2A2-AF10-49A2-BCEA-0AC69E4C7132}"},
        {L"text", L"{8ABF4DD4-7A77-4FFA-8ADE-8E99490D0AF4}", L"{573221BD-E7FD-4D89-B768-9BE58D29AE82}"},
        {L"progress", L"{1155F5C3-607A-4502-A8F8-C96F489FD307}", L"{14573334-6831-45C0-8566-6A280C9A0664}"},
    };
    for (const auto& [name, layout] : *s_layouts) {
        const auto window = ParseBound(layout.window.at(L"bound"));
        ASSERT_TRUE(window) << name;
        std::set<std::wstring> ids;
        for (const auto& control : layout.controls) {
            const auto& a = control.attributes;
            SCOPED_TRACE(name + " " + Narrow(control.kind) + " " + (a.count(L"id") ? Narrow(a.at(L"id")) : "(no id)"));
            const Kind* kind = nullptr;
            for (const auto& k : kinds) {
                kind = control.kind == k.element ? &k : kind;
            }
            ASSERT_NE(kind, nullptr);
            EXPECT_EQ(a.at(L"category"), kind->category);
            EXPECT_EQ(a.at(L"iid"), kind->iid);
            EXPECT_EQ(a.at(L"style"), control.kind == L"button" ? L"0x10800000" : L"0x10000000");
            EXPECT_TRUE(a.count(L"theme") && !a.at(L"theme").empty());
            if (a.count(L"id")) {
                EXPECT_TRUE(ids.insert(a.at(L"id")).second) << "identifier used twice";
            }
            if (a.count(L"anchor")) {
                EXPECT_TRUE(IsAnchor(a.at(L"anchor"))) << Narrow(a.at(L"anchor"));
            }
            const auto bound = ParseBound(a.at(L"bound"));
            ASSERT_TRUE(bound);
            EXPECT_TRUE(window->left <= bound->left && bound->left <= bound->right && bound->right <= window->right &&
                        window->top <= bound->top && bound->top <= bound->bottom && bound->bottom <= window->bottom);
        }
    }
}

TEST_F(SkinPackage, EveryPictureALayoutNamesIsInThePackage)
{
    std::set<std::string> used;
    const auto checkPicture = [&](const std::wstring& path) -> std::optional<std::pair<unsigned, unsigned>> {
        const std::string entry = EntryForPath(path);
        used.insert(entry);
        const PackageEntry* found = s_package->Find(entry);
        EXPECT_NE(found, nullptr) << entry << " is not in the package";
        return found ? PngSize(found->data) : std::nullopt;
    };
    for (const auto& [name, layout] : *s_layouts) {
        for (const auto& [id, image] : layout.images) {
            SCOPED_TRACE(name + " " + Narrow(id));
            const auto size = checkPicture(image.path);
            ASSERT_TRUE(size) << "not a PNG";
            for (const auto& part : image.parts) {
                const int left = _wtoi(part.at(L"left").c_str()), top = _wtoi(part.at(L"top").c_str());
                const int width = _wtoi(part.at(L"width").c_str()), height = _wtoi(part.at(L"height").c_str());
                EXPECT_TRUE(left >= 0 && top >= 0 && width > 0 && height > 0 && left + width <= int(size->first) &&
                            top + height <= int(size->second))
                    << Narrow(part.at(L"part")) << " lies outside the picture";
            }
            EXPECT_TRUE(image.parts.empty() || image.parts.size() == 9);
        }
        for (const auto& control : layout.controls) {
            for (const wchar_t* attribute : {L"image", L"bar_image", L"light_image"}) {
                const auto found = control.attributes.find(attribute);
                if (found == control.attributes.end()) {
                    continue;
                }
                SCOPED_TRACE(name + " " + Narrow(found->second));
                if (found->second.rfind(L"IDI_", 0) == 0) {
                    EXPECT_NE(ResolveImage(name, found->second), nullptr) << "image name declared nowhere";
                } else {
                    EXPECT_TRUE(checkPicture(found->second)) << "not a PNG";
                }
            }
        }
    }
    for (const auto& entry : s_package->entries) {
        if (entry.name.rfind(kImagePrefix, 0) == 0) {
            EXPECT_EQ(used.count(entry.name), 1u) << entry.name << " is named by no layout";
        }
    }
}

// The names the program asks for at run time, each in the pack it asks: the desktop layout's (the image
// cache) or the layout a window loads as a pack of its own.
TEST_F(SkinPackage, DeclaresEveryImageTheProgramAsksForByName)
{
    struct Case {
        const char* layout;
        const wchar_t* name;
        int cornerWidth = 0;  // nine-part images: corner and middle sizes
        int cornerHeight = 0;
        int middleWidth = 0;
        int middleHeight = 0;
    };
    const Case cases[] = {
        {"KavoSandbox.xml", L"IDI_IMAGE_WINDOWS"}, {"KavoSandbox.xml", L"IDI_IMAGE_INTERNET"},
        {"KavoSandbox.xml", L"IDI_IMAGE_DISCONNECTINTERNET"}, {"KavoSandbox.xml", L"IDI_IMAGE_GUIDE"},
        {"KavoSandbox.xml", L"IDI_IMAGE_ARROW"}, {"KavoSandbox.xml", L"IDI_ICON_HARDDISK"},
        {"KavoSandbox.xml", L"IDI_SPLITER_CAP"}, {"KavoSandbox.xml", L"IDI_CHECKBOX"},
        {"KavoSandbox.xml", L"IDI_TASKBAR_COVER_NORMAL"}, {"KavoSandbox.xml", L"IDI_TASKBAR_COVER_CLICK"},
        {"KavoSandbox.xml", L"IDI_TASKBAR_COVER_HOVER"}, {"KavoSandbox.xml", L"IDI_BTN_FIRST"},
        {"KavoSandbox.xml", L"IDI_BTN_SECOND"}, {"KavoSandbox.xml", L"IDI_BTN_FEEDBACK"},
        {"KavoSandbox.xml", L"IDI_IAMGE_SEGMENTATION"},
        {"KavoSandbox.xml", L"IDI_IMAGE_COVER_HOVER", 30, 30, 14, 27},
        {"KavoSandbox.xml", L"IDI_IMAGE_COVER_CLICK", 30, 30, 14, 27},
        {"KavoSandbox.xml", L"IDI_IMAGE_COVER_LEAVE", 30, 30, 14, 27},
        {"KavoSandbox.xml", L"IDI_IMAGE_COVER_NORMAL", 30, 30, 14, 27},
        {"KavoSandbox.xml", L"IDI_ICONHAND"}, {"KavoSandbox.xml", L"IDI_ICONQUESTION"},
        {"KavoSandbox.xml", L"IDI_ICONEXCLAMATION"}, {"KavoSandbox.xml", L"IDI_ICONASTERISK"},
        {"NsExplorer.xml", L"IDI_PNG_BACK"}, {"NsExplorer.xml", L"IDI_PNG_FORWARD"},
        {"NsExplorer.xml", L"IDI_PNG_TOOLBAR"}, {"NsExplorer.xml", L"IDI_PNG_ENTRY"},
        {"NsProgress.xml", L"IDI_PROCESS_JD", 9, 9, 312, 2}, {"NsProgress.xml", L"IDI_PROCESS_BK", 9, 9, 312, 2},
        {"NsProgress.xml", L"IDI_PROCESS_LIGHT"},
        {"NsWindow.xml", L"IDI_IMAGE_SFOLDER"}, {"NsWindow.xml", L"IDI_IMAGE_SHTML"},
        {"NsWindow.xml", L"IDI_IMAGE_USER"}, {"NsWindow.xml", L"IDI_IMAGE_SEGMENTATION"},
        {"NsWindow.xml", L"IDI_SBUTTON_NORMAL"}, {"NsWindow.xml", L"IDI_SBUTTON_HOVER"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.layout) + " " + Narrow(c.name));
        const auto& images = LayoutOf(c.layout).images;
        const auto found = images.find(c.name);
        ASSERT_NE(found, images.end());
        if (!c.cornerWidth) {
            EXPECT_TRUE(found->second.parts.empty());
            continue;
        }
        std::map<std::wstring, std::pair<int, int>> sizes;
        for (const auto& part : found->second.parts) {
            sizes[part.at(L"part")] = {_wtoi(part.at(L"width").c_str()), _wtoi(part.at(L"height").c_str())};
        }
        const std::pair corner{c.cornerWidth, c.cornerHeight};
        EXPECT_EQ(sizes[L"left_top"], corner);
        EXPECT_EQ(sizes[L"right_top"], corner);
        EXPECT_EQ(sizes[L"left_bottom"], corner);
        EXPECT_EQ(sizes[L"right_bottom"], corner);
        EXPECT_EQ(sizes[L"center_center"], std::pair(c.middleWidth, c.middleHeight));
        EXPECT_EQ(sizes[L"center_top"], std::pair(c.middleWidth, c.cornerHeight));
        EXPECT_EQ(sizes[L"left_center"], std::pair(c.cornerWidth, c.middleHeight));
    }
}

// Texts come through XmlLite from UTF-8 as the windows show them, Chinese included.
TEST_F(SkinPackage, CarriesTheTextsAsTheWindowsShowThem)
{
    struct Case {
        const char* layout;
        int id;
        const wchar_t* attribute;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"KavoSandbox.xml", 2000, L"title", L"  Veyra "},
        {"KavoSandbox.xml", 2004, L"tip", L"设置"},
        {"KavoSandbox.xml", 2009, L"tip", L"功能介绍"},
        {"NsReplaceMsgbox.xml", 9000, L"title", L"复制文件"},
        {"NsReplaceMsgbox.xml", 9001, L"title", L"此位置已经包含同名文件"},
        {"NsReplaceMsgbox.xml", 9005, L"title", L"记住本次操作"},
        {"NsTaskmgr.xml", 7003, L"title", L"结束进程"},
        {"NsWindow.xml", 4025, L"title", L"我的电脑"},
        {"NsWindow.xml", 4011, L"title", L"退出"},
    };
    for (const auto& c : cases) {
        if (const LayoutControl* control = ExpectControl(c.layout, c.id)) {
            EXPECT_TRUE(control->attributes.at(c.attribute) == c.text) << c.layout << " " << c.id;
        }
    }
}

}  // namespace
}  // namespace veyra::test
