// Scrolling: the folder window's view panel (control style 1) with 200 children scrolled by the wheel,
// by its drawn bar and into view, its children shown and hit at the offset; positions in 2-pixel units.
// The desktop panel has no scroll bar.

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/suite/vorrel/SkinFixture.h"

using namespace vorrelUI;
using namespace vorrel::test;
using veyra::ComPtr;

namespace {

constexpr int kChildren = 200;
constexpr LONG kPitch = 20;

class ScrollTest : public SkinFixture {
protected:
    void SetUp() override
    {
        SkinFixture::SetUp();
        m_folder = Build(L"NsExplorer.xml", true);
        m_view = m_folder.Find<Ivorrel_panel>(1005, IID_Ivorrel_panel);
        ASSERT_TRUE(m_view);
        m_view->GetRect(&m_rect);
        for (int index = 0; index < kChildren; ++index) {
            const LONG top = m_rect.top + index * kPitch;
            auto child = NewPanel(RECT{m_rect.left, top, m_rect.right - 30, top + kPitch}, static_cast<USHORT>(5000 + index));
            m_view->AddChild(child.get());
        }
        ASSERT_EQ(m_view->GetScroll(m_scroll.put()), S_OK);
    }
    void TearDown() override
    {
        m_scroll.reset();
        m_view.reset();
        m_folder.Close();
        SkinFixture::TearDown();
    }
    int Position() const
    {
        SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, 0, 0};
        m_scroll->GetScrollInfo(&info);
        return info.nPos;
    }
    // The identifier of the child shown at window y.
    USHORT ChildAt(LONG y) const
    {
        ComPtr<Ivorrel_control> child;
        USHORT id = 0;
        if (SUCCEEDED(m_view->ChildFromPoint(POINT{m_rect.left + 10, y}, child.put())) && child) {
            child->GetId(&id);
        }
        return id;
    }
    LONG Height() const { return m_rect.bottom - m_rect.top; }
    int Range() const { return (kChildren * kPitch - Height() + 1) / 2; }

    BuiltWindow m_folder;
    ComPtr<Ivorrel_panel> m_view;
    ComPtr<Ivorrel_scroll> m_scroll;
    RECT m_rect{};
};

TEST_F(ScrollTest, OnlyAPanelWithControlStyleOneHasAScrollBar)
{
    BuiltWindow desktop = Build(L"KavoSandbox.xml");
    ComPtr<Ivorrel_scroll> none;
    EXPECT_EQ(desktop.Find<Ivorrel_panel>(2001, IID_Ivorrel_panel)->GetScroll(none.put()), E_NOINTERFACE);
    EXPECT_FALSE(none);
    desktop.Close();
    SCROLLINFO info{sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_EQ(m_scroll->GetScrollInfo(&info), S_OK);
    EXPECT_EQ(info.nPos, 0);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nPage, static_cast<UINT>(Height() / 2));
    EXPECT_EQ(info.nMax - static_cast<int>(info.nPage) + 1, Range()) << "the largest position";
}

TEST_F(ScrollTest, WheelMovesThePositionAndChildrenAreHitAtTheOffset)
{
    const POINT inside = Centre(m_rect);
    Wheel(m_folder.host, inside, -WHEEL_DELTA);
    EXPECT_EQ(Position(), 30);
    EXPECT_EQ(ChildAt(m_rect.top + 5), 5000 + 60 / kPitch) << "60 pixels scrolled";
    // A click on a child where it is shown now reaches that child.
    auto child = m_folder.Find<Ivorrel_control>(5010, IID_Ivorrel_control);
    EventRecorder sink;
    sink.Listen(child.get());
    Click(m_folder.host, POINT{m_rect.left + 10, m_rect.top + 10 * kPitch - 60 + 5});
    ASSERT_EQ(sink.Of(1).size(), 1u);
    EXPECT_EQ(sink.Of(1)[0].values[1], MAKEWPARAM(5010, 0));
    Wheel(m_folder.host, inside, 4 * WHEEL_DELTA);
    EXPECT_EQ(Position(), 0) << "stops at the top";
}

TEST_F(ScrollTest, DrawnBarPagesOnItsTrackAndFollowsItsThumb)
{
    const POINT trackBelow{m_rect.right - 3, m_rect.bottom - 5};
    Click(m_folder.host, trackBelow);
    EXPECT_EQ(Position(), Height() / 2) << "a page down";
    m_scroll->SetPosition(0, TRUE);
    // The thumb at the top, dragged down by 100 pixels of its travel.
    const LONG thumb = std::max<LONG>(16, Height() * Height() / (Height() + 2 * Range()));
    const LONG travel = Height() - thumb;
    MouseDown(m_folder.host, POINT{m_rect.right - 3, m_rect.top + 5});
    MouseMove(m_folder.host, POINT{m_rect.right - 3, m_rect.top + 105});
    MouseUp(m_folder.host, POINT{m_rect.right - 3, m_rect.top + 105});
    EXPECT_NEAR(Position(), 100 * Range() / travel, 2);
    EXPECT_EQ(ChildAt(m_rect.top + 1), 5000 + (m_rect.top + 1 - m_rect.top + 2 * Position()) / kPitch);
}

TEST_F(ScrollTest, ScrollIntoViewCodes)
{
    // Ensure-visible: the item's bottom minus the panel's height brings the bottom to the panel's bottom.
    const LONG bottom = m_rect.top + 151 * kPitch;
    ASSERT_EQ(m_scroll->ScrollIntoView(kScrollCodeContentTop, bottom - Height(), 0, 0, 0), S_OK);
    EXPECT_EQ(ChildAt(m_rect.bottom - 1), 5150) << "position " << Position();
    EXPECT_EQ(ChildAt(m_rect.bottom + 1), 0);
    // A band above the view is scrolled to the top edge, one inside it leaves the position alone.
    const LONG top = m_rect.top + 3 * kPitch;
    ASSERT_EQ(m_scroll->ScrollIntoView(kScrollCodeIntoView, top, top + kPitch, 0, 0), S_OK);
    EXPECT_EQ(ChildAt(m_rect.top + 1), 5003);
    const int kept = Position();
    ASSERT_EQ(m_scroll->ScrollIntoView(kScrollCodeIntoView, top + kPitch, top + 2 * kPitch, 0, 0), S_OK);
    EXPECT_EQ(Position(), kept);
    EXPECT_EQ(m_scroll->ScrollIntoView(99, 0, 0, 0, 0), E_INVALIDARG);
    m_scroll->SetPosition(100000, FALSE);
    EXPECT_EQ(Position(), Range()) << "clamped";
}

}  // namespace
