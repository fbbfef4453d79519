// The selection without a window: click, Ctrl, Shift, right-click and empty-spot sequences give the
// selection, focus, anchor and covers; ranges follow the view's display index; removed items leave no
// reference behind; type-ahead finds the next caption and wraps round to the focus.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "shell/explorer/ViewSelection.h"
#include "shell/iconview/NsIconNoPe.h"

using namespace veyra;

namespace {

constexpr std::uint32_t kMode = 0x10104;

class Recorder : public ViewSelectionHost {
public:
    void SetCover(NsIcon* item, const wchar_t* image) override { covers[item] = image; }
    int DisplayIndexOf(NsIcon* item) override
    {
        const auto found = std::find(order.begin(), order.end(), item);
        return found == order.end() ? -1 : static_cast<int>(found - order.begin());
    }
    void SelectionChanged() override { ++changes; }

    std::map<const NsIcon*, std::wstring> covers;
    std::vector<NsIcon*> order;  // display order
    int changes = 0;
};

enum class Step { Click, Ctrl, Shift, Right, Nothing };

struct Action {
    Step step;
    int item;
};

class ViewSelectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const wchar_t* names[] = {L"apple", L"Banana", L"abc", L"abd", L"cherry", L"date"};
        for (const wchar_t* name : names) {
            auto item = std::make_unique<NsIconNoPe>(&kMode);
            item->Record().caption = name;
            item->Record().path = std::wstring(L"D:\\f\\") + name;
            m_host.order.push_back(item.get());
            m_items.push_back(std::move(item));
        }
    }

    NsIcon* At(int index) const { return index < 0 ? nullptr : m_items[static_cast<size_t>(index)].get(); }
    int IndexOf(const NsIcon* item) const
    {
        for (size_t index = 0; index < m_items.size(); ++index) {
            if (m_items[index].get() == item) {
                return static_cast<int>(index);
            }
        }
        return -1;
    }
    std::vector<int> Selected() const
    {
        std::vector<int> indexes;
        for (const NsIcon* item : m_selection.Selected()) {
            indexes.push_back(IndexOf(item));
        }
        std::sort(indexes.begin(), indexes.end());
        return indexes;
    }
    void Run(const std::vector<Action>& actions)
    {
        for (const Action& action : actions) {
            switch (action.step) {
            case Step::Click:
                m_selection.Click(At(action.item), ClickModifier::None, m_items);
                break;
            case Step::Ctrl:
                m_selection.Click(At(action.item), ClickModifier::Control, m_items);
                break;
            case Step::Shift:
                m_selection.Click(At(action.item), ClickModifier::Shift, m_items);
                break;
            case Step::Right:
                m_selection.RightClick(At(action.item));
                break;
            case Step::Nothing:  // a press where no item is: the view clears
                m_selection.Clear(kCoverNormal, kCoverLeave);
                break;
            }
        }
    }
    std::wstring Cover(int index) { return m_host.covers.count(At(index)) ? m_host.covers[At(index)] : L""; }

    Recorder m_host;
    ItemList m_items;
    ViewSelection m_selection{m_host};
};

TEST_F(ViewSelectionTest, Sequences)
{
    using enum Step;
    struct Case {
        const char* name;
        std::vector<Action> actions;
        std::vector<int> selected;
        int focus;
        int anchor;
        int focusMark;
    } cases[] = {
        {"click", {{Click, 2}}, {2}, 2, -1, 0},
        {"click another", {{Click, 1}, {Click, 3}}, {3}, 3, -1, 0},
        {"ctrl adds", {{Click, 1}, {Ctrl, 3}}, {1, 3}, 3, -1, 0},
        {"ctrl on a selected item keeps it", {{Click, 1}, {Ctrl, 1}}, {1}, 1, -1, 0},
        {"click on a selected item keeps the selection", {{Click, 1}, {Ctrl, 3}, {Click, 1}}, {1, 3}, 1, -1, 0},
        {"shift with nothing selected", {{Shift, 2}}, {2}, 2, 2, 0},
        {"shift range", {{Click, 1}, {Shift, 4}}, {1, 2, 3, 4}, 4, 1, 0},
        {"shift backwards", {{Click, 4}, {Shift, 1}}, {1, 2, 3, 4}, 1, 4, 0},
        {"shift on the anchor", {{Click, 2}, {Shift, 2}}, {2}, 2, 2, 0},
        {"shift extends from the same anchor", {{Click, 1}, {Shift, 3}, {Shift, 5}}, {1, 2, 3, 4, 5}, 5, 1, 0},
        {"shift shrinks to the other side", {{Click, 1}, {Shift, 5}, {Shift, 0}}, {0, 1}, 0, 1, 0},
        {"a click moves the anchor", {{Click, 1}, {Shift, 3}, {Click, 5}, {Shift, 4}}, {4, 5}, 4, 5, 0},
        {"ctrl moves the anchor", {{Click, 1}, {Shift, 2}, {Ctrl, 5}, {Shift, 3}}, {3, 4, 5}, 3, 5, 0},
        {"right click on an unselected item", {{Click, 1}, {Ctrl, 2}, {Right, 4}}, {4}, 4, -1, 0},
        {"right click on a selected item", {{Click, 1}, {Ctrl, 2}, {Right, 2}}, {1, 2}, 2, -1, 0},
        {"press on nothing", {{Click, 1}, {Ctrl, 2}, {Nothing, -1}}, {}, 2, -1, 1},
        {"click after the focus mark", {{Click, 1}, {Nothing, -1}, {Click, 3}}, {3}, 3, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_selection.ForgetAll();
        m_host.covers.clear();
        Run(c.actions);
        EXPECT_EQ(Selected(), c.selected);
        EXPECT_EQ(IndexOf(m_selection.Focus()), c.focus);
        EXPECT_EQ(IndexOf(m_selection.Anchor()), c.anchor);
        EXPECT_EQ(m_selection.FocusMark(), c.focusMark);
        for (int index = 0; index < static_cast<int>(m_items.size()); ++index) {
            const bool selected = std::count(c.selected.begin(), c.selected.end(), index) != 0;
            const std::wstring cover = Cover(index);
            if (selected) {
                EXPECT_EQ(cover, kCoverClick) << "item " << index;
            } else if (c.focusMark && index == c.focus) {
                EXPECT_EQ(cover, kCoverLeave) << "item " << index;
            } else {
                EXPECT_TRUE(cover.empty() || cover == kCoverNormal) << "item " << index;
            }
        }
    }
}

// Cells filled column by column: the display order is not the list's. A range is the items between the
// two display indexes, not everything from the first to the end of the list.
TEST_F(ViewSelectionTest, RangeFollowsTheDisplayIndex)
{
    m_host.order = {At(0), At(3), At(1), At(4), At(2), At(5)};
    Run({{Step::Click, 0}, {Step::Shift, 4}});
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(Cover(2), L"");
    // An item added after the others but shown first.
    m_selection.ForgetAll();
    m_host.order = {At(5), At(0), At(1), At(2), At(3), At(4)};
    Run({{Step::Click, 1}, {Step::Shift, 5}});
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 5}));
}

TEST_F(ViewSelectionTest, RemovedItemsLeaveNoReference)
{
    Run({{Step::Click, 1}, {Step::Shift, 3}});
    ASSERT_EQ(m_selection.Anchor(), At(1));
    m_selection.SetDropHighlight(At(4), kCoverClick);
    static_cast<void>(m_selection.Hover(At(5), kCoverHover));
    for (int gone : {1, 4, 5}) {
        m_selection.Forget(At(gone));
        m_host.order.erase(std::find(m_host.order.begin(), m_host.order.end(), At(gone)));
    }
    EXPECT_EQ(m_selection.Anchor(), nullptr);
    EXPECT_EQ(m_selection.DropHighlight(), nullptr);
    EXPECT_EQ(m_selection.HoverItem(), nullptr);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3}));

    // Used again: none of the removed items is touched.
    const std::map<const NsIcon*, std::wstring> before = m_host.covers;
    m_selection.SetDropHighlight(At(2), kCoverClick);
    m_selection.Unhover(kCoverNormal);
    Run({{Step::Shift, 3}});
    for (int gone : {1, 4, 5}) {
        EXPECT_EQ(m_host.covers[At(gone)], before.at(At(gone))) << "item " << gone;
    }
    EXPECT_EQ(m_selection.Anchor(), At(2));  // the first selected item anchors the new range
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3}));
}

TEST_F(ViewSelectionTest, ResetGivesTheLeavingItemsTheNormalCover)
{
    Run({{Step::Click, 1}, {Step::Ctrl, 2}});
    static_cast<void>(m_selection.Hover(At(4), kCoverHover));
    m_selection.Reset(kCoverNormal);
    EXPECT_TRUE(m_selection.Selected().empty());
    EXPECT_EQ(m_selection.Focus(), nullptr);
    EXPECT_EQ(m_selection.HoverItem(), nullptr);
    EXPECT_EQ(Cover(1), kCoverNormal);
    EXPECT_EQ(Cover(2), kCoverNormal);
    EXPECT_EQ(Cover(4), kCoverNormal) << "the forgotten hover is not left lit";
}

TEST_F(ViewSelectionTest, HoverAndDropHighlight)
{
    static_cast<void>(m_selection.Hover(At(1), kCoverHover));
    EXPECT_EQ(Cover(1), kCoverHover);
    m_selection.Unhover(kCoverNormal);
    EXPECT_EQ(Cover(1), kCoverNormal);
    EXPECT_EQ(m_selection.HoverItem(), nullptr);

    Run({{Step::Click, 2}});
    static_cast<void>(m_selection.Hover(At(2), kCoverHover));
    m_selection.Unhover(kCoverNormal);  // the focus keeps its hover
    EXPECT_EQ(m_selection.HoverItem(), At(2));

    m_selection.SetDropHighlight(At(3), kCoverClick);
    m_selection.SetDropHighlight(At(4), kCoverClick);
    EXPECT_EQ(Cover(3), kCoverNormal);
    EXPECT_EQ(Cover(4), kCoverClick);
    m_selection.ClearDropHighlight(kCoverNormal);
    EXPECT_EQ(Cover(4), kCoverNormal);
    EXPECT_EQ(m_selection.DropHighlight(), nullptr);
}

TEST_F(ViewSelectionTest, SelectAllAndChangeNotices)
{
    m_selection.SelectAll(m_items, 1, kCoverClick);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    const int changes = m_host.changes;
    m_selection.SelectAll(m_items, 0, kCoverClick);
    EXPECT_TRUE(Selected().empty());
    EXPECT_GT(m_host.changes, changes);
    EXPECT_EQ(m_selection.Select(nullptr, 0, kCoverClick), 0);
    EXPECT_EQ(m_selection.SelectRange(nullptr, kCoverClick, m_items), 0);
}

TEST_F(ViewSelectionTest, TypeAheadMatches)
{
    struct Case {
        int focus;
        const wchar_t* prefix;
        int match;
    } cases[] = {
        {-1, L"a", 0}, {0, L"a", 2},  {2, L"ab", 3},  {3, L"ab", 2},  {4, L"c", 4},   {1, L"b", 1},
        {-1, L"AB", 2}, {5, L"ap", 0}, {-1, L"z", -1}, {-1, L"", -1}, {2, L"abcd", -1}, {5, L"d", 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindTypeAheadMatch(m_items, c.focus, c.prefix), c.match) << "focus " << c.focus;
    }
    EXPECT_EQ(FindTypeAheadMatch(ItemList{}, -1, L"a"), -1);
}

}  // namespace
