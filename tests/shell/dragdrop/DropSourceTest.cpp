// The drop source: its verdict on each key state, the shell's drag window poked through the
// "DragWindow" block (read only within the block), the cursor it keeps over its own window, its
// notifier, and the drag-image helper as this system provides it.

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "base/ComPtr.h"
#include "shell/dragdrop/CDragSourceHelper.h"
#include "shell/dragdrop/CIDataObject.h"
#include "shell/dragdrop/CIDropSource.h"
#include "shell/dragdrop/DropBlocks.h"
#include "tests/shell/dragdrop/DragTestSupport.h"

using namespace veyra;
using namespace veyra::test;

namespace {

TEST(DropSourceTest, QueryContinueDragPerKeyState)
{
    ComPtr<CIDropSource> source = ComPtr<CIDropSource>::Adopt(new CIDropSource(false));
    struct Case {
        const char* name;
        BOOL escape;
        DWORD keys;
        HRESULT result;
        bool dropped;
    } const cases[] = {
        {"left button held", FALSE, MK_LBUTTON, S_OK, false},
        {"right button held with shift", FALSE, MK_RBUTTON | MK_SHIFT, S_OK, false},
        {"escape while held", TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL, false},
        {"buttons released", FALSE, 0, DRAGDROP_S_DROP, true},
        {"released, control still down", FALSE, MK_CONTROL, DRAGDROP_S_DROP, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.result) << c.name;
        EXPECT_EQ(source->Dropped(), c.dropped) << c.name;
        if (c.dropped) {
            source = ComPtr<CIDropSource>::Adopt(new CIDropSource(false));
        }
    }
}

TEST(DropSourceTest, GiveFeedbackPokesTheDragWindowItNames)
{
    RecordingWindow dragWindow(0, 0, 10, 10, WS_POPUP);
    ASSERT_NE(dragWindow.Handle(), nullptr);
    const auto handle = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(dragWindow.Handle()));
    const std::uint16_t shortBlock = 7;
    const std::uint32_t noWindow = 0x7FFFFFF0;
    struct Case {
        const char* name;
        const void* bytes;
        size_t size;
        size_t messages;
    } const cases[] = {
        {"a block naming the window", &handle, sizeof(handle), 1},
        {"a block too short for a handle", &shortBlock, sizeof(shortBlock), 0},
        {"a handle of no window", &noWindow, sizeof(noWindow), 0},
        {"no block", nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        ComPtr<CIDataObject> data = MakeFileDataObject({L"C:\\a"});
        if (c.bytes) {
            ASSERT_EQ(SetGlobalData(data.get(), DragWindowFormat(), c.bytes, c.size), S_OK) << c.name;
        }
        ComPtr<CIDropSource> source = ComPtr<CIDropSource>::Adopt(new CIDropSource(false));
        source->SetDataObject(data.get());
        dragWindow.received.clear();
        EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS) << c.name;
        EXPECT_EQ(dragWindow.received.size(), c.messages) << c.name;
        if (c.messages) {
            EXPECT_EQ(dragWindow.received[0], 1027u) << c.name;
        }
    }
}

TEST(DropSourceTest, ArrowOnlyOverTheSourceWithComposition)
{
    ASSERT_TRUE(SetCursorPos(300, 300));
    POINT cursor{};
    ASSERT_TRUE(GetCursorPos(&cursor));
    struct Case {
        const char* name;
        bool composition;
        RECT source;
        HRESULT result;
    } const cases[] = {
        {"inside, composition on", true, {cursor.x - 10, cursor.y - 10, cursor.x + 10, cursor.y + 10}, S_OK},
        {"inside, composition off", false, {cursor.x - 10, cursor.y - 10, cursor.x + 10, cursor.y + 10}, DRAGDROP_S_USEDEFAULTCURSORS},
        {"outside, composition on", true, {cursor.x + 5, cursor.y + 5, cursor.x + 50, cursor.y + 50}, DRAGDROP_S_USEDEFAULTCURSORS},
        {"rectangle never set", true, {0, 0, 0, 0}, DRAGDROP_S_USEDEFAULTCURSORS},
    };
    for (const Case& c : cases) {
        ComPtr<CIDropSource> source = ComPtr<CIDropSource>::Adopt(new CIDropSource(c.composition));
        source->SetSourceRect(c.source.left, c.source.top, c.source.right, c.source.bottom);
        EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), c.result) << c.name;
    }
}

TEST(DropSourceTest, InterfacesAndTheNotifier)
{
    ComPtr<CIDropSource> source = ComPtr<CIDropSource>::Adopt(new CIDropSource(false));
    void* out = nullptr;
    EXPECT_EQ(source->QueryInterface(IID_IDropSource, nullptr), E_POINTER);
    ASSERT_EQ(source->QueryInterface(IID_IDropSource, &out), S_OK);
    EXPECT_EQ(out, static_cast<IDropSource*>(source.get()));
    static_cast<IUnknown*>(out)->Release();
    EXPECT_EQ(source->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    ASSERT_EQ(source->QueryInterface(IID_IDropSourceNotify, &out), S_OK);
    ComPtr<IDropSourceNotify> notify = ComPtr<IDropSourceNotify>::Adopt(static_cast<IDropSourceNotify*>(out));
    EXPECT_NE(static_cast<void*>(notify.get()), static_cast<void*>(source.get()));
    EXPECT_EQ(notify->DragEnterTarget(GetDesktopWindow()), S_OK);
    EXPECT_EQ(notify->DragLeaveTarget(), S_OK);
    // The notifier outlives the source while someone holds it.
    source.reset();
    EXPECT_EQ(notify->DragLeaveTarget(), S_OK);
    void* unknown = nullptr;
    ASSERT_EQ(notify->QueryInterface(IID_IUnknown, &unknown), S_OK);
    static_cast<IUnknown*>(unknown)->Release();
    EXPECT_EQ(notify->QueryInterface(IID_IDropSource, &unknown), E_NOINTERFACE);
}

// Wine: the helper exists but InitializeFromBitmap answers E_NOTIMPL. On either system the caller's
// bitmap stays with the caller exactly when the helper did not take it.
TEST(DragSourceHelperTest, TheBitmapStaysUnlessTaken)
{
    CDragSourceHelper helper;
    ComPtr<CIDataObject> data = MakeFileDataObject({L"C:\\a"});
    UniqueBitmap bitmap(CreateBitmap(8, 8, 1, 32, nullptr));
    ASSERT_TRUE(bitmap);
    const HRESULT result = helper.InitializeFromBitmap(bitmap, POINT{50, 90}, POINT{0, 0}, data.get(), true, 0);
    if (!helper.HasHelper()) {
        EXPECT_EQ(result, E_FAIL);
    }
    EXPECT_EQ(bitmap.valid(), FAILED(result)) << std::hex << result;
    if (bitmap) {
        BITMAP info{};
        EXPECT_EQ(GetObjectW(bitmap.get(), sizeof(info), &info), static_cast<int>(sizeof(info)));
    }
    UniqueBitmap none;
    if (helper.HasHelper()) {
        EXPECT_EQ(helper.InitializeFromBitmap(none, POINT{}, POINT{}, data.get(), false, 0), E_INVALIDARG);
    }
}

}  // namespace
