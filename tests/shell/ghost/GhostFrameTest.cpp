// The work-band classification, the ghost's clamp, and the ghost window itself: its one-pixel frame,
// its moves without activation, a close that destroys only the ghost.

#include <windows.h>

#include <gtest/gtest.h>

#include "base/MessageLoop.h"
#include "base/UniqueResource.h"
#include "core/fileops/ChangeNotice.h"
#include "shell/ghost/ClassifyRectInHost.h"
#include "shell/ghost/NsVirtualMoveWnd.h"
#include "tests/support/RectAssertions.h"

using namespace veyra;
using veyra::test::SameRect;

namespace {

TEST(ClassifyRectInHostTest, CasesAgainstTheBand)
{
    const RECT band = WorkBandOf(RECT{0, 0, 830, 625});
    ASSERT_TRUE(SameRect(band, RECT{0, 25, 830, 585}));
    struct Case {
        const char* name;
        RECT window;
        int result;
        RECT out;
    } const cases[] = {
        {"wholly inside", {100, 100, 400, 300}, kRectInside, {0, 0, 300, 200}},
        {"right edge 10 past", {600, 100, 840, 300}, kRectClipped, {0, 0, 230, 200}},
        {"right edge exactly on the band's", {530, 100, 830, 300}, kRectInside, {0, 0, 300, 200}},
        {"right and bottom past", {600, 500, 840, 650}, kRectClipped, {0, 0, 230, 85}},
        {"only the bottom past", {100, 500, 400, 650}, kRectClipped, {0, 0, 300, 85}},
        {"top-right corner in the band", {-50, 100, 200, 300}, kRectClipped, {50, 0, 250, 200}},
        {"top-right corner in, bottom past", {-50, 500, 200, 700}, kRectClipped, {50, 0, 250, 85}},
        {"top 5 above, inside horizontally", {100, 20, 400, 220}, kRectMovedDown, {100, 25, 400, 225}},
        {"top above, left outside", {-50, 20, 200, 220}, kRectMovedDown, {-50, 25, 200, 225}},
        {"top above, right at the band's edge", {600, 20, 830, 220}, kRectMovedDownRight, {600, 25, 830, 225}},
        {"top above, right beyond", {600, 20, 840, 220}, kRectMovedDownRight, {600, 25, 840, 225}},
        {"wider than the band on both sides", {-10, 100, 900, 300}, kRectOutside, {7, 7, 7, 7}},
        {"wholly below", {100, 600, 400, 700}, kRectOutside, {7, 7, 7, 7}},
        {"wholly left", {-400, 100, 0, 300}, kRectOutside, {7, 7, 7, 7}},
    };
    for (const Case& c : cases) {
        RECT out{7, 7, 7, 7};
        EXPECT_EQ(ClassifyRectInHost(band, c.window, out), c.result) << c.name;
        EXPECT_TRUE(SameRect(out, c.out)) << c.name;
    }
}

TEST(GhostClampTest, TopLineHoldsWhateverTheGrabPoint)
{
    const RECT host{100, 50, 930, 675};
    struct Case {
        const char* name;
        POINT cursor;
        POINT offset;
        POINT expected;
    } const cases[] = {
        {"offset 5, cursor over the title", {500, 60}, {40, 5}, {500, 80}},
        {"offset 25, cursor over the title", {500, 60}, {40, 25}, {500, 100}},
        {"offset 25, cursor just below the old test line", {500, 90}, {40, 25}, {500, 100}},
        {"offset 25, free in the middle", {500, 300}, {40, 25}, {500, 300}},
        {"cursor low: kept 70 above the bottom, offset once", {500, 700}, {40, 25}, {500, 605}},
        {"cursor at the bottom limit", {500, 605}, {40, 5}, {500, 605}},
        {"left of the host", {50, 300}, {40, 5}, {100, 300}},
        {"right of the host", {1000, 300}, {40, 5}, {930, 300}},
        {"grab point too low for both limits: the top line wins", {500, 300}, {40, 600}, {500, 675}},
    };
    for (const Case& c : cases) {
        const POINT clamped = NsVirtualMoveWnd::ClampCursor(c.cursor, host, c.offset);
        EXPECT_EQ(clamped.x, c.expected.x) << c.name;
        EXPECT_EQ(clamped.y, c.expected.y) << c.name;
        EXPECT_GE(clamped.y - c.offset.y, host.top + NsVirtualMoveWnd::kTopMargin) << c.name;
    }
}

class GhostWindowTest : public ::testing::Test {
protected:
    static constexpr int kOwnerKey = 0x4711;

    void SetUp() override
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = L"GhostTestHost";
        RegisterClassW(&windowClass);
        m_host.reset(CreateWindowExW(0, L"GhostTestHost", L"host", WS_POPUP | WS_VISIBLE, 100, 50, 830, 625, nullptr,
                                     nullptr, nullptr, nullptr));
        ASSERT_TRUE(m_host);
        RegisterHostWindow(kOwnerKey, m_host.get());
    }
    void TearDown() override { RegisterHostWindow(kOwnerKey, nullptr); }

    static RECT WindowRect(HWND hwnd)
    {
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        return rect;
    }
    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }

    UniqueWindow m_host;
};

TEST_F(GhostWindowTest, FollowsTheCursorBelowTheTitleStrip)
{
    NsVirtualMoveWnd ghost(kOwnerKey);
    ghost.SetDragOffset(40, 12);
    ASSERT_TRUE(ghost.Create(m_host.get(), RECT{300, 200, 600, 400}));
    EXPECT_TRUE(IsWindowVisible(ghost.Handle()));
    ghost.MoveToCursor(POINT{450, 40});
    EXPECT_TRUE(SameRect(WindowRect(ghost.Handle()), RECT{410, 75, 710, 275}));
    ghost.MoveToCursor(POINT{450, 300});
    EXPECT_TRUE(SameRect(WindowRect(ghost.Handle()), RECT{410, 288, 710, 488}));
}

TEST_F(GhostWindowTest, DisabledClampLetsTheGhostGoAnywhere)
{
    NsVirtualMoveWnd ghost(kOwnerKey);
    ghost.SetDragOffset(40, 12);
    ghost.DisableClamp();
    ASSERT_TRUE(ghost.Create(m_host.get(), RECT{300, 200, 600, 400}));
    ghost.MoveToCursor(POINT{20, 10});
    EXPECT_TRUE(SameRect(WindowRect(ghost.Handle()), RECT{-20, -2, 280, 198}));
}

TEST_F(GhostWindowTest, OnlyTheOutlineIsPartOfTheWindow)
{
    NsVirtualMoveWnd ghost(kOwnerKey);
    ASSERT_TRUE(ghost.Create(m_host.get(), RECT{300, 200, 600, 400}));
    const UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(ghost.Handle(), region.get()), ERROR);
    EXPECT_TRUE(PtInRegion(region.get(), 0, 0));
    EXPECT_TRUE(PtInRegion(region.get(), 299, 199));
    EXPECT_TRUE(PtInRegion(region.get(), 150, 199));
    EXPECT_FALSE(PtInRegion(region.get(), 1, 1));
    EXPECT_FALSE(PtInRegion(region.get(), 150, 100));
}

TEST_F(GhostWindowTest, PaintsItsFrameDarkGrey)
{
    NsVirtualMoveWnd ghost(kOwnerKey);
    ASSERT_TRUE(ghost.Create(m_host.get(), RECT{300, 200, 600, 400}));
    RedrawWindow(ghost.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const HDC dc = GetDC(ghost.Handle());
    const COLORREF pixel = GetPixel(dc, 0, 100);
    ReleaseDC(ghost.Handle(), dc);
    EXPECT_EQ(pixel, kGhostFrameColor);
}

TEST_F(GhostWindowTest, CloseDestroysOnlyTheGhost)
{
    MessageLoop loop;
    NsVirtualMoveWnd ghost(kOwnerKey);
    ASSERT_TRUE(ghost.Create(m_host.get(), RECT{300, 200, 600, 400}));
    const HWND hwnd = ghost.Handle();
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the close ended the thread's loop";
    EXPECT_TRUE(IsWindow(m_host.get()));
}

// The ghost joins the loop's filters while it exists and leaves them when its window goes or when it
// is deleted with its window still there, so the loop never reaches a freed filter.
TEST_F(GhostWindowTest, LeavesTheLoopFilters)
{
    MessageLoop loop;
    auto ghost = std::make_unique<NsVirtualMoveWnd>(kOwnerKey);
    ASSERT_TRUE(ghost->Create(m_host.get(), RECT{300, 200, 600, 400}));
    const MessageFilter* filter = ghost.get();
    EXPECT_TRUE(loop.HasFilter(filter));
    ghost.reset();
    EXPECT_FALSE(loop.HasFilter(filter));

    NsVirtualMoveWnd destroyedFirst(kOwnerKey);
    ASSERT_TRUE(destroyedFirst.Create(m_host.get(), RECT{300, 200, 600, 400}));
    DestroyWindow(destroyedFirst.Handle());
    EXPECT_FALSE(loop.HasFilter(&destroyedFirst));
}

}  // namespace
