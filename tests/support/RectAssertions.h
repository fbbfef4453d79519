#pragma once
// Rectangle comparison for window and layout tests, printing both rectangles when they differ.

#include <windows.h>

#include <gtest/gtest.h>

namespace veyra::test {

inline ::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected)
{
    if (EqualRect(&actual, &expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "(" << actual.left << "," << actual.top << "," << actual.right << ","
                                         << actual.bottom << ") instead of (" << expected.left << "," << expected.top
                                         << "," << expected.right << "," << expected.bottom << ")";
}

}  // namespace veyra::test
