#include "base/FixedPath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FixedPath, CopyFitsOrFailsWithEmptyBuffer)
{
    struct Case {
        std::wstring text;
        bool fits;
    };
    const Case cases[] = {
        {L"", true},
        {std::wstring(259, L'a'), true},
        {std::wstring(260, L'a'), false},
        {std::wstring(L"C:\\a\0b", 6), false},  // an embedded NUL would silently shorten the path
    };
    for (const Case& c : cases) {
        wchar_t buffer[veyra::kMaxPathChars];
        buffer[0] = L'x';
        EXPECT_EQ(veyra::CopyBounded(buffer, c.text), c.fits) << c.text.size();
        EXPECT_EQ(std::wstring(buffer), c.fits ? c.text : std::wstring()) << c.text.size();
    }
}

TEST(FixedPath, AppendNeverTruncatesIntoAnotherPath)
{
    wchar_t buffer[8];
    ASSERT_TRUE(veyra::CopyBounded(buffer, L"C:\\ab"));
    EXPECT_TRUE(veyra::AppendBounded(buffer, L"\\c"));
    EXPECT_STREQ(buffer, L"C:\\ab\\c");
    EXPECT_FALSE(veyra::AppendBounded(buffer, L"d"));
    EXPECT_STREQ(buffer, L"");
}

TEST(FixedPath, ZeroCapacityAndNullBufferFail)
{
    wchar_t buffer[1] = {L'q'};
    EXPECT_FALSE(veyra::CopyBounded(buffer, 0, L""));
    EXPECT_EQ(buffer[0], L'q');
    EXPECT_FALSE(veyra::CopyBounded(nullptr, 4, L"a"));
    EXPECT_FALSE(veyra::AppendBounded(nullptr, 4, L"a"));
}

}  // namespace
