// The subclassing of skinned hosts: the host gets its procedure back when its skin goes, and a subclass
// the program put on the host later keeps receiving messages after the skin let go.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/suite/vorrel/SkinFixture.h"

using namespace vorrelUI;
using namespace vorrel::test;

namespace {

constexpr UINT kCountedMessage = WM_APP + 7;
constexpr UINT_PTR kLaterSubclassId = 7;

class HostHookTest : public SkinFixture {};

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (message == kCountedMessage) {
        ++*reinterpret_cast<int*>(data);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// Lets go of the skin but keeps the host.
void DropSkin(BuiltWindow& built)
{
    built.window->ReleaseControls();
    built.root.reset();
    built.window.reset();
}

TEST_F(HostHookTest, HostGetsItsProcedureBackWhenTheSkinGoes)
{
    BuiltWindow built = Build(L"KavoSandbox.xml");
    ASSERT_TRUE(built.window);
    const LONG_PTR classProcedure = GetClassLongPtrW(built.host, GCLP_WNDPROC);
    EXPECT_NE(GetWindowLongPtrW(built.host, GWLP_WNDPROC), classProcedure) << "the skin hooks its host";
    DropSkin(built);
    EXPECT_EQ(GetWindowLongPtrW(built.host, GWLP_WNDPROC), classProcedure);
    built.Close();
}

TEST_F(HostHookTest, ALaterSubclassKeepsItsMessagesAfterTheSkinGoes)
{
    BuiltWindow built = Build(L"KavoSandbox.xml");
    ASSERT_TRUE(built.window);
    int counted = 0;
    ASSERT_TRUE(SetWindowSubclass(built.host, &CountingProc, kLaterSubclassId, reinterpret_cast<DWORD_PTR>(&counted)));
    SendMessageW(built.host, kCountedMessage, 0, 0);
    EXPECT_EQ(counted, 1) << "with the skin";
    DropSkin(built);
    SendMessageW(built.host, kCountedMessage, 0, 0);
    EXPECT_EQ(counted, 2) << "after the skin went";
    RemoveWindowSubclass(built.host, &CountingProc, kLaterSubclassId);
    SendMessageW(built.host, kCountedMessage, 0, 0);
    EXPECT_EQ(counted, 2) << "after the later subclass went";
    built.Close();
}

}  // namespace
