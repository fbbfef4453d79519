// Real OLE drags under this system: RunFileDrag's DoDragDrop carries the file list to a window whose
// target was registered with DropTargetRegistration. The pointer is driven with SendInput from a second
// thread (press, moves in steps, release; or Escape) while the drag's modal loop runs on the test's
// thread; that thread waits for the loop to hold the mouse capture before it moves.

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "shell/dragdrop/DragState.h"
#include "shell/dragdrop/DropTargetRegistration.h"
#include "shell/dragdrop/FileDrag.h"
#include "tests/shell/dragdrop/DragTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TrayFixture.h"
#include "tests/support/WaitFor.h"

using namespace veyra;
using namespace veyra::test;

namespace {

using namespace std::chrono_literals;

void SendMouse(DWORD flags, int x = 0, int y = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        input.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
        input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    SendInput(1, &input, sizeof(input));
}

void SendKey(WORD key, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

// Wine: the drag reads the thread's own key state, which follows the button only once the press has
// been taken from the queue.
bool PressLeftButton()
{
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    return WaitFor([] {
        PumpMessages();
        return GetKeyState(VK_LBUTTON) < 0;
    });
}

// The drag's loop runs when the dragging thread holds the mouse capture.
bool DragLoopRunning(DWORD thread)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(thread, &info) && info.hwndCapture != nullptr;
}

class RealDragTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(m_source.Handle(), nullptr);
        ASSERT_NE(m_window.Handle(), nullptr);
        ASSERT_EQ(m_registration.Register(m_window.Handle(), &m_callbacks, L"C:\\target"), S_OK);
        PumpMessages();
    }
    void TearDown() override
    {
        SendMouse(MOUSEEVENTF_LEFTUP);
        PumpMessages();
    }

    const std::vector<std::wstring> m_paths = {L"C:\\from\\one.txt", L"C:\\from\\二.txt"};
    RecordingWindow m_source{50, 50, 200, 200};
    RecordingWindow m_window{500, 300, 300, 200};
    RecordingCallbacks m_callbacks;
    DropTargetRegistration m_registration;
};

// Released buttons: the first question of the loop ends the drag, on the window under the pointer.
TEST_F(RealDragTest, ADragWithTheButtonsUpDropsWhereThePointerIs)
{
    ASSERT_TRUE(SetCursorPos(650, 400));
    EXPECT_EQ(RunFileDrag(m_source.Handle(), m_paths, FileDragImage{}), 1);
    ASSERT_EQ(m_callbacks.drops.size(), 1u);
    EXPECT_EQ(m_callbacks.drops[0].paths, m_paths);
    EXPECT_EQ(m_callbacks.drops[0].target, L"C:\\target");
    EXPECT_EQ(m_callbacks.drops[0].move, 0);
    EXPECT_EQ(m_callbacks.drops[0].internalFlag, 1);
    EXPECT_EQ(m_callbacks.drops[0].sourceWindow, m_source.Handle());
    EXPECT_EQ(m_callbacks.offered.at(0), static_cast<DWORD>(DROPEFFECT_COPY)) << "a drag offers only a copy";
    EXPECT_EQ(InternalDragFlag, 0);
    EXPECT_EQ(DragSourceWindow, nullptr);
}

TEST_F(RealDragTest, PressMovesAndReleaseOverTheTarget)
{
    m_callbacks.answerEffect = DROPEFFECT_MOVE;  // the window decides on a move; OLE hears a copy
    SetCursorPos(100, 100);
    ASSERT_TRUE(PressLeftButton());
    const DWORD dragThread = GetCurrentThreadId();
    bool sawLoop = false, sawSteps = false;
    std::thread input([&] {
        sawLoop = WaitFor([&] { return DragLoopRunning(dragThread); });
        for (int step = 1; step <= 10; ++step) {
            SendMouse(MOUSEEVENTF_MOVE, 100 + step * 55, 100 + step * 30);
            std::this_thread::sleep_for(30ms);  // pacing between moves, as a hand would
        }
        sawSteps = WaitFor([&] { return m_callbacks.stepCount.load() >= 2; });
        SendMouse(MOUSEEVENTF_LEFTUP);
    });
    const int result = RunFileDrag(m_source.Handle(), m_paths, FileDragImage{});
    input.join();
    EXPECT_TRUE(sawLoop);
    EXPECT_TRUE(sawSteps);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(m_callbacks.drops.size(), 1u);
    EXPECT_EQ(m_callbacks.drops[0].move, 1);
    EXPECT_EQ(m_callbacks.drops[0].paths, m_paths);
    // The last move lands at (650, 400): (150, 100) in the window's client area.
    ASSERT_FALSE(m_callbacks.steps.empty());
    EXPECT_EQ(m_callbacks.steps.back().x, 150);
    EXPECT_EQ(m_callbacks.steps.back().y, 100);
}

TEST_F(RealDragTest, EscapeCancelsAndNothingIsDropped)
{
    SetCursorPos(650, 400);
    ASSERT_TRUE(PressLeftButton());
    const DWORD dragThread = GetCurrentThreadId();
    bool sawLoop = false;
    std::thread input([&] {
        sawLoop = WaitFor([&] { return DragLoopRunning(dragThread); });
        SendKey(VK_ESCAPE, 0);
        SendKey(VK_ESCAPE, KEYEVENTF_KEYUP);
    });
    const int result = RunFileDrag(m_source.Handle(), m_paths, FileDragImage{});
    input.join();
    EXPECT_TRUE(sawLoop);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(m_callbacks.drops.empty());
    EXPECT_EQ(InternalDragFlag, 0);
}

TEST_F(RealDragTest, ARevokedWindowGetsNothing)
{
    m_registration.Revoke();
    EXPECT_FALSE(m_registration.Registered());
    ASSERT_TRUE(SetCursorPos(650, 400));
    static_cast<void>(RunFileDrag(m_source.Handle(), m_paths, FileDragImage{}));
    EXPECT_TRUE(m_callbacks.drops.empty());
    EXPECT_TRUE(m_callbacks.steps.empty());
    // Registered again, the window takes drops again; a second registration of the same window fails.
    ASSERT_EQ(m_registration.Register(m_window.Handle(), &m_callbacks, L"C:\\again"), S_OK);
    DropTargetRegistration second;
    EXPECT_EQ(second.Register(m_window.Handle(), &m_callbacks, L"C:\\x"), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_FALSE(second.Registered());
    EXPECT_EQ(RunFileDrag(m_source.Handle(), m_paths, FileDragImage{}), 1);
    ASSERT_EQ(m_callbacks.drops.size(), 1u);
    EXPECT_EQ(m_callbacks.drops[0].target, L"C:\\again");
}

TEST_F(RealDragTest, NothingToDragStartsNoDrag)
{
    SetCursorPos(650, 400);
    EXPECT_EQ(RunFileDrag(m_source.Handle(), {}, FileDragImage{}), 0);
    EXPECT_EQ(RunFileDrag(m_source.Handle(), {L"C:\\" + std::wstring(300, L'x')}, FileDragImage{}), 0);
    EXPECT_TRUE(m_callbacks.steps.empty());
}

// A drag from another process reaches the window through OLE's marshalling; here it is no internal drag.
TEST_F(RealDragTest, AnotherProgramsDragArrivesAsOutsideFiles)
{
    m_callbacks.answerEffect = DROPEFFECT_COPY;
    ScopedEnvironmentVariable paths(L"VEYRA_DRAG_PATHS", L"C:\\other\\a.txt|D:\\其他\\b.doc");
    ScopedEnvironmentVariable at(L"VEYRA_DRAG_AT", L"700,450");
    ChildProcess source(BinFile(L"veyra_drag_source.exe"));
    ASSERT_TRUE(source.Started());
    // The target's methods run on this thread, called from the other process: keep the queue moving.
    std::optional<DWORD> exitCode;
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!exitCode && std::chrono::steady_clock::now() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpMessages();
        exitCode = source.WaitForExit(0);
    }
    ASSERT_TRUE(exitCode.has_value()) << "the other program's drag did not end";
    EXPECT_EQ(*exitCode, 1u);
    ASSERT_EQ(m_callbacks.drops.size(), 1u);
    EXPECT_EQ(m_callbacks.drops[0].paths, (std::vector<std::wstring>{L"C:\\other\\a.txt", L"D:\\其他\\b.doc"}));
    EXPECT_EQ(m_callbacks.drops[0].internalFlag, 0);
    EXPECT_EQ(m_callbacks.drops[0].sourceWindow, nullptr);
    EXPECT_EQ(m_callbacks.drops[0].target, L"C:\\target");
    ASSERT_FALSE(m_callbacks.steps.empty());
    EXPECT_EQ(m_callbacks.steps.back().x, 200);
    EXPECT_EQ(m_callbacks.steps.back().y, 150);
}

}  // namespace
