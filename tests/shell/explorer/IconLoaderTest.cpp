// The icon loader: a real thread per view making images with an injected maker (slow, blocking or
// failing), the cache that answers at once, which requests are queued, pause, stop with a long queue or
// a blocked maker, messages that outlive their item, and images that hold no file open.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "core/GlobalInfo.h"
#include "shell/explorer/ViewMessages.h"
#include "tests/core/shellutil/ImageTestSupport.h"
#include "tests/shell/explorer/ExplorerFixture.h"

using namespace veyra;
using namespace veyra::test;
using namespace std::chrono_literals;

namespace {

// What the injected maker saw, and the gate that holds it inside an image call.
struct MakerProbe {
    std::mutex lock;
    std::vector<std::wstring> sources;
    std::set<DWORD> threads;
    std::atomic<int> calls{0};
    std::atomic<bool> fail{false};
    DWORD costMs = 0;  // what one image costs the maker
    UniqueHandle entered{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    UniqueHandle gate{CreateEventW(nullptr, TRUE, TRUE, nullptr)};  // open unless a test closes it

    std::vector<std::wstring> Sources()
    {
        std::lock_guard guard(lock);
        return sources;
    }
    bool Saw(const std::wstring& source)
    {
        const auto seen = Sources();
        return std::find(seen.begin(), seen.end(), source) != seen.end();
    }
    // A handle of the loader thread that made the first image.
    UniqueHandle FirstThread()
    {
        std::lock_guard guard(lock);
        return threads.empty() ? UniqueHandle() : UniqueHandle(OpenThread(SYNCHRONIZE, FALSE, *threads.begin()));
    }
};

IconImageMaker MakerOf(const std::shared_ptr<MakerProbe>& probe)
{
    return [probe](const wchar_t* source, int) -> ImagePtr {
        {
            std::lock_guard guard(probe->lock);
            probe->sources.emplace_back(source);
            probe->threads.insert(GetCurrentThreadId());
        }
        ++probe->calls;
        SetEvent(probe->entered.get());
        WaitForSingleObject(probe->gate.get(), INFINITE);
        if (probe->costMs) {
            Sleep(probe->costMs);
        }
        if (probe->fail) {
            return nullptr;
        }
        return std::make_unique<Gdiplus::Bitmap>(4, 4, PixelFormat32bppARGB);
    };
}

bool Signalled(HANDLE handle, DWORD timeoutMs = 0)
{
    return WaitForSingleObject(handle, timeoutMs) == WAIT_OBJECT_0;
}

class IconLoaderTest : public ExplorerFixture {
protected:
    void SetUp() override
    {
        ExplorerFixture::SetUp();
        m_probe = std::make_shared<MakerProbe>();
    }
    std::unique_ptr<NsExplorer> StartedView()
    {
        auto view = MakeFolderView();
        view->SetIconImageMaker(MakerOf(m_probe));
        EXPECT_EQ(view->StartIconLoader(), 1);
        return view;
    }
    // Queues a sentinel image and waits until it is made: everything queued before it was taken first.
    void Drain(NsExplorer& view)
    {
        // A new name each time: a cached one would be answered without the maker.
        const std::wstring sentinel = m_root + L"\\sentinel" + std::to_wstring(++m_sentinels) + L".png";
        view.QueueIconRequest(sentinel, 0, 48);
        for (int wait = 0; wait < 250 && !m_probe->Saw(sentinel); ++wait) {
            WaitForSingleObject(m_probe->entered.get(), 20);
        }
        ASSERT_TRUE(m_probe->Saw(sentinel));
        std::lock_guard guard(m_probe->lock);
        m_probe->sources.pop_back();
    }

    std::shared_ptr<MakerProbe> m_probe;
    int m_sentinels = 0;
};

TEST_F(IconLoaderTest, ImageAppliedThenACacheHitPostsAtOnce)
{
    auto view = StartedView();
    NsIcon* picture = AddFile(*view, L"picture.png");
    ASSERT_NE(picture, nullptr);
    view->QueueIconRequest(picture->Record().path, 0, 48);
    EXPECT_EQ(WaitForIconMessage(5s), picture);
    EXPECT_EQ(view->ApplyLoadedIcon(picture, 48), 1);
    EXPECT_TRUE(picture->IconControl()->HasImage());
    EXPECT_NE(view->FindCachedIcon(picture->Record().path, 48), nullptr);
    EXPECT_EQ(view->FindCachedIcon(picture->Record().path, 16), nullptr);

    view->QueueIconRequest(picture->Record().path, 0, 48);
    EXPECT_TRUE(IconMessageWaiting()) << "a cached image is posted before the call returns";
    EXPECT_EQ(WaitForIconMessage(0ms), picture);
    EXPECT_EQ(m_probe->calls, 1);
    EXPECT_EQ(view->IconQueueLength(), 0u);
}

TEST_F(IconLoaderTest, WhatIsQueued)
{
    struct Case {
        const wchar_t* name;
        int isFolder;
        bool vista;
        bool queued;
    } cases[] = {
        {L"doc.PDF", 0, true, true},   {L"doc.PDF", 0, false, false}, {L"pic.PNG", 0, false, true},
        {L"pic.jpeg", 0, true, true},  {L"notes.txt", 0, true, false}, {L"album", 1, true, true},
        {L"album", 1, false, false},   {L"photo.gif", 0, false, true},
    };
    auto view = StartedView();
    for (const Case& c : cases) {
        if (!c.vista) {
            PretendPreVista();
        }
        const std::wstring path = m_root + L"\\" + c.name;
        view->QueueIconRequest(path, c.isFolder, 48);
        Drain(*view);
        EXPECT_EQ(m_probe->Saw(path), c.queued) << (c.vista ? "vista " : "xp ") << c.name;
        {
            std::lock_guard guard(m_probe->lock);
            m_probe->sources.clear();
        }
        if (!c.vista) {
            m_oldSystem.reset();
            g_globalInfo.Init();
        }
    }
}

TEST_F(IconLoaderTest, ShortcutToAnImageIsMadeFromItsTarget)
{
    auto view = StartedView();
    const std::wstring target = m_root + L"\\target.png";
    MakeReal(target, "png");
    const std::wstring link = m_root + L"\\target.lnk";
    MakeShortcut(link, target);
    ASSERT_EQ(view->AddDocumentItem(MakeRecord(link, kFileKindFile, 1), 1, 0), 1);
    NsIcon* item = view->ItemAt(0);
    view->QueueIconRequest(link, 0, 48);
    EXPECT_EQ(WaitForIconMessage(5s), item);
    EXPECT_EQ(m_probe->Sources(), std::vector<std::wstring>{target});
    EXPECT_NE(view->FindCachedIcon(link, 48), nullptr);
}

TEST_F(IconLoaderTest, TheSideItsListingFoundNamesTheSourceAndOtherwiseTheViewDecides)
{
    const std::wstring real = m_root + L"\\real.png";
    const std::wstring added = m_root + L"\\added.png";
    const std::wstring both = m_root + L"\\both.png";
    MakeReal(real, "png");
    MakeShadow(added, "png");
    MakeReal(both, "png");
    MakeShadow(both, "png");
    const struct {
        std::wstring path;
        int origin;
        std::wstring source;
    } cases[] = {
        {real, kOriginRealFolder, real},
        {added, kOriginSandboxCopy, Shadow(added)},
        {both, kOriginUnknown, Shadow(both)},
        {real, kOriginUnknown, real},
    };
    for (const auto& c : cases) {
        auto view = StartedView();  // a view of its own: its cache has not seen the path
        view->QueueIconRequest(c.path, 0, 48, c.origin);
        Drain(*view);
        EXPECT_EQ(m_probe->Sources(), std::vector<std::wstring>{c.source}) << testing::PrintToString(c.path);
        std::lock_guard guard(m_probe->lock);
        m_probe->sources.clear();
    }
}

TEST_F(IconLoaderTest, PauseLetsTheCurrentImageFinishAndDropsTheRest)
{
    auto view = StartedView();
    NsIcon* first = AddFile(*view, L"first.png");
    ASSERT_NE(first, nullptr);
    ResetEvent(m_probe->gate.get());
    view->QueueIconRequest(first->Record().path, 0, 48);
    ASSERT_TRUE(Signalled(m_probe->entered.get(), 5000));
    for (const wchar_t* name : {L"b.png", L"c.png", L"d.png"}) {
        view->QueueIconRequest(m_root + L"\\" + name, 0, 48);
    }
    view->PauseIconLoader();
    EXPECT_EQ(view->IconQueueLength(), 0u);
    SetEvent(m_probe->gate.get());
    EXPECT_EQ(WaitForIconMessage(5s), first);
    view->ResumeIconLoader();
    Drain(*view);
    EXPECT_EQ(m_probe->Sources(), std::vector<std::wstring>{first->Record().path});
}

TEST_F(IconLoaderTest, StopWithAThousandsLongQueueEndsAfterOneImage)
{
    m_probe->costMs = 20;
    auto view = StartedView();
    for (int index = 0; index < 5000; ++index) {
        view->QueueIconRequest(m_root + L"\\p" + std::to_wstring(index) + L".png", 0, 48);
    }
    ASSERT_TRUE(Signalled(m_probe->entered.get(), 5000));
    const UniqueHandle thread = m_probe->FirstThread();
    ASSERT_TRUE(thread);
    ASSERT_GT(view->IconQueueLength(), 4000u);
    const int madeBefore = m_probe->calls;
    view->StopIconLoader();
    EXPECT_TRUE(Signalled(thread.get())) << "stop waited out its time instead of ending the thread";
    EXPECT_LE(m_probe->calls, madeBefore + 1);
    EXPECT_FALSE(view->IconLoaderRunning());
}

TEST_F(IconLoaderTest, BlockedMakerOutlivesItsViewWithoutTouchingIt)
{
    auto view = StartedView();
    NsIcon* picture = AddFile(*view, L"blocked.png");
    ASSERT_NE(picture, nullptr);
    ResetEvent(m_probe->gate.get());
    view->QueueIconRequest(picture->Record().path, 0, 48);
    ASSERT_TRUE(Signalled(m_probe->entered.get(), 5000));
    const UniqueHandle thread = m_probe->FirstThread();
    ASSERT_TRUE(thread);

    const auto started = std::chrono::steady_clock::now();
    view->StopIconLoader();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 4s);  // bounded by the 2000 ms wait
    EXPECT_FALSE(Signalled(thread.get())) << "the thread is still in its image call";
    view.reset();  // the view, its items and locks are gone

    SetEvent(m_probe->gate.get());
    EXPECT_TRUE(Signalled(thread.get(), 10000)) << "the thread did not end by itself";
    EXPECT_FALSE(IconMessageWaiting()) << "the orphaned thread reached the freed view";
}

TEST_F(IconLoaderTest, DestructorStopsARunningLoader)
{
    auto view = StartedView();
    view->QueueIconRequest(m_root + L"\\one.png", 0, 48);
    ASSERT_TRUE(Signalled(m_probe->entered.get(), 5000));
    const UniqueHandle thread = m_probe->FirstThread();
    ASSERT_TRUE(thread);
    view.reset();
    EXPECT_TRUE(Signalled(thread.get()));
}

TEST_F(IconLoaderTest, StaleIconMessageDoesNothing)
{
    auto view = StartedView();
    NsIcon* removed = AddFile(*view, L"gone.png");
    NsIcon* cleared = AddFile(*view, L"cleared.png");
    ASSERT_TRUE(removed && cleared);
    view->QueueIconRequest(removed->Record().path, 0, 48);
    view->QueueIconRequest(cleared->Record().path, 0, 48);
    NsIcon* firstMessage = WaitForIconMessage(5s);
    NsIcon* secondMessage = WaitForIconMessage(5s);
    ASSERT_EQ(firstMessage, removed);
    ASSERT_EQ(secondMessage, cleared);
    std::vector<NsIcon*> gone{removed};
    view->RemoveItems(gone);
    EXPECT_EQ(view->ApplyLoadedIcon(firstMessage, 48), 0);
    view->ClearItems();
    EXPECT_EQ(view->ApplyLoadedIcon(secondMessage, 48), 0);
    EXPECT_EQ(view->ApplyLoadedIcon(nullptr, 48), 0);
}

TEST_F(IconLoaderTest, FailedImageIsDroppedAndPostsNothing)
{
    m_probe->fail = true;
    auto view = StartedView();
    NsIcon* picture = AddFile(*view, L"broken.png");
    ASSERT_NE(picture, nullptr);
    view->QueueIconRequest(picture->Record().path, 0, 48);
    Drain(*view);
    EXPECT_FALSE(IconMessageWaiting());
    EXPECT_EQ(view->FindCachedIcon(picture->Record().path, 48), nullptr);
}

TEST_F(IconLoaderTest, TwoViewsOfOneFolderHaveTheirOwnThreadAndCache)
{
    auto first = StartedView();
    auto second = StartedView();
    const std::wstring path = m_root + L"\\shared.png";
    first->QueueIconRequest(path, 0, 48);
    Drain(*first);
    second->QueueIconRequest(path, 0, 48);
    Drain(*second);
    EXPECT_EQ(m_probe->Sources(), (std::vector<std::wstring>{path, path}));
    std::lock_guard guard(m_probe->lock);
    EXPECT_EQ(m_probe->threads.size(), 2u);
}

// The shell's own maker: a real PNG, and once its image is cached the file can go.
TEST_F(IconLoaderTest, CachedImageHoldsNoFileOpen)
{
    auto view = MakeFolderView();
    ASSERT_EQ(view->StartIconLoader(), 1);
    const std::wstring path = m_root + L"\\real.png";
    ASSERT_TRUE(WriteRedOverBluePng(path, 64, 64));
    ASSERT_EQ(view->AddDocumentItem(MakeRecord(path, kFileKindFile), 1, 0), 1);
    NsIcon* item = view->ItemAt(0);
    view->QueueIconRequest(path, 0, 48);
    ASSERT_EQ(WaitForIconMessage(10s), item);
    EXPECT_EQ(view->ApplyLoadedIcon(item, 48), 1);
    EXPECT_TRUE(MoveFileW(path.c_str(), (m_root + L"\\renamed.png").c_str())) << GetLastError();
    EXPECT_TRUE(DeleteFileW((m_root + L"\\renamed.png").c_str())) << GetLastError();
}

}  // namespace
