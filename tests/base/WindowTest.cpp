#include "base/Window.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/MessageLoop.h"

namespace {

constexpr UINT kProbeMessage = WM_USER + 77;

// Records the messages its map handles, to check dispatch and the object's life span.
class ProbeWindow : public veyra::MappedWindow<ProbeWindow> {
public:
    std::vector<UINT> handled;
    bool finalMessageSeen = false;

    static std::span<const Entry> Messages()
    {
        static const Entry entries[] = {
            {WM_CREATE, &ProbeWindow::OnCreate},
            {kProbeMessage, &ProbeWindow::OnProbe},
        };
        return entries;
    }

private:
    LRESULT OnCreate(WPARAM, LPARAM)
    {
        handled.push_back(WM_CREATE);
        return 0;
    }
    LRESULT OnProbe(WPARAM wParam, LPARAM lParam)
    {
        handled.push_back(kProbeMessage);
        return static_cast<LRESULT>(wParam + lParam);
    }
    void OnFinalMessage() override { finalMessageSeen = true; }
};

const veyra::WindowClass kProbeClass{L"VeyraProbeWindow"};

TEST(Window, DispatchesThroughMapAndForgetsObjectAfterDestroy)
{
    ProbeWindow window;
    ASSERT_TRUE(window.Create(kProbeClass, L"probe", {}));
    HWND hwnd = window.Handle();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(veyra::Window::FromHandle(hwnd), &window);
    EXPECT_EQ(SendMessageW(hwnd, kProbeMessage, 40, 2), 42);
    ASSERT_EQ(window.handled, (std::vector<UINT>{WM_CREATE, kProbeMessage}));

    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_TRUE(window.finalMessageSeen);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(veyra::Window::FromHandle(hwnd), nullptr);
}

TEST(Window, FromHandleKnowsOnlyItsOwnWindows)
{
    ProbeWindow window;
    ASSERT_TRUE(window.Create(kProbeClass, L"ours", {}));
    HWND other = CreateWindowExW(0, L"STATIC", L"theirs", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(veyra::Window::FromHandle(other), nullptr);
    EXPECT_EQ(veyra::Window::FromHandle(window.Handle()), &window);
    DestroyWindow(other);
}

TEST(Window, SecondWindowOfSameClassRegistersOnce)
{
    ProbeWindow first;
    ProbeWindow second;
    ASSERT_TRUE(first.Create(kProbeClass, L"one", {}));
    ASSERT_TRUE(second.Create(kProbeClass, L"two", {}));
    EXPECT_NE(first.Handle(), second.Handle());
}

TEST(Window, ObjectGoingFirstDestroysItsWindow)
{
    HWND hwnd = nullptr;
    {
        ProbeWindow window;
        ASSERT_TRUE(window.Create(kProbeClass, L"short-lived", {}));
        hwnd = window.Handle();
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

// Counts what passes it and swallows one message.
class SwallowFilter : public veyra::MessageFilter {
public:
    UINT swallowed = 0;
    int seen = 0;
    bool PreTranslateMessage(MSG& message) override
    {
        ++seen;
        return message.message == swallowed;
    }
};

TEST(MessageLoop, FiltersRunBeforeDispatchAndLoopIsCurrentWhileAlive)
{
    EXPECT_EQ(veyra::MessageLoop::Current(), nullptr);
    ProbeWindow window;
    ASSERT_TRUE(window.Create(kProbeClass, L"loop", {}));
    {
        veyra::MessageLoop loop;
        EXPECT_EQ(veyra::MessageLoop::Current(), &loop);
        SwallowFilter filter;
        filter.swallowed = kProbeMessage;
        loop.AddFilter(&filter);
        PostMessageW(window.Handle(), kProbeMessage, 1, 1);
        PostMessageW(window.Handle(), WM_NULL, 0, 0);
        PostQuitMessage(7);
        EXPECT_EQ(loop.Run(), 7);
        EXPECT_EQ(filter.seen, 2);
        EXPECT_EQ(window.handled, (std::vector<UINT>{WM_CREATE})) << "the filtered message must not be dispatched";
        loop.RemoveFilter(&filter);
    }
    EXPECT_EQ(veyra::MessageLoop::Current(), nullptr);
}

// Ends a modal loop once the probe message has gone by (and lets it through).
class FinishingFilter : public veyra::MessageFilter {
public:
    bool finished = false;
    bool PreTranslateMessage(MSG& message) override
    {
        finished = finished || message.message == kProbeMessage;
        return false;
    }
};

TEST(MessageLoop, RunUntilStopsAfterTheFinishingMessageAndHandsAQuitToTheLoopOutside)
{
    ProbeWindow window;
    ASSERT_TRUE(window.Create(kProbeClass, L"modal", {}));
    veyra::MessageLoop loop;
    FinishingFilter filter;
    loop.AddFilter(&filter);
    PostMessageW(window.Handle(), kProbeMessage, 0, 0);
    PostMessageW(window.Handle(), WM_NULL, 0, 0);
    EXPECT_TRUE(loop.RunUntil(filter.finished));
    EXPECT_EQ(window.handled, (std::vector<UINT>{WM_CREATE, kProbeMessage}));
    MSG left{};
    EXPECT_TRUE(PeekMessageW(&left, window.Handle(), WM_NULL, WM_NULL, PM_REMOVE)) << "what came after stays queued";

    PostQuitMessage(5);
    const bool never = false;
    EXPECT_FALSE(loop.RunUntil(never));
    ASSERT_TRUE(PeekMessageW(&left, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is handed on";
    EXPECT_EQ(left.wParam, 5u);
    loop.RemoveFilter(&filter);
}

}  // namespace
