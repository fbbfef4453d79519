// A view's drag of its selection, through OLE on this system: with the buttons up the drag's first
// question ends it on the window under the pointer, which gets the paths as an internal drag of the
// view's host. Wine: InitializeFromBitmap answers E_NOTIMPL, so these drags run without their picture.

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/dragdrop/DragState.h"
#include "shell/dragdrop/DropTargetRegistration.h"
#include "tests/shell/dragdrop/DragTestSupport.h"
#include "tests/shell/explorer/ExplorerFixture.h"

using namespace veyra;
using namespace veyra::test;

namespace {

class ViewDragTest : public ExplorerFixture {
protected:
    void SetUp() override
    {
        ExplorerFixture::SetUp();
        ASSERT_NE(m_target.Handle(), nullptr);
        ASSERT_EQ(m_registration.Register(m_target.Handle(), &m_callbacks, L"C:\\target"), S_OK);
        ASSERT_TRUE(SetCursorPos(1100, 850));  // over the target, clear of the view's host
        PumpMessages();
    }
    void TearDown() override
    {
        m_registration.Revoke();
        ExplorerFixture::TearDown();
    }

    RecordingWindow m_target{1000, 800, 200, 100};
    RecordingCallbacks m_callbacks;
    DropTargetRegistration m_registration;
};

TEST_F(ViewDragTest, TheSelectionArrivesAsAnInternalDragOfTheHost)
{
    auto view = MakeFolderView();
    NsIcon* one = AddFile(*view, L"one.txt");
    NsIcon* two = AddFile(*view, L"二.txt");
    ASSERT_TRUE(one && two);
    ASSERT_EQ(view->Select(one, 0, kCoverClick), 1);
    ASSERT_EQ(view->Select(two, 0, kCoverClick), 1);
    std::vector<std::wstring> paths;
    view->CollectSelectedPaths(paths);
    ASSERT_EQ(paths.size(), 2u);

    EXPECT_EQ(view->BeginDrag(paths), 1);
    ASSERT_EQ(m_callbacks.drops.size(), 1u);
    EXPECT_EQ(m_callbacks.drops[0].paths, paths);
    EXPECT_EQ(m_callbacks.drops[0].internalFlag, 1);
    EXPECT_EQ(m_callbacks.drops[0].sourceWindow, Host());
    EXPECT_EQ(InternalDragFlag, 0);
    EXPECT_EQ(DragSourceWindow, nullptr);
}

TEST_F(ViewDragTest, RefusedDragsStartNothing)
{
    auto view = MakeFolderView();
    NsIcon* item = AddFile(*view, L"one.txt");
    ASSERT_NE(item, nullptr);
    const std::vector<std::wstring> paths{item->Record().path};

    EXPECT_EQ(view->BeginDrag(paths), 0);  // no focus item
    ASSERT_EQ(view->Select(item, 0, kCoverClick), 1);
    EXPECT_EQ(view->BeginDrag({}), 0);
    ASSERT_EQ(view->BeginRename(), 1);
    EXPECT_EQ(view->BeginDrag(paths), 0);  // the rename box is open
    PumpMessages();
    EXPECT_TRUE(m_callbacks.steps.empty());
    EXPECT_TRUE(m_callbacks.drops.empty());
}

}  // namespace
