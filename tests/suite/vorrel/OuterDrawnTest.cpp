// An outer-drawn child: the program never shows it itself, so inserting it into a container shows it
// (or the library would never ask the program to paint it).

#include <windows.h>

#include <gtest/gtest.h>

#include "base/ComPtr.h"
#include "suite/contracts/VorrelInterfaces.h"
#include "suite/vorrel/Controls.h"
#include "tests/suite/vorrel/SkinFixture.h"

using namespace vorrelUI;
using veyra::ComPtr;

namespace {

TEST(OuterDrawnTest, InsertedChildIsShown)
{
    vorrel::test::OuterStub outer;
    ASSERT_EQ(vorrel::CreateOuterDrawnControl(&outer, IID_IUnknown, outer.inner.put_void()), S_OK);
    ComPtr<Ivorrel_control> face;
    ASSERT_EQ(outer.inner->QueryInterface(IID_Ivorrel_outercontrol, face.put_void()), S_OK);
    const RECT rect{10, 10, 84, 98};
    face->Move(&rect, FALSE);
    DWORD style = 0;
    face->GetStyle(&style);
    EXPECT_EQ(style & kStyleVisible, 0u);

    ComPtr<Ivorrel_panel> panel;
    ASSERT_EQ(vorrel::CreateControlOfCategory(CATEGORY_panel, IID_Ivorrel_panel, L"sandbox_default", panel.put_void()),
              S_OK);
    const RECT whole{0, 0, 200, 200};
    panel->Move(&whole, FALSE);
    panel->ModifyStyle(kStyleVisible, 0);
    ASSERT_EQ(panel->InsertOuterChild(0, face.get()), S_OK);
    face->GetStyle(&style);
    EXPECT_NE(style & kStyleVisible, 0u);
    panel->RemoveAllChildren();
    face.reset();
    outer.inner.reset();
}

}  // namespace
