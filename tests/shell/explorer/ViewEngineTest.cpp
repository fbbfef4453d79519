// NsExplorer with real items in the folder window's skinned panel: cells and the add-item family,
// compaction, hit tests with the scroll shift, ensure visible, look-up by path, clicks through the
// view, and what removing an item does to the anchor, highlight, rename box and panel.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/shell/explorer/ExplorerFixture.h"
#include "tests/support/RectAssertions.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr LONG kPanelLeft = 150;
constexpr LONG kPanelTop = 65;

RECT FolderCell(int index)
{
    const int columns = (580 - 10) / 81;
    const LONG left = kPanelLeft + (index % columns) * 81 + 5, top = kPanelTop + (index / columns) * 89 + 5;
    return RECT{left, top, left + 74, top + 88};
}

POINT Centre(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// What the user sees of an item: its outer panel. The cell's empty margin below the last row lies past
// the content, where the panel cannot scroll.
RECT ShownRect(NsIcon* item)
{
    RECT rect{};
    static_cast<void>(item->OuterPanel()->GetRect(&rect));
    return rect;
}

int ChildCount(vorrelUI::Ivorrel_panel* panel)
{
    INT count = -1;
    panel->GetChildCount(&count);
    return count;
}

class ViewEngineTest : public ExplorerFixture {
protected:
    void AddFiles(NsExplorer& view, int count)
    {
        for (int index = 0; index < count; ++index) {
            ASSERT_NE(AddFile(view, L"file" + std::to_wstring(100 + index) + L".txt"), nullptr) << index;
        }
    }
};

TEST_F(ViewEngineTest, ItemsTakeTheFolderCellsInOrder)
{
    auto view = MakeFolderView();
    EXPECT_EQ(view->Grid().columns, 7);
    EXPECT_EQ(view->Grid().rows, 3);
    AddFiles(*view, 9);
    ASSERT_EQ(view->ItemCount(), 9);
    for (int index = 0; index < 9; ++index) {
        EXPECT_TRUE(SameRect(view->ItemAt(index)->Record().cellRect, FolderCell(index))) << index;
    }
    EXPECT_EQ(view->ItemTotal(), 9);
    EXPECT_EQ(view->PlacementCounter(), 9);
    EXPECT_EQ(ChildCount(m_panel.get()), 9);

    view->ClearItems();
    EXPECT_EQ(view->ItemCount(), 0);
    EXPECT_EQ(view->ItemTotal(), 0);
    EXPECT_EQ(view->PlacementCounter(), 0);
    EXPECT_EQ(ChildCount(m_panel.get()), 0);
    view->ClearItems();  // on an empty view: the grid again, every counter 0
    EXPECT_EQ(view->Grid().columns, 7);
    EXPECT_EQ(view->PlacementCounter(), 0);
}

TEST_F(ViewEngineTest, NothingIsAddedWithoutAGrid)
{
    const RECT narrow{150, 65, 159, 419};  // 9 pixels: (9 - 10) / 81 columns
    ASSERT_EQ(m_panel->Move(&narrow, FALSE), S_OK);
    auto view = MakeFolderView();
    EXPECT_EQ(view->Grid().columns, 0);
    EXPECT_EQ(AddFile(*view, L"a.txt"), nullptr);
    EXPECT_EQ(view->ItemCount(), 0);
    EXPECT_EQ(view->PlacementCounter(), 0);
    EXPECT_EQ(ChildCount(m_panel.get()), 0);
}

TEST_F(ViewEngineTest, RemovingTheFirstOfFiveMovesTheOthersBack)
{
    auto view = MakeFolderView();
    AddFiles(*view, 5);
    std::vector<NsIcon*> later;
    for (int index = 1; index < 5; ++index) {
        later.push_back(view->ItemAt(index));
    }
    std::vector<NsIcon*> gone{view->ItemAt(0)};
    view->RemoveItems(gone);
    EXPECT_TRUE(gone.empty());
    ASSERT_EQ(view->ItemCount(), 4);
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(view->ItemAt(index), later[static_cast<size_t>(index)]);
        EXPECT_TRUE(SameRect(later[static_cast<size_t>(index)]->Record().cellRect, FolderCell(index))) << index;
        RECT outer{};
        later[static_cast<size_t>(index)]->OuterPanel()->GetRect(&outer);
        EXPECT_EQ(outer.left, FolderCell(index).left) << "control of item " << index << " not moved";
    }
    EXPECT_EQ(view->PlacementCounter(), 4);
    EXPECT_EQ(view->ItemTotal(), 4);
    EXPECT_EQ(ChildCount(m_panel.get()), 4);  // the removed item's panel left the view panel
    RECT next{};
    EXPECT_EQ(view->PlaceNextItem(&next, 0, 0), 1);
    EXPECT_TRUE(SameRect(next, FolderCell(4)));
}

// The desktop keeps its cells: a removed icon frees its cell and the others stay.
class FixedCellView : public NsExplorer {
public:
    using NsExplorer::NsExplorer;
    int PlaceNextItem(RECT* out, int, int) override
    {
        *out = RECT{5, 30 + 93 * m_next, 79, 118 + 93 * m_next};
        ++m_next;
        return 1;
    }
    int MarkCell(int left, int top, int, int, int occupied) override
    {
        freed.push_back(POINT{left, top});
        return occupied == 0 ? 1 : 0;
    }
    std::vector<POINT> freed;

private:
    int m_next = 0;
};

TEST_F(ViewEngineTest, RemovingADesktopIconLeavesTheOthersInPlace)
{
    FixedCellView view(m_panel.get(), Host(), kSandbox);
    view.SetViewMode(VIEW_MODE_DESKTOP);
    AddFiles(view, 3);
    std::vector<NsIcon*> gone{view.ItemAt(0)};
    const NsIcon* last = view.ItemAt(2);
    view.RemoveItems(gone);
    ASSERT_EQ(view.freed.size(), 1u);
    EXPECT_EQ(view.freed[0].y, 30);
    EXPECT_EQ(last->Record().cellRect.top, 30 + 2 * 93);
}

TEST_F(ViewEngineTest, HitTestsFollowThePanelAndTheScroll)
{
    auto view = MakeFolderView();
    AddFiles(*view, 40);  // six rows, more than the panel shows
    POINT onFirst = Centre(FolderCell(0));
    EXPECT_EQ(view->ItemFromPoint(&onFirst), view->ItemAt(0));
    POINT above{FolderCell(0).left + 10, 64};
    EXPECT_EQ(view->ItemFromPoint(&above), nullptr);
    POINT gap{FolderCell(0).right + 3, FolderCell(0).top + 10};
    EXPECT_EQ(view->ItemFromPoint(&gap), nullptr);

    ComPtr<vorrelUI::Ivorrel_scroll> scroll;
    ASSERT_EQ(m_panel->GetScroll(scroll.put()), S_OK);
    ASSERT_EQ(scroll->SetPosition(10, FALSE), S_OK);
    ASSERT_EQ(view->ScrollPosition(), 10);
    // y 150 is tested at 170: the second row's cell, not the first's.
    POINT shifted{FolderCell(7).left + 30, 150};
    EXPECT_EQ(view->ItemFromPoint(&shifted), view->ItemAt(7));

    // Maximised, the panel reaches lower: a point below 420 hits the rows there.
    ASSERT_EQ(scroll->SetPosition(0, FALSE), S_OK);
    const RECT tall{150, 65, 730, 900};
    ASSERT_EQ(m_panel->Move(&tall, FALSE), S_OK);
    POINT low = Centre(FolderCell(28));
    ASSERT_GT(low.y, 420);
    EXPECT_EQ(view->ItemFromPoint(&low), view->ItemAt(28));
}

TEST_F(ViewEngineTest, EnsureVisibleBringsTheWholeCellIn)
{
    auto view = MakeFolderView();
    AddFiles(*view, 40);
    const RECT panel = view->PanelRect();
    for (int index : {39, 20, 0, 25}) {
        NsIcon* item = view->ItemAt(index);
        view->EnsureVisible(item);
        const int shown = view->ScrollPosition() * 2;
        const RECT seen = ShownRect(item);
        EXPECT_GE(seen.top - panel.top, shown) << index;
        EXPECT_LE(seen.bottom - panel.top, shown + (panel.bottom - panel.top)) << index;
    }
}

TEST_F(ViewEngineTest, FindItemByPathIgnoresCaseAndTheSandboxForm)
{
    auto view = MakeFolderView();
    NsIcon* item = AddFile(*view, L"Report.txt");
    ASSERT_NE(item, nullptr);
    std::wstring upper = item->Record().path;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    EXPECT_EQ(view->FindItemByPath(upper), item);
    EXPECT_EQ(view->FindItemByPath(Shadow(item->Record().path)), item);
    EXPECT_EQ(view->FindItemByPath(m_root + L"\\other.txt"), nullptr);
    EXPECT_EQ(view->RemoveItemsByPath({m_root + L"\\other.txt"}), 0);
    EXPECT_EQ(view->RemoveItemsByPath({}), 0);
    EXPECT_EQ(view->RemoveItemsByPath({upper}), 1);
    EXPECT_EQ(view->FindItemByPath(upper), nullptr);
    EXPECT_FALSE(view->HoldsItem(item));
}

TEST_F(ViewEngineTest, ClicksThroughTheViewSetCovers)
{
    auto view = MakeFolderView();
    AddFiles(*view, 6);
    POINT second = Centre(FolderCell(1));
    EXPECT_EQ(view->OnLButtonDown(&second), 1);
    EXPECT_EQ(view->PressedOnItem(), 1);
    EXPECT_EQ(view->OnLButtonUp(&second), 1);
    EXPECT_EQ(view->PressedOnItem(), 0);
    EXPECT_EQ(view->ItemAt(1)->CoverName(), kCoverClick);
    EXPECT_EQ(view->SelectRange(view->ItemAt(4), kCoverClick), 1);
    EXPECT_EQ(view->SelectedItems().size(), 4u);
    for (int index = 1; index <= 4; ++index) {
        EXPECT_EQ(view->ItemAt(index)->CoverName(), kCoverClick) << index;
    }
    POINT nowhere{700, 400};
    EXPECT_EQ(view->OnLButtonDown(&nowhere), 0);
    EXPECT_TRUE(view->SelectedItems().empty());
    EXPECT_EQ(view->ItemAt(4)->CoverName(), kCoverLeave);
    EXPECT_EQ(view->FocusMark(), 1);

    int shortcut = -1;
    POINT third = Centre(FolderCell(2));
    EXPECT_EQ(view->OnRButtonDown(&third, &shortcut), 1);
    EXPECT_EQ(shortcut, 0);
    EXPECT_EQ(view->SelectedItems(), std::vector<NsIcon*>{view->ItemAt(2)});

    EXPECT_EQ(view->OnArrowKey(VK_RIGHT), 1);
    EXPECT_EQ(view->FocusItem(), view->ItemAt(3));
    EXPECT_EQ(view->OnArrowKey(VK_UP), 0);  // the top row
    view->SelectAll(1, kCoverClick);
    EXPECT_EQ(view->SelectedItems().size(), 6u);
}

TEST_F(ViewEngineTest, TypeAheadScrollsTheMatchIntoSight)
{
    auto view = MakeFolderView();
    NsIcon* first = AddFile(*view, L"axe.txt");
    AddFiles(*view, 30);
    NsIcon* below = AddFile(*view, L"abc.txt");  // fifth row: below the fold
    ASSERT_TRUE(first && below);
    view->TypeAhead(L'a');
    EXPECT_EQ(view->SelectedItems(), std::vector<NsIcon*>{first});
    EXPECT_EQ(view->ScrollPosition(), 0);
    view->TypeAhead(L'b');  // "ab"
    EXPECT_EQ(view->SelectedItems(), std::vector<NsIcon*>{below});
    const RECT panel = view->PanelRect();
    EXPECT_GT(view->ScrollPosition(), 0);
    const RECT seen = ShownRect(below);
    EXPECT_GE(seen.top - panel.top, view->ScrollPosition() * 2);
    EXPECT_LE(seen.bottom - panel.top, view->ScrollPosition() * 2 + panel.bottom - panel.top);
    view->TypeAhead(L'd');  // "abd": no match, nothing changes
    EXPECT_EQ(view->FocusItem(), below);
    view->ResetTypeAhead();
    view->TypeAhead(L'a');  // after the focus none begins with "a": round to the first
    EXPECT_EQ(view->FocusItem(), first);
}

TEST_F(ViewEngineTest, TooltipsOfFilesAndShortcuts)
{
    auto view = MakeFolderView();
    NsIcon* file = AddFile(*view, L"notes.txt", kFileKindFile, std::string(2048, 'x'));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(view->Hover(file, kCoverHover), 1);
    EXPECT_EQ(file->CoverName(), kCoverHover);
    const std::wstring& tip = file->TooltipText();
    EXPECT_EQ(tip.rfind(L"notes.txt\n大小：", 0), 0u) << tip.size();
    EXPECT_NE(tip.find(L"\n修改日期： "), std::wstring::npos);
    EXPECT_NE(tip.find(L"\n类型："), std::wstring::npos);

    MakeShortcut(m_root + L"\\notes.lnk", m_root + L"\\notes.txt");
    FileItemRecord link = MakeRecord(m_root + L"\\notes.lnk", kFileKindFile, 1);
    ASSERT_EQ(view->AddDocumentItem(link, 1, 0), 1);
    NsIcon* shortcut = view->ItemAt(1);
    view->SetItemTooltip(shortcut);
    EXPECT_EQ(shortcut->TooltipText(), L"位置：notes (" + m_root + L"\\notes.lnk)");
    view->Unhover(kCoverNormal);
    EXPECT_EQ(file->CoverName(), kCoverNormal);
}

TEST_F(ViewEngineTest, RemovedAnchorHighlightAndRenamingItemAreForgotten)
{
    auto view = MakeFolderView();
    AddFiles(*view, 6);
    NsIcon* anchor = view->ItemAt(1);
    POINT onAnchor = Centre(FolderCell(1));
    ASSERT_EQ(view->OnLButtonDown(&onAnchor), 1);
    ASSERT_EQ(view->SelectRange(view->ItemAt(3), kCoverClick), 1);
    ASSERT_EQ(view->AnchorItem(), anchor);
    view->SetDropHighlight(view->ItemAt(5), kCoverClick);
    ASSERT_EQ(view->BeginRename(), 1);  // the focus item, 3
    NsIcon* renaming = view->RenamingItem();
    ASSERT_EQ(renaming, view->ItemAt(3));
    const HWND box = view->RenameEditor()->Handle();
    ASSERT_TRUE(IsWindow(box));

    std::vector<NsIcon*> gone{anchor, view->ItemAt(5), renaming};
    view->RemoveItems(gone);
    EXPECT_EQ(view->AnchorItem(), nullptr);
    EXPECT_EQ(view->DropHighlightItem(), nullptr);
    EXPECT_EQ(view->RenamingItem(), nullptr);
    EXPECT_EQ(view->RenameEditor(), nullptr);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_TRUE(view->SelectedItems().empty());
    EXPECT_EQ(view->ItemAt(1)->CoverName(), kCoverNormal);  // was selected, now the normal cover

    // Used again: a late rename notice, a new highlight and a range.
    view->CommitRename(1);
    view->SetDropHighlight(view->ItemAt(0), kCoverClick);
    EXPECT_EQ(view->SelectRange(view->ItemAt(2), kCoverClick), 1);
    EXPECT_EQ(view->SelectedItems().size(), 1u);
    EXPECT_EQ(view->AnchorItem(), view->ItemAt(2));
}

TEST_F(ViewEngineTest, ClearItemsClosesTheRenameBox)
{
    auto view = MakeFolderView();
    AddFiles(*view, 2);
    ASSERT_EQ(view->Select(view->ItemAt(0), 0, kCoverClick), 1);
    ASSERT_EQ(view->BeginRename(), 1);
    const HWND box = view->RenameEditor()->Handle();
    view->ClearItems();
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(view->RenameEditor(), nullptr);
    EXPECT_EQ(view->RenamingItem(), nullptr);
}

}  // namespace
