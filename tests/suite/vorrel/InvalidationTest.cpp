// A skinned window asks for repaints only where they show: a change outside the client area asks
// nothing, a change inside the area already asked for since the last paint asks nothing more, and the
// first change after a paint asks again.

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/suite/vorrel/SkinFixture.h"

using namespace vorrelUI;
using namespace vorrel::test;

namespace {

class InvalidationTest : public SkinFixture {};

// The host's update region's bounds; empty when nothing waits to be painted.
RECT Pending(HWND host)
{
    RECT pending{};
    if (!GetUpdateRect(host, &pending, FALSE)) {
        SetRectEmpty(&pending);
    }
    return pending;
}

bool NothingPending(HWND host)
{
    return GetUpdateRect(host, nullptr, FALSE) == FALSE;
}

bool Contains(const RECT& outer, const RECT& inner)
{
    RECT both{};
    UnionRect(&both, &outer, &inner);
    return EqualRect(&both, &outer) != FALSE;
}

TEST_F(InvalidationTest, RepaintsAreAskedOnlyWhereTheyShow)
{
    BuiltWindow built = Build(WriteLayout(L"Invalidation.xml", L"").c_str(), true);
    ASSERT_TRUE(built.root);
    const RECT below{10, 5000, 60, 5020};
    auto label = NewLabel(below, L"caption");
    built.root->AddChild(label.get());
    UpdateWindow(built.host);
    ASSERT_TRUE(NothingPending(built.host)) << "painted";

    const RECT further{10, 6000, 60, 6020};
    label->Move(&further, TRUE);
    EXPECT_TRUE(NothingPending(built.host)) << "a move outside the client area";

    const RECT shown{10, 10, 60, 30};
    label->Move(&shown, TRUE);
    const RECT first = Pending(built.host);
    EXPECT_TRUE(Contains(first, shown)) << "a move into sight";

    const RECT second{200, 150, 250, 170};
    label->Move(&second, TRUE);
    const RECT both = Pending(built.host);
    EXPECT_TRUE(Contains(both, shown) && Contains(both, second)) << "the box grows with a change outside it";

    UpdateWindow(built.host);
    ASSERT_TRUE(NothingPending(built.host));
    label->SetText(L"renamed");
    EXPECT_TRUE(Contains(Pending(built.host), second)) << "the first change after a paint";
    built.Close();
}

}  // namespace
