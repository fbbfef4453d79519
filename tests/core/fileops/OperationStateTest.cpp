#include <gtest/gtest.h>

#include <atomic>

#include "base/UniqueResource.h"
#include "core/fileops/NsOperate.h"
#include "core/fileops/WorkOrder.h"

namespace {

using veyra::FileOperationItem;
using veyra::FileOperationItems;
using veyra::OperationProgress;
using veyra::RefPtr;

std::atomic<int> s_destroyed{0};
std::atomic<DWORD> s_destroyedOnThread{0};

// A worker that waits for its go signal, then reports into the progress state it was handed.
class WaitingOperate final : public veyra::NsOperate {
public:
    WaitingOperate() : NsOperate(1), go(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~WaitingOperate() override
    {
        s_destroyed += 1;
        s_destroyedOnThread = GetCurrentThreadId();
    }
    HANDLE Start() noexcept override { return StartWorker(); }

    veyra::UniqueHandle go;

private:
    DWORD RunWorker() noexcept override
    {
        WaitForSingleObject(go.get(), 10000);
        progressDialog->SetTotals(1, 100);
        progressDialog->FinishItem(100);
        return 1;
    }
};

TEST(NsOperate, WorkerKeepsOperationAndProgressAliveAfterTheDialogLetsGo)
{
    s_destroyed = 0;
    RefPtr<WaitingOperate> operation = veyra::MakeRef<WaitingOperate>();
    ASSERT_TRUE(operation);
    RefPtr<OperationProgress> dialogProgress = veyra::MakeRef<OperationProgress>();
    operation->progressDialog = dialogProgress;
    veyra::UniqueHandle thread(operation->Start());
    ASSERT_TRUE(thread);
    EXPECT_NE(operation->threadId, 0u);

    // The dialog closes and forgets both before the worker has touched them.
    HANDLE go = operation->go.get();
    dialogProgress.reset();
    operation.reset();
    EXPECT_EQ(s_destroyed, 0) << "the running worker still holds the operation";
    SetEvent(go);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(s_destroyed, 1);
    EXPECT_EQ(s_destroyedOnThread, GetThreadId(thread.get())) << "the last reference goes with the worker";
}

TEST(NsOperate, BaseHasNoWorker)
{
    struct Plain final : veyra::NsOperate {
        Plain() : NsOperate(4) {}
        DWORD RunWorker() noexcept override { return 0; }
    };
    RefPtr<Plain> operation = veyra::MakeRef<Plain>();
    EXPECT_EQ(operation->Start(), nullptr);
    EXPECT_EQ(operation->progressWindow, nullptr);
    EXPECT_EQ(operation->type, 4);
}

TEST(OperationProgress, CountersFollowTotalsItemsAndTheRunningFile)
{
    RefPtr<OperationProgress> progress = veyra::MakeRef<OperationProgress>();
    EXPECT_EQ(progress->Percent(), 0) << "nothing counted: the bar stays at 0";
    progress->SetTotals(3, 4000);
    progress->FinishItem(1000);
    progress->SetRunningFileBytes(500);
    veyra::ProgressCounters counters = progress->Counters();
    EXPECT_EQ(counters.total, 4000u);
    EXPECT_EQ(counters.totalDivisor, 4000u);
    EXPECT_EQ(counters.baseDone, 1000u);
    EXPECT_EQ(counters.done, 1500u);
    EXPECT_EQ(counters.itemCount, 3);
    EXPECT_EQ(counters.itemsDone, 1);
    EXPECT_EQ(progress->Percent(), 37);
    progress->FinishItem(3000);
    EXPECT_EQ(progress->Counters().done, 4000u) << "a finished item drops the running file's bytes";
    EXPECT_EQ(progress->Percent(), 100);
    progress->SetTotals(1, 10);
    EXPECT_EQ(progress->Counters().done, 0u);

    EXPECT_FALSE(progress->Cancelled());
    progress->Cancel();
    EXPECT_TRUE(progress->Cancelled());
}

FileOperationItem Item(int isFolder, const wchar_t* source, const wchar_t* target)
{
    return FileOperationItem{1, isFolder, source, target, 0};
}

TEST(WorkOrder, ByTargetKeepsEachFolderBeforeTheFilesThatGoIntoIt)
{
    // As the lister adds them: each folder item first, then its files and sub-folders.
    FileOperationItems items = {
        Item(0, L"C:\\s\\b.txt", L"D:\\t"),
        Item(1, L"C:\\s\\docs", L"D:\\t\\docs"),
        Item(0, L"C:\\s\\docs\\1.txt", L"D:\\t\\docs"),
        Item(0, L"C:\\s\\docs\\2.txt", L"D:\\t\\docs"),
        Item(1, L"C:\\s\\docs\\sub", L"D:\\t\\docs\\sub"),
        Item(0, L"C:\\s\\docs\\sub\\3.txt", L"D:\\t\\docs\\sub"),
        Item(1, L"C:\\s\\Docs", L"D:\\t\\Docs"),
        Item(0, L"C:\\s\\Docs\\4.txt", L"D:\\t\\Docs"),
        Item(0, L"C:\\s\\a.txt", L"D:\\t"),
    };
    // Enough equal keys that an unstable sort would mix them.
    for (int i = 0; i < 40; ++i) {
        items.push_back(Item(0, (L"C:\\s\\docs\\f" + std::to_wstring(i)).c_str(), L"D:\\t\\docs"));
    }
    veyra::SortByTarget(items);
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        ASSERT_FALSE(veyra::ByTarget(items[i + 1], items[i])) << "order broken at " << i;
    }
    for (const wchar_t* folder : {L"D:\\t\\docs", L"D:\\t\\docs\\sub", L"D:\\t\\Docs"}) {
        const auto first = std::find_if(items.begin(), items.end(),
                                        [folder](const FileOperationItem& item) { return item.target == folder; });
        ASSERT_NE(first, items.end());
        EXPECT_EQ(first->isFolder, 1) << "the folder item must lead its files: " << testing::PrintToString(folder);
    }
    EXPECT_EQ(items[0].source, L"C:\\s\\b.txt") << "equal targets keep the listing's order";
    EXPECT_EQ(items[1].source, L"C:\\s\\a.txt");
    EXPECT_EQ(items[2].target, L"D:\\t\\Docs") << "upper case sorts before lower case";
}

TEST(WorkOrder, SourceDescendingPutsContentsBeforeTheirFolder)
{
    FileOperationItems items = {
        Item(1, L"C:\\a", L""),
        Item(1, L"C:\\a\\b", L""),
        Item(0, L"C:\\a\\b\\f.txt", L""),
        Item(0, L"C:\\a\\e.txt", L""),
        Item(1, L"C:\\a b", L""),
    };
    veyra::SortBySourceDescending(items);
    std::vector<std::wstring> sources;
    for (const FileOperationItem& item : items) {
        sources.push_back(item.source);
    }
    EXPECT_EQ(sources, (std::vector<std::wstring>{L"C:\\a\\e.txt", L"C:\\a\\b\\f.txt", L"C:\\a\\b", L"C:\\a b",
                                                  L"C:\\a"}));
}

}  // namespace
