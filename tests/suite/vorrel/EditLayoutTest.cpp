// The folder window's address box and resizing: Enter in the EDIT child is the edit's event 1, also
// under a dialog's message filter; SetId renumbers the child; the box holds at most 500 characters;
// a window the program resizes lays its anchored controls out again.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/suite/vorrel/SkinFixture.h"

using namespace vorrelUI;
using namespace vorrel::test;
using veyra::ComPtr;

namespace {

class EditLayoutTest : public SkinFixture {};

TEST_F(EditLayoutTest, EnterInTheAddressBoxIsItsEventAndItsChildFollowsTheIdentifier)
{
    BuiltWindow folder = Build(L"NsExplorer.xml", true);
    auto address = folder.Find<Ivorrel_edit>(1009, IID_Ivorrel_edit);
    ASSERT_TRUE(address);
    HWND edit = nullptr;
    ASSERT_EQ(address->GetEditWindow(&edit), S_OK);
    address->SetId(3013);
    EXPECT_EQ(GetDlgCtrlID(edit), 3013);

    EventRecorder sink;
    sink.Listen(address.get());
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(edit, WM_CHAR, L'\r', 1);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageW(folder.host, &message)) {  // as the folder window's filter runs
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    const auto events = sink.Of(1, address.get());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].values[0], static_cast<ULONG>(WM_KEYDOWN));
    EXPECT_EQ(events[0].values[1], static_cast<ULONG>(VK_RETURN));
    folder.Close();
}

TEST_F(EditLayoutTest, AddressBoxHoldsAtMost500Characters)
{
    BuiltWindow folder = Build(L"NsExplorer.xml");
    auto address = folder.Find<Ivorrel_edit>(1009, IID_Ivorrel_edit);
    HWND edit = nullptr;
    ASSERT_EQ(address->GetEditWindow(&edit), S_OK);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 500);
    address->SetEditText(std::wstring(600, L'a').c_str());
    wchar_t text[1024] = {};
    ASSERT_EQ(address->GetEditText(text, 1024), S_OK);
    EXPECT_EQ(wcslen(text), 500u);
    folder.Close();
}

TEST_F(EditLayoutTest, ResizedWindowLaysItsAnchoredControlsOut)
{
    BuiltWindow folder = Build(L"NsExplorer.xml");
    auto view = folder.Find<Ivorrel_panel>(1005, IID_Ivorrel_panel);
    auto item = NewPanel(RECT{160, 75, 234, 163});
    view->AddChild(item.get());
    // Maximised over a desktop: 830 by 560 instead of 740 by 480.
    SetWindowPos(folder.host, nullptr, 0, 25, 830, 560, SWP_NOZORDER | SWP_NOACTIVATE);
    const LONG dx = 90, dy = 80;
    struct Case {
        USHORT id;
        const char* anchor;
        RECT expected;
    } const cases[] = {
        {1010, "top,right", RECT{683 + dx, 2, 732 + dx, 22}},
        {1011, "top,right", RECT{655 + dx, 2, 683 + dx, 22}},
        {1009, "left,top,right", RECT{80, 35, 700 + dx, 58}},
        {1003, "left,top,bottom", RECT{1, 65, 149, 419 + dy}},
        {1005, "all four", RECT{150, 65, 730 + dx, 419 + dy}},
        {1008, "top,right", RECT{707 + dx, 35, 731 + dx, 59}},
        {1006, "left,right,bottom", RECT{0, 420 + dy, 740 + dx, 480 + dy}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << test.id << " " << test.anchor);
        const RECT got = folder.RectOf(test.id);
        EXPECT_TRUE(EqualRect(&got, &test.expected)) << got.left << "," << got.top << "," << got.right << "," << got.bottom;
    }
    RECT itemRect{};
    item->GetRect(&itemRect);
    EXPECT_EQ(itemRect.left, 160) << "the view's items keep their place";
    HWND edit = nullptr;
    folder.Find<Ivorrel_edit>(1009, IID_Ivorrel_edit)->GetEditWindow(&edit);
    RECT editRect{};
    GetWindowRect(edit, &editRect);
    EXPECT_EQ(editRect.right - editRect.left, 700 + dx - 80 - 8) << "the EDIT child stretched with its control";
    SetWindowPos(folder.host, nullptr, 0, 0, 740, 480, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT back = folder.RectOf(1010);
    EXPECT_EQ(back.left, 683) << "restoring the size puts them back";
    folder.Close();
}

}  // namespace
