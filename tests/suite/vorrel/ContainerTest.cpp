// Containers and pictures: moving a container carries its descendants; a cover lies behind the
// children; list-header columns share one column style and the splitter is drawn once between them; a
// pack's image look-up falls back to the registered packs in their order and knows the cover alias; a
// button's caption stands in its middle.

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/suite/vorrel/SkinFixture.h"

using namespace vorrelUI;
using namespace vorrel::test;
using veyra::ComPtr;

namespace {

class ContainerTest : public SkinFixture {};

RECT RectOf(IUnknown* control)
{
    ComPtr<Ivorrel_control> face;
    control->QueryInterface(IID_Ivorrel_control, face.put_void());
    RECT rect{};
    face->GetRect(&rect);
    return rect;
}

TEST_F(ContainerTest, MovingAContainerCarriesItsDescendants)
{
    BuiltWindow desktop = Build(L"KavoSandbox.xml");
    auto view = desktop.Find<Ivorrel_panel>(2001, IID_Ivorrel_panel);
    // An icon item: the outer panel with its picture, caption label and icon panel holding a label.
    auto outer = NewPanel(RECT{5, 30, 79, 118});
    auto picture = NewControl<Ivorrel_itemcontrol>(CATEGORY_picture, IID_Ivorrel_itemcontrol);
    const RECT pictureRect{18, 32, 66, 80};
    picture->Move(&pictureRect, FALSE);
    auto caption = NewLabel(RECT{5, 84, 79, 118}, L"readme");
    auto inner = NewPanel(RECT{5, 30, 79, 118});
    auto innerLabel = NewLabel(RECT{10, 40, 20, 50}, L"x");
    inner->AddChild(innerLabel.get());
    for (IUnknown* child : {static_cast<IUnknown*>(picture.get()), static_cast<IUnknown*>(caption.get()),
                            static_cast<IUnknown*>(inner.get())}) {
        ComPtr<Ivorrel_control> face;
        child->QueryInterface(IID_Ivorrel_control, face.put_void());
        outer->AddChild(face.get());
    }
    view->AddChild(outer.get());

    const RECT cell{79, 123, 153, 211};  // the next cell: 74 right, 93 down
    outer->Move(&cell, TRUE);
    struct Case {
        const char* name;
        IUnknown* control;
        RECT expected;
    } const cases[] = {
        {"outer", outer.get(), cell},
        {"picture", picture.get(), RECT{92, 125, 140, 173}},
        {"caption", caption.get(), RECT{79, 177, 153, 211}},
        {"inner panel", inner.get(), RECT{79, 123, 153, 211}},
        {"label in the inner panel", innerLabel.get(), RECT{84, 133, 94, 143}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const RECT got = RectOf(test.control);
        EXPECT_TRUE(EqualRect(&got, &test.expected)) << got.left << "," << got.top << "," << got.right << "," << got.bottom;
    }
    desktop.Close();
}

TEST_F(ContainerTest, CoverLiesBehindTheChildren)
{
    BuiltWindow desktop = Build(L"KavoSandbox.xml", true);
    auto view = desktop.Find<Ivorrel_panel>(2001, IID_Ivorrel_panel);
    auto item = NewPanel(RECT{100, 100, 200, 200});
    auto child = NewPanel(RECT{130, 130, 170, 170}, 0, L"panel_sandbox__line_gray");  // an opaque #D5DBE3
    item->AddChild(child.get());
    view->AddChild(item.get());
    ComPtr<Ivorrel_image> cover = DesktopImage(L"IDI_IMAGE_DESKTOP");  // opaque all over
    ASSERT_TRUE(cover);
    const COLORREF bare = PixelAt(desktop.host, POINT{110, 110});
    item->SetCoverImage(cover.get());
    EXPECT_EQ(PixelAt(desktop.host, POINT{150, 150}), RGB(0xD5, 0xDB, 0xE3)) << "the child shows over the cover";
    EXPECT_NE(PixelAt(desktop.host, POINT{110, 110}), bare) << "the cover is drawn";
    desktop.Close();
}

TEST_F(ContainerTest, ListHeaderColumnsShareOneStyleAndTheSplitterIsDrawnOnce)
{
    BuiltWindow tasks = Build(L"NsTaskmgr.xml", true);
    auto body = tasks.Find<Ivorrel_panel>(7001, IID_Ivorrel_panel);
    auto list = tasks.Find<Ivorrel_list>(7002, IID_Ivorrel_list);
    const RECT listRect = tasks.RectOf(7002);
    auto header = NewControl<Ivorrel_panel>(CATEGORY_listheader, IID_Ivorrel_panel);
    ASSERT_TRUE(header);
    const RECT strip{listRect.left, listRect.top - 28, listRect.right, listRect.top};
    header->Move(&strip, FALSE);
    header->ModifyStyle(kStyleVisible, 0);
    body->AddChild(header.get());
    header->SetImage(DesktopImage(L"IDI_SPLITER_CAP").get());
    ComPtr<Ivorrel_listheader> columns;
    ASSERT_EQ(header.As(IID_Ivorrel_listheader, columns), S_OK);
    const LONG split = listRect.right - 200;
    auto name = NewPanel(RECT{strip.left, strip.top, split, strip.bottom});
    auto id = NewPanel(RECT{split, strip.top, strip.right, strip.bottom});
    ASSERT_EQ(columns->AddColumn(name.get()), S_OK);
    ASSERT_EQ(columns->AddColumn(id.get()), S_OK);
    list->AttachHeader(header.get());
    for (IUnknown* column : {static_cast<IUnknown*>(name.get()), static_cast<IUnknown*>(id.get())}) {
        ComPtr<Ivorrel_control> face;
        column->QueryInterface(IID_Ivorrel_control, face.put_void());
        wchar_t theme[64] = {};
        face->GetThemeName(theme, 64);
        EXPECT_STREQ(theme, kListHeaderColumnTheme);
    }
    // Away from the boundary the header shows its columns' colour, not a stretched splitter.
    const COLORREF column = RGB(0xEE, 0xF1, 0xF5);
    EXPECT_EQ(PixelAt(tasks.host, POINT{strip.left + 40, strip.top + 14}), column);
    EXPECT_EQ(PixelAt(tasks.host, POINT{split + 40, strip.top + 14}), column);
    EXPECT_NE(PixelAt(tasks.host, POINT{split, strip.top + 14}), column) << "the splitter stands at the boundary";
    tasks.Close();
}

TEST_F(ContainerTest, PackLookupFallsBackToTheRegisteredPacksInOrderAndMapsTheCover)
{
    ComPtr<Ivorrel_resregistry> registry;
    ASSERT_EQ(m_engine->GetResRegistry(registry.put()), S_OK);
    ComPtr<Ivorrel_respack> menuPack, desktopPack;
    ASSERT_EQ(Create(CLSID_vorrel_respack, IID_Ivorrel_respack, menuPack.put_void()), S_OK);
    ASSERT_EQ(Create(CLSID_vorrel_respack, IID_Ivorrel_respack, desktopPack.put_void()), S_OK);
    ASSERT_EQ(menuPack->Load(0, Layout(L"NsWindow.xml").c_str()), S_OK);
    ASSERT_EQ(desktopPack->Load(0, Layout(L"KavoSandbox.xml").c_str()), S_OK);
    registry->AddPack(0, desktopPack.get());
    struct Case {
        const wchar_t* asked;
        const wchar_t* found;  // nullptr: not found
    } const cases[] = {
        {L"IDI_IMAGE_SFOLDER", L"IDI_IMAGE_SFOLDER"},          // the pack's own
        {L"IDI_IMAGE_DESKTOP", L"IDI_IMAGE_DESKTOP"},          // a registered pack's
        {L"IDI_PNG_COVER_NORMAL", L"IDI_TASKBAR_COVER_NORMAL"},  // the alias
        {L"IDI_NO_SUCH_PICTURE", nullptr},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(&test - cases));
        ComPtr<Ivorrel_image> image;
        const HRESULT hr = menuPack->GetImage(test.asked, image.put());
        if (!test.found) {
            EXPECT_TRUE(FAILED(hr));
            EXPECT_FALSE(image);
            continue;
        }
        ASSERT_EQ(hr, S_OK);
        wchar_t name[64] = {};
        image->GetName(name, 64);
        EXPECT_STREQ(name, test.found);
    }
}

}  // namespace

TEST_F(ContainerTest, ACheckButtonDrawsItsPictureOnlyInItsBox)
{
    // The check picture comes from the desktop's pack, as in the program.
    ComPtr<Ivorrel_resregistry> registry;
    ASSERT_EQ(m_engine->GetResRegistry(registry.put()), S_OK);
    ComPtr<Ivorrel_respack> desktopPack;
    ASSERT_EQ(Create(CLSID_vorrel_respack, IID_Ivorrel_respack, desktopPack.put_void()), S_OK);
    ASSERT_EQ(desktopPack->Load(0, Layout(L"KavoSandbox.xml").c_str()), S_OK);
    registry->AddPack(0, desktopPack.get());
    BuiltWindow box = Build(L"NsReplaceMsgbox.xml", true);
    ASSERT_NE(box.Dump().find("image=IDI_CHECKBOX\tloaded=1"), std::string::npos) << box.Dump();
    const RECT check = box.RectOf(9005);
    ASSERT_FALSE(IsRectEmpty(&check));
    // Past the text, inside the control (where a picture stretched over it would show its checked frame):
    // the box's own background, as just outside the control.
    const int middle = (check.top + check.bottom) / 2;
    const COLORREF outside = PixelAt(box.host, POINT{check.right + 3, middle});
    EXPECT_EQ(PixelAt(box.host, POINT{check.left + 110, middle}), outside);
    EXPECT_EQ(PixelAt(box.host, POINT{check.right - 3, middle}), outside);
    box.Close();
}

TEST_F(ContainerTest, AButtonCentresItsCaption)
{
    BuiltWindow box = Build(L"NsReplaceMsgbox.xml", true);
    struct Case {
        USHORT id;
        const char* caption;
    };
    for (const Case& c : {Case{9006, "跳过"}, Case{9007, "取消"}}) {
        const RECT button = box.RectOf(c.id);
        ASSERT_FALSE(IsRectEmpty(&button)) << c.caption;
        // Ink: the caption's dark pixels, well apart from the light face of the button's picture.
        LONG first = button.right, last = button.left;
        for (LONG y = button.top + 2; y < button.bottom - 2; ++y) {
            for (LONG x = button.left + 2; x < button.right - 2; ++x) {
                const COLORREF pixel = PixelAt(box.host, POINT{x, y});
                if (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 3 * 0x70) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
            }
        }
        ASSERT_LT(first, last) << c.caption << ": no text drawn";
        const LONG before = first - button.left, after = button.right - 1 - last;
        EXPECT_LE(std::abs(before - after), 3) << c.caption << ": " << before << " px before the text, " << after << " after";
    }
    box.Close();
}
