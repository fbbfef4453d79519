// Event 2 of advised controls, as the start menu's buttons and the file-conflict box read it: (bits set,
// bits cleared, sender) on every hover and press change; a label gives its mouse to the panel under it;
// the press holds the mouse until the release, and a release elsewhere or a lost capture is no click;
// a handler that closes the window from inside the event is safe.

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/suite/vorrel/SkinFixture.h"

using namespace vorrelUI;
using namespace vorrel::test;
using veyra::ComPtr;

namespace {

class StateEventTest : public SkinFixture {};

TEST_F(StateEventTest, HoverAndPressOfAButtonPanelRaiseItsValuesAndALabelClickIsThePanels)
{
    BuiltWindow menu = Build(L"NsWindow.xml");
    auto panel = menu.Find<Ivorrel_control>(4003, IID_Ivorrel_control);
    auto label = menu.Find<Ivorrel_control>(4020, IID_Ivorrel_control);
    EventRecorder sink;
    sink.Listen(panel.get());
    sink.Listen(label.get());
    const POINT onLabel = Centre(menu.RectOf(4020));
    const POINT away{100, 400};
    struct Step {
        const char* name;
        void (*act)(HWND, POINT);
        POINT at;
        DISPID id;
        ULONG first, second;  // event 2: set, cleared; event 1: message, wParam
    } const steps[] = {
        {"hover in", &MouseMove, onLabel, 2, kStateHover, 0},
        {"press", &MouseDown, onLabel, 2, kStatePressed, 0},
        {"release", &MouseUp, onLabel, 2, 0, kStatePressed},
        {"hover out", &MouseMove, away, 2, 0, kStateHover},
    };
    size_t seen = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act(menu.host, step.at);
        const auto states = sink.Of(2, panel.get());
        ASSERT_EQ(states.size(), seen + 1);
        EXPECT_EQ(states.back().values[0], step.first);
        EXPECT_EQ(states.back().values[1], step.second);
        ++seen;
        if (step.act == &MouseDown) {
            EXPECT_EQ(GetCapture(), menu.host) << "the press holds the mouse";
        }
    }
    EXPECT_EQ(GetCapture(), nullptr);
    const auto commands = sink.Of(1, panel.get());
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].values[0], static_cast<ULONG>(WM_COMMAND));
    EXPECT_EQ(commands[0].values[1], MAKEWPARAM(4003, 0));
    EXPECT_TRUE(sink.Of(1, label.get()).empty() && sink.Of(2, label.get()).empty()) << "the label takes no mouse";
    menu.Close();
}

TEST_F(StateEventTest, ReleaseElsewhereOrALostCaptureEndsThePressWithoutAClick)
{
    BuiltWindow menu = Build(L"NsWindow.xml");
    auto documents = menu.Find<Ivorrel_control>(4004, IID_Ivorrel_control);
    EventRecorder sink;
    sink.Listen(documents.get());
    const POINT on = Centre(menu.RectOf(4004));

    MouseDown(menu.host, on);
    MouseMove(menu.host, POINT{100, 400});
    MouseUp(menu.host, POINT{100, 400});
    DWORD state = 0;
    documents->GetState(&state);
    EXPECT_EQ(state & kStatePressed, 0u);
    EXPECT_TRUE(sink.Of(1).empty());
    EXPECT_EQ(sink.Of(2).back().values[1], kStatePressed);

    HWND other = CreateWindowExW(0, L"VorrelTestHost", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MouseDown(menu.host, on);
    SetCapture(other);  // another window takes the mouse during the press
    MouseUp(menu.host, on);
    documents->GetState(&state);
    EXPECT_EQ(state & kStatePressed, 0u);
    EXPECT_TRUE(sink.Of(1).empty()) << "a press taken away is no click";
    ReleaseCapture();
    DestroyWindow(other);
    menu.Close();
}

TEST_F(StateEventTest, HandlerThatClosesTheBoxInsideTheEventIsSafe)
{
    BuiltWindow box = Build(L"NsReplaceMsgbox.xml");
    auto choice = box.Find<Ivorrel_control>(9002, IID_Ivorrel_control);
    EventRecorder sink;
    sink.Listen(choice.get());
    sink.onEvent = [&](const EventRecorder::Event& event) {
        if (event.id == 2 && (event.values[0] & kStatePressed)) {
            box.Close();  // the file-conflict box closes on the press
        }
    };
    const POINT on = Centre(box.RectOf(9002));
    const HWND host = box.host;
    MouseMove(host, on);
    MouseDown(host, on);
    EXPECT_FALSE(IsWindow(host));
    MouseUp(host, on);
    ASSERT_GE(sink.Of(2).size(), 2u);
    EXPECT_EQ(sink.Of(2).back().values[0], kStatePressed);
    EXPECT_TRUE(sink.Of(1).empty());
}

}  // namespace
