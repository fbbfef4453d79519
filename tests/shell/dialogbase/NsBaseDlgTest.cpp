// The dialog base against a real host window: registration records, the caption press test with and
// without the folder window's third button, drags that leave no ghost behind, and the re-centring of a
// window moved off the host's work band.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "base/Window.h"
#include "core/fileops/ChangeNotice.h"
#include "shell/dialogbase/NsBaseDlg.h"
#include "tests/support/TestWindows.h"

using namespace veyra;
using veyra::test::PopupPlacement;

namespace {

constexpr int kKey = 5;

// Stands in for the desktop window: keeps the records it receives, registered for kKey.
class HostProbe final : public MappedWindow<HostProbe> {
public:
    HostProbe()
    {
        EXPECT_TRUE(Create(WindowClass{L"VeyraBaseHostProbe"}, L"host", PopupPlacement({50, 50, 880, 675}, nullptr, WS_VISIBLE)));
        RegisterHostWindow(kKey, Handle());
    }
    ~HostProbe() override { RegisterHostWindow(kKey, nullptr); }
    static std::span<const Entry> Messages()
    {
        static const Entry entries[] = {{WM_COPYDATA, &HostProbe::OnCopyData}};
        return entries;
    }
    struct Record {
        ULONG_PTR code;
        HostWindowEntry entry;
    };
    std::vector<Record> records;

private:
    LRESULT OnCopyData(WPARAM, LPARAM lParam)
    {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        HostWindowEntry entry{};
        if (data->cbData == sizeof(entry)) {
            entry = *static_cast<const HostWindowEntry*>(data->lpData);
        }
        records.push_back({data->dwData, entry});
        return 1;
    }
};

class OwnWindow final : public MappedWindow<OwnWindow> {
public:
    explicit OwnWindow(HWND parent)
    {
        EXPECT_TRUE(Create(WindowClass{L"VeyraBaseOwnWindow"}, L"own", PopupPlacement({100, 100, 500, 400}, parent, WS_VISIBLE)));
    }
    static std::span<const Entry> Messages() { return {}; }
};

RECT RectOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool TasksChangedPosted(HWND host)
{
    MSG message;
    return PeekMessageW(&message, host, WM_NS_TASKS_CHANGED, WM_NS_TASKS_CHANGED, PM_REMOVE) != FALSE;
}

class DialogBase : public testing::Test {
protected:
    void TearDown() override { UiOptimisationFlag = 1; }
    HostProbe host;
    OwnWindow own{host.Handle()};
};

TEST_F(DialogBase, AttachAndDetachTellTheHost)
{
    for (const int flags : {HostKind::kFolderWindow, HostKind::kModelessBox}) {
        host.records.clear();
        NsBaseDlg base(kKey);
        ASSERT_EQ(base.HostWindow(), host.Handle());
        int object = 0;
        EXPECT_EQ(base.Attach(host.Handle(), own.Handle(), &object, flags), 1);
        EXPECT_EQ(TasksChangedPosted(host.Handle()), flags == HostKind::kFolderWindow) << flags;
        EXPECT_EQ(base.Detach(), 1);
        EXPECT_EQ(TasksChangedPosted(host.Handle()), flags == HostKind::kFolderWindow) << flags;
        ASSERT_EQ(host.records.size(), 2u);
        EXPECT_EQ(host.records[0].code, COPYDATA_REGISTER_WINDOW);
        EXPECT_EQ(WindowOf(host.records[0].entry), own.Handle());
        EXPECT_EQ(host.records[0].entry.flags, flags);
        EXPECT_EQ(host.records[0].entry.data, MakeHostWindowEntry(nullptr, &object, 0).data);
        EXPECT_EQ(host.records[1].code, COPYDATA_UNREGISTER_WINDOW);
        EXPECT_EQ(WindowOf(host.records[1].entry), own.Handle());
        EXPECT_EQ(host.records[1].entry.data, 0u);
        EXPECT_EQ(host.records[1].entry.flags, 0);
    }
}

TEST_F(DialogBase, WithoutAHostNothingIsSent)
{
    NsBaseDlg base(kKey + 1);
    EXPECT_EQ(base.HostWindow(), nullptr);
    EXPECT_EQ(base.Attach(host.Handle(), own.Handle(), nullptr, HostKind::kFolderWindow), 1);
    EXPECT_TRUE(host.records.empty());
    EXPECT_FALSE(TasksChangedPosted(host.Handle()));
}

TEST_F(DialogBase, CaptionPressArmsOutsideTheButtons)
{
    struct Case {
        const char* name;
        int flags;
        int fromRight;
        int y;
        int armed;
    } const cases[] = {
        {"30 from the right, in the buttons", 0, 30, 10, 0},
        {"60 from the right", 0, 60, 10, 1},
        {"60 from the right of a folder window", HostKind::kFolderWindow, 60, 10, 0},
        {"90 from the right of a folder window", HostKind::kFolderWindow, 90, 10, 1},
        {"under the buttons, still in the strip", 0, 30, 25, 1},
        {"6 from the right, beside the buttons", 0, 6, 10, 1},
        {"below the strip", 0, 200, 30, 0},
    };
    for (const Case& c : cases) {
        NsBaseDlg base(kKey);
        base.Attach(host.Handle(), own.Handle(), nullptr, c.flags);
        EXPECT_EQ(base.OnCaptionLButtonDown(POINT{400 - c.fromRight, c.y}), c.armed) << c.name;
        EXPECT_EQ(base.DragArmed(), c.armed == 1) << c.name;
    }
}

TEST_F(DialogBase, DragsWithoutOptimisationOrWithoutAMoveLeaveNoGhost)
{
    NsBaseDlg base(kKey);
    base.Attach(host.Handle(), own.Handle(), nullptr, 0);
    const RECT before = RectOf(own.Handle());

    ASSERT_EQ(base.OnCaptionLButtonDown(POINT{100, 10}), 1);
    EXPECT_EQ(base.OnCaptionLButtonUp(), 0) << "a release without a move";
    EXPECT_FALSE(base.HasGhost());
    const RECT unmoved = RectOf(own.Handle());
    EXPECT_TRUE(EqualRect(&before, &unmoved));

    UiOptimisationFlag = 0;
    EXPECT_EQ(base.OnCaptionLButtonDown(POINT{100, 10}), 0);
    EXPECT_EQ(base.OnCaptionMouseMove(POINT{150, 40}), 0);
    EXPECT_FALSE(base.HasGhost());
    EXPECT_EQ(base.OnCaptionLButtonUp(), 0);

    UiOptimisationFlag = 1;
    ASSERT_EQ(base.OnCaptionLButtonDown(POINT{100, 10}), 1);
    EXPECT_EQ(base.OnCaptionMouseMove(POINT{105, 12}), 1);
    ASSERT_TRUE(base.HasGhost()) << "the first move makes the ghost";
    EXPECT_EQ(GetCapture(), own.Handle());
    EXPECT_EQ(base.OnCaptionLButtonUp(), 1);
    EXPECT_FALSE(base.HasGhost());
    EXPECT_NE(GetCapture(), own.Handle());
}

TEST_F(DialogBase, AWindowMovedOffTheBandIsCentredOnTheHost)
{
    NsBaseDlg base(kKey);
    base.Attach(host.Handle(), own.Handle(), nullptr, 0);
    MoveWindow(own.Handle(), 1000, 900, 400, 300, FALSE);  // wholly below the host's band
    base.SnapToHost();
    const RECT after = RectOf(own.Handle());
    EXPECT_EQ(after.left, (50 + 880) / 2 - 200);
    EXPECT_EQ(after.top, (50 + 675) / 2 - 150);

    MoveWindow(own.Handle(), 200, 60, 400, 300, FALSE);  // top above the band (host top + 25), inside it
    base.SnapToHost();
    EXPECT_EQ(RectOf(own.Handle()).top, 50 + 25) << "moved down to the band's top";
}

}  // namespace
