// The resync and the change notices on a real folder view: what a Refresh keeps, adds and removes, a
// failed listing, and each notice kind applied without a listing.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "shell/explorer/ViewMessages.h"
#include "tests/shell/explorer/ExplorerFixture.h"
#include "tests/shell/explorer/ListedView.h"

using namespace veyra;
using namespace veyra::test;

namespace {

bool Shown(NsIcon* item)
{
    DWORD style = 0;
    return item && item->OuterPanel() && SUCCEEDED(item->OuterPanel()->GetStyle(&style)) &&
           (style & vorrelUI::kStyleVisible) != 0;
}

ChangeNoticeRecord Notice(int kind, const std::wstring& path)
{
    ChangeNoticeRecord record{};
    record.kind = kind;
    path.copy(record.path1, std::min<size_t>(path.size(), 259));
    return record;
}

class ViewSyncTest : public ExplorerFixture {
protected:
    std::unique_ptr<ListedView> MakeView()
    {
        auto view = std::make_unique<ListedView>(m_panel.get(), Host(), kSandbox);
        std::uint32_t mode = 0;
        EXPECT_EQ(view->ChooseViewMode(m_root, &mode, 0), 1);
        view->SetCurrentPath(m_root);
        return view;
    }
    std::wstring At(const std::wstring& name) const { return m_root + L"\\" + name; }
    // The view's items by path, in display order.
    static std::vector<std::wstring> Paths(NsExplorer& view)
    {
        std::vector<std::wstring> paths;
        for (int index = 0; index < view.ItemCount(); ++index) {
            paths.push_back(view.ItemAt(index)->Record().path);
        }
        return paths;
    }
    static int Count(const std::vector<std::wstring>& paths, const std::wstring& path)
    {
        return static_cast<int>(std::count(paths.begin(), paths.end(), path));
    }
};

TEST_F(ViewSyncTest, RefreshWithNothingChangedKeepsItemsAndSelection)
{
    MakeReal(At(L"a.txt"));
    MakeReal(At(L"b.txt"));
    auto view = MakeView();
    ASSERT_EQ(view->Fill(), 1);
    NsIcon* b = view->FindItemByPath(At(L"b.txt"));
    ASSERT_EQ(view->Select(b, 0, kCoverClick), 1);

    ASSERT_NE(view->BeginRefresh(), 0);
    EXPECT_FALSE(Shown(b));  // hidden until the resync
    EXPECT_EQ(view->SyncItems(m_root, 0), 1);
    EXPECT_EQ(view->ItemCount(), 2);
    EXPECT_EQ(view->FindItemByPath(At(L"b.txt")), b);  // the same item, not a new one
    EXPECT_EQ(view->IsSelected(b), 1);
    EXPECT_TRUE(Shown(view->ItemAt(0)) && Shown(view->ItemAt(1)));
    KillTimer(Host(), kRefreshTimer);
}

TEST_F(ViewSyncTest, ResyncAppliesTheDifference)
{
    struct Case {
        const char* name;
        std::vector<std::wstring> shownFiles;  // on disk and in the view
        std::vector<std::wstring> deleted;     // files gone meanwhile
        std::vector<std::wstring> newFiles;
        std::vector<std::wstring> newFolders;
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {"added", {L"a.txt"}, {}, {L"new.txt"}, {}, {L"a.txt", L"new.txt"}},
        {"removed", {L"a.txt", L"gone.txt"}, {L"gone.txt"}, {}, {}, {L"a.txt"}},
        {"file replaced by folder", {L"x"}, {L"x"}, {}, {L"x"}, {L"x"}},
        {"empty view picks up", {}, {}, {L"late.txt"}, {}, {L"late.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::wstring& name : c.shownFiles) {
            MakeReal(At(name));
        }
        auto view = MakeView();
        ASSERT_EQ(view->Fill(), 1);
        for (const std::wstring& name : c.deleted) {
            ASSERT_TRUE(DeleteFileW(At(name).c_str()));
        }
        for (const std::wstring& name : c.newFiles) {
            MakeReal(At(name));
        }
        for (const std::wstring& name : c.newFolders) {
            ASSERT_TRUE(CreateFolderTree(At(name)));
        }
        EXPECT_EQ(view->SyncItems(m_root, 0), 1);
        std::vector<std::wstring> expected;
        for (const std::wstring& name : c.expected) {
            expected.push_back(At(name));
        }
        std::vector<std::wstring> paths = Paths(*view);
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(paths, expected);
        for (int index = 0; index < view->ItemCount(); ++index) {
            EXPECT_TRUE(Shown(view->ItemAt(index))) << index;
            EXPECT_EQ(view->ItemAt(index)->IsFolder(), !c.newFolders.empty()) << index;
        }
        view.reset();
        ASSERT_TRUE(RemoveTree(m_root) && CreateFolderTree(m_root));
    }
}

TEST_F(ViewSyncTest, ResyncDropsADuplicateAndKeepsTheComputerItem)
{
    MakeReal(At(L"a.txt"));
    auto view = MakeView();
    ASSERT_EQ(view->Fill(), 1);
    ASSERT_EQ(view->Fill(), 1);  // a.txt twice
    ASSERT_EQ(view->AddComputerItem(kComputerItemPath), 1);
    NsIcon* first = view->ItemAt(0);
    ASSERT_EQ(view->ItemCount(), 3);

    EXPECT_EQ(view->SyncItems(m_root, 0), 1);
    const std::vector<std::wstring> paths = Paths(*view);
    EXPECT_EQ(Count(paths, At(L"a.txt")), 1);
    EXPECT_EQ(Count(paths, kComputerItemPath), 1);
    EXPECT_EQ(view->ItemAt(0), first);  // the first of the two is the one kept
}

TEST_F(ViewSyncTest, FailedListingShowsEverythingAndRemovesNothing)
{
    MakeReal(At(L"a.txt"));
    MakeReal(At(L"b.txt"));
    auto view = MakeView();
    ASSERT_EQ(view->Fill(), 1);
    view->failListing = true;
    ASSERT_NE(view->BeginRefresh(), 0);
    EXPECT_EQ(view->SyncItems(m_root, 0), 0);
    ASSERT_EQ(view->ItemCount(), 2);
    EXPECT_TRUE(Shown(view->ItemAt(0)) && Shown(view->ItemAt(1)));
    KillTimer(Host(), kRefreshTimer);
}

TEST_F(ViewSyncTest, SecondRefreshWithinTheDelayRearmsTheOneTimer)
{
    auto view = MakeView();
    ASSERT_NE(view->BeginRefresh(), 0);
    ASSERT_NE(view->BeginRefresh(), 0);
    int fired = 0;
    const auto end = GetTickCount64() + 1000;
    MSG message{};
    while (GetTickCount64() < end) {
        if (PeekMessageW(&message, Host(), WM_TIMER, WM_TIMER, PM_REMOVE) && message.wParam == kRefreshTimer) {
            KillTimer(Host(), kRefreshTimer);  // as the host does when it fires
            ++fired;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_TIMER);
    }
    EXPECT_EQ(fired, 1);
}

TEST_F(ViewSyncTest, AddItemsAndSelectPostsTheRenameOnlyForOneSelectedPath)
{
    MakeReal(At(L"one.txt"));
    MakeReal(At(L"two.txt"));
    MakeReal(At(L"three.txt"));
    struct Case {
        std::vector<std::wstring> names;
        int select;
        bool posted;
    };
    const Case cases[] = {{{L"one.txt"}, 1, true}, {{L"two.txt", L"three.txt"}, 1, false}, {{L"one.txt"}, 0, false},
                          {{L"missing.txt"}, 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.names.size() << " path(s), select " << c.select);
        auto view = MakeView();
        std::vector<std::wstring> paths;
        for (const std::wstring& name : c.names) {
            paths.push_back(At(name));
        }
        MSG stale{};
        while (PeekMessageW(&stale, Host(), WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        }
        const int made = c.names[0] == L"missing.txt" ? 0 : static_cast<int>(c.names.size());
        const int result = view->AddItemsAndSelect(paths, c.select);
        EXPECT_EQ(result != 0, made != 0);
        EXPECT_EQ(view->ItemCount(), made);
        EXPECT_EQ(view->ItemTotal(), made);  // what was added, not what was asked for
        EXPECT_EQ(static_cast<int>(view->SelectedItems().size()), made);
        MSG message{};
        const bool posted = PeekMessageW(&message, Host(), WM_COMMAND, WM_COMMAND, PM_REMOVE) != FALSE;
        EXPECT_EQ(posted, c.posted);
        if (posted) {
            EXPECT_EQ(LOWORD(message.wParam), 32802);
        }
    }
    EXPECT_EQ(MakeView()->AddItemsAndSelect({}, 1), 0);
}

TEST_F(ViewSyncTest, ResyncOfTheComputerViewAddsADrive)
{
    auto view = std::make_unique<ListedView>(m_panel.get(), Host(), kSandbox);
    std::uint32_t mode = 0;
    ASSERT_EQ(view->ChooseViewMode(kComputerItemPath, &mode, 0), 1);
    view->SetCurrentPath(kComputerItemPath);
    // Nothing shown yet: every drive of the listing is one that came later.
    ASSERT_EQ(view->SyncItems(kComputerItemPath, 0), 1);
    ASSERT_GT(view->ItemCount(), 0);
    EXPECT_NE(view->FindItemByPath(L"C:"), nullptr);
    for (int index = 0; index < view->ItemCount(); ++index) {
        EXPECT_TRUE(view->ItemAt(index)->IsDrive()) << index;
    }
}

TEST_F(ViewSyncTest, EachNoticeKindAddsRemovesOrLeavesTheOneItem)
{
    struct Case {
        int kind;
        int result;
        int countAfter;  // the view shows "shown.txt"; "new.txt" exists on disk
    };
    const Case cases[] = {{0, 0, 1}, {1, 1, 2}, {2, 1, 2}, {3, 1, 1}, {4, 1, 0},
                          {5, 1, 1}, {6, 1, 1}, {7, 1, 1}, {8, 1, 0}, {9, 1, 1}};
    MakeReal(At(L"shown.txt"));
    MakeReal(At(L"new.txt"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        auto view = MakeView();
        ASSERT_EQ(view->AddItemsAndSelect({At(L"shown.txt")}, 0), 1);
        const std::wstring named = c.kind == 4 || c.kind == 8 ? At(L"shown.txt") : At(L"new.txt");
        const ChangeNoticeRecord record = Notice(c.kind, named);
        EXPECT_EQ(view->ApplyChangeNotice(&record), c.result);
        EXPECT_EQ(view->ItemCount(), c.countAfter);
        EXPECT_EQ(view->listings, 0);  // a notice never lists the folder
    }
}

// Notices that come between two steps of a long fill: a file another window pasted shows at once and
// only once, and a file another window deleted is not brought back by the step that would have added it.
TEST_F(ViewSyncTest, NoticesBetweenFillStepsNeitherDoubleAnItemNorBringOneBack)
{
    auto view = MakeView();
    const int count = static_cast<int>(NsExplorer::kFillStepItems) * 3;
    std::vector<FileItemRecord> records;
    for (int index = 0; index < count; ++index) {
        const std::wstring path = At(L"item" + std::to_wstring(1000 + index) + L".txt");
        MakeReal(path);
        records.push_back(MakeRecord(path, kFileKindFile));
        records.back().sandboxId = kSandbox;
    }
    const std::wstring pasted = records[count - 2].path;
    const std::wstring deleted = records[count - 1].path;
    const NsExplorer::FillAdder add = [&](const FileItemRecord& record) { return view->AddItemForRecord(record, 1, 0); };
    const std::uint32_t number = view->BeginListing();
    static_cast<void>(view->BeginSteppedFill(records, add));
    ASSERT_GT(view->PendingFillRecords(), 2u);

    const ChangeNoticeRecord appeared = Notice(NoticeKind::kFileAppeared, pasted);
    EXPECT_EQ(view->ApplyChangeNotice(&appeared), 1);
    EXPECT_NE(view->FindItemByPath(pasted), nullptr) << "shown at once, not at its step";
    ASSERT_TRUE(DeleteFileW(deleted.c_str()));
    const ChangeNoticeRecord gone = Notice(NoticeKind::kFileGone, deleted);
    EXPECT_EQ(view->ApplyChangeNotice(&gone), 1);
    for (int step = 0; step < count && view->PendingFillRecords() > 0; ++step) {
        static_cast<void>(view->ContinueFill(number, add));
    }
    EXPECT_EQ(view->PendingFillRecords(), 0u);

    EXPECT_EQ(view->ItemCount(), count - 1);
    int pastedShown = 0;
    for (int index = 0; index < view->ItemCount(); ++index) {
        const std::wstring& path = view->ItemAt(index)->Record().path;
        pastedShown += path == pasted ? 1 : 0;
        EXPECT_NE(path, deleted) << "a deleted file came back with its step";
    }
    EXPECT_EQ(pastedShown, 1);
    view->ClearItems();
}

TEST_F(ViewSyncTest, NoticesOutsideTheFolderOrForShownPathsChangeNothing)
{
    MakeReal(At(L"shown.txt"));
    MakeReal(At(L"sub\\inner.txt"));
    auto view = MakeView();
    ASSERT_EQ(view->AddItemsAndSelect({At(L"shown.txt")}, 0), 1);

    const ChangeNoticeRecord other = Notice(NoticeKind::kFileAppeared, At(L"sub\\inner.txt"));
    EXPECT_EQ(view->ApplyChangeNotice(&other), 0);
    const ChangeNoticeRecord again = Notice(NoticeKind::kFileAppeared, At(L"shown.txt"));
    EXPECT_EQ(view->ApplyChangeNotice(&again), 1);
    const ChangeNoticeRecord absent = Notice(NoticeKind::kFileGone, At(L"never.txt"));
    EXPECT_EQ(view->ApplyChangeNotice(&absent), 1);
    const ChangeNoticeRecord root = Notice(NoticeKind::kFolderAppeared, L"C:\\");
    EXPECT_EQ(view->ApplyChangeNotice(&root), 0);
    ChangeNoticeRecord unterminated = Notice(NoticeKind::kFileAppeared, L"");
    std::fill(std::begin(unterminated.path1), std::end(unterminated.path1), L'a');
    EXPECT_EQ(view->ApplyChangeNotice(&unterminated), 0);
    EXPECT_EQ(view->ApplyChangeNotice(nullptr), 0);
    EXPECT_EQ(view->ItemCount(), 1);
    EXPECT_EQ(view->listings, 0);
}

TEST_F(ViewSyncTest, NoticeInTheSandboxPathFormAddsTheViewPath)
{
    const std::wstring path = At(L"only-in-sandbox.txt");
    MakeShadow(path);
    auto view = MakeView();
    const ChangeNoticeRecord record = Notice(NoticeKind::kFileAppeared, Shadow(path));
    EXPECT_EQ(view->ApplyChangeNotice(&record), 1);
    ASSERT_EQ(view->ItemCount(), 1);
    EXPECT_EQ(view->ItemAt(0)->Record().path, path);
}

}  // namespace

namespace {

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

TEST_F(ViewSyncTest, ItemsClosingUpAfterARemovalTakeTheirPicturesAlong)
{
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) {
        MakeReal(At(name));
    }
    auto view = MakeView();
    ASSERT_EQ(view->Fill(), 1);
    const ChangeNoticeRecord gone = Notice(NoticeKind::kFileGone, view->ItemAt(0)->Record().path);
    ASSERT_EQ(view->ApplyChangeNotice(&gone), 1);
    ASSERT_EQ(view->ItemCount(), 2);
    for (int index = 0; index < view->ItemCount(); ++index) {
        NsIcon* item = view->ItemAt(index);
        const RECT& cell = item->Record().cellRect;
        RECT face{}, outer{};
        ASSERT_TRUE(item->IconControl());
        ASSERT_TRUE(SUCCEEDED(item->IconControl()->ControlFace()->GetRect(&face)));
        ASSERT_TRUE(SUCCEEDED(item->OuterPanel()->GetRect(&outer)));
        EXPECT_TRUE(Inside(face, cell)) << index << ": face " << face.left << "," << face.top << " cell " << cell.left
                                        << "," << cell.top;
        EXPECT_TRUE(EqualRect(&outer, &item->Record().labelRect)) << index;
    }
}

}  // namespace
