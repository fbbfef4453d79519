// A listing filled into the view a bounded step at a time: every record once, in the listing's order,
// each next step asked for by a message to the host; a new listing drops the rest of the old one.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/explorer/ViewMessages.h"
#include "tests/shell/explorer/ExplorerFixture.h"

using namespace veyra;
using namespace veyra::test;

namespace {

class SteppedFillTest : public ExplorerFixture {
protected:
    std::vector<FileItemRecord> Records(int count)
    {
        std::vector<FileItemRecord> records;
        for (int index = 0; index < count; ++index) {
            const std::wstring path = m_root + L"\\item" + std::to_wstring(1000 + index) + L".txt";
            MakeReal(path, "text");
            records.push_back(MakeRecord(path, kFileKindFile));
            records.back().sandboxId = kSandbox;
        }
        return records;
    }

    // The next step's message waiting for the host: its listing number, or false when none waits.
    bool NextStep(std::uint32_t& number)
    {
        MSG message{};
        if (!PeekMessageW(&message, Host(), WM_NS_ITEMS_LOADED, WM_NS_ITEMS_LOADED, PM_REMOVE)) {
            return false;
        }
        EXPECT_EQ(message.wParam, 0u) << "a step's message carries no listing";
        number = static_cast<std::uint32_t>(message.lParam);
        return true;
    }
};

TEST_F(SteppedFillTest, EveryRecordOnceInOrderInBoundedSteps)
{
    const struct {
        int count;
        int fewestSteps;
    } cases[] = {{0, 1}, {1, 1}, {static_cast<int>(NsExplorer::kFillStepItems), 1},
                 {static_cast<int>(NsExplorer::kFillStepItems) * 2 + 5, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        auto view = MakeFolderView();
        std::vector<FileItemRecord> records = Records(c.count);
        std::vector<std::wstring> paths;
        for (const FileItemRecord& record : records) {
            paths.push_back(record.path);
        }
        std::vector<std::wstring> handed;
        const NsExplorer::FillAdder add = [&](const FileItemRecord& record) {
            handed.push_back(record.path);
            return view->AddItemForRecord(record, 1, 0);
        };
        const std::uint32_t listing = view->BeginListing();
        std::vector<int> steps{view->BeginSteppedFill(records, add)};
        EXPECT_TRUE(records.empty()) << "the view takes the records over";
        std::uint32_t number = 0;
        while (NextStep(number)) {
            ASSERT_EQ(number, listing);
            ASSERT_LT(steps.size(), paths.size() + 1) << "a step that adds nothing";
            steps.push_back(view->ContinueFill(number, add));
        }
        EXPECT_EQ(view->PendingFillRecords(), 0u);
        EXPECT_GE(static_cast<int>(steps.size()), c.fewestSteps);
        for (const int added : steps) {
            EXPECT_LE(added, static_cast<int>(NsExplorer::kFillStepItems));
            EXPECT_TRUE(added > 0 || c.count == 0);
        }
        EXPECT_EQ(handed, paths);
        ASSERT_EQ(view->ItemCount(), c.count);
        for (int index = 0; index < c.count; ++index) {
            EXPECT_EQ(view->ItemAt(index)->Record().path, paths[static_cast<size_t>(index)]) << index;
        }
        view->ClearItems();
    }
}

TEST_F(SteppedFillTest, NewListingDropsTheRestOfTheOldOne)
{
    auto view = MakeFolderView();
    std::vector<FileItemRecord> records = Records(static_cast<int>(NsExplorer::kFillStepItems) * 3);
    const NsExplorer::FillAdder add = [&](const FileItemRecord& record) { return view->AddItemForRecord(record, 1, 0); };
    const std::uint32_t old = view->BeginListing();
    const int first = view->BeginSteppedFill(records, add);
    ASSERT_GT(view->PendingFillRecords(), 0u);

    const std::uint32_t fresh = view->BeginListing();  // as a reload does
    EXPECT_EQ(view->PendingFillRecords(), 0u) << "the superseded listing is freed at once";
    std::uint32_t number = 0;
    ASSERT_TRUE(NextStep(number));
    EXPECT_EQ(number, old);
    EXPECT_EQ(view->ContinueFill(number, add), 0);
    EXPECT_EQ(view->ContinueFill(fresh, add), 0) << "no listing of the new number is being filled";
    EXPECT_EQ(view->ItemCount(), first);
    EXPECT_FALSE(NextStep(number)) << "a dropped listing asks for no further step";
    view->ClearItems();
}

}  // namespace
