#include <gtest/gtest.h>

#include <cstddef>

#include "base/Thread.h"
#include "base/UniqueResource.h"
#include "core/fileops/ChangeNotice.h"
#include "tests/support/NoticeRecorder.h"

namespace {

using namespace veyra;
using veyra::test::NoticeRecorder;
using veyra::test::RecordedNotice;

TEST(ChangeNotice, RecordLayoutIsFixed)
{
    EXPECT_EQ(sizeof(ChangeNoticeRecord), 1052u);
    EXPECT_EQ(offsetof(ChangeNoticeRecord, kind), 4u);
    EXPECT_EQ(offsetof(ChangeNoticeRecord, id), 8u);
    EXPECT_EQ(offsetof(ChangeNoticeRecord, path1), 12u);
    EXPECT_EQ(offsetof(ChangeNoticeRecord, path2), 532u);
    const ULONG_PTR code = COPYDATA_CHANGE_NOTICE;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&code), 4), "\\SIN");
}

TEST(ChangeNotice, ReachesTheHostWindowOfTheKeyOnly)
{
    NoticeRecorder host(7);
    EXPECT_EQ(GetHostWindow(7), host.Handle());
    EXPECT_EQ(GetHostWindow(8), nullptr);
    EXPECT_EQ(SendChangeNotice(6, 1, 3, L"C:\\a.txt", L"", 7), 1);
    EXPECT_EQ(SendChangeNotice(6, 1, 3, L"C:\\b.txt", L"", 8), 0) << "no window for the key: nothing sent";
    ASSERT_EQ(host.Notices().size(), 1u);
    const RecordedNotice& notice = host.Notices()[0];
    EXPECT_EQ(notice.flags, 6);
    EXPECT_EQ(notice.kind, 1);
    EXPECT_EQ(notice.id, 3);
    EXPECT_EQ(notice.path1, L"C:\\a.txt");
    EXPECT_EQ(notice.path2, L"");
    EXPECT_EQ(notice.size, 1052u);
}

TEST(ChangeNotice, LongPathArrivesCutTo259Characters)
{
    NoticeRecorder host;
    const std::wstring longPath = L"C:\\" + std::wstring(297, L'x');
    ASSERT_EQ(longPath.size(), 300u);
    EXPECT_EQ(SendChangeNotice(6, 4, 1, longPath, longPath, 0), 1);
    ASSERT_EQ(host.Notices().size(), 1u);
    EXPECT_EQ(host.Notices()[0].path1, longPath.substr(0, 259));
    EXPECT_EQ(host.Notices()[0].path2, longPath.substr(0, 259));
}

TEST(ChangeNotice, NoticesFollowTheOperationState)
{
    struct Case {
        const char* name;
        int type;
        int code;
        std::vector<std::pair<int, std::wstring>> expected;  // kind, path1
    };
    const std::wstring p = L"C:\\from\\a.txt";
    const std::wstring q = L"C:\\to\\a.txt";
    const std::vector<Case> cases = {
        {"copy file", 1, 6, {{1, q}}},
        {"copy replaced", 1, 0x16, {}},
        {"copy folder made", 1 | 0x10, 6, {{2, p}}},
        {"delete file", 4, 6, {{4, p}}},
        {"delete folder", 4 | 0x20, 6, {{8, p}}},
        {"source folders removed", 0x24, 6, {{8, p}}},
        {"move file", 2, 6, {{1, q}, {4, p}}},
        {"move replaced", 2, 0x16, {{4, p}}},
        {"move folder made", 2 | 0x10, 6, {{2, p}}},
        {"rename file", 8, 6, {{1, q}, {4, p}}},
        {"rename folder made", 8 | 0x10, 6, {{2, p}}},
        {"no operation", 0, 6, {}},
    };
    NoticeRecorder host;
    for (const Case& c : cases) {
        host.Clear();
        FileOperationContext context;
        context.type = c.type;
        context.id = 5;
        EXPECT_EQ(NotifyFileChange(&context, c.code, p, q, 0), 1) << c.name;
        std::vector<std::pair<int, std::wstring>> got;
        for (const RecordedNotice& notice : host.Notices()) {
            got.emplace_back(notice.kind, notice.path1);
            EXPECT_EQ(notice.flags, c.code) << c.name;
            EXPECT_EQ(notice.id, 5) << c.name;
        }
        EXPECT_EQ(got, c.expected) << c.name;
    }
    EXPECT_EQ(NotifyFileChange(nullptr, 6, p, q, 0), 0);
}

TEST(ChangeNotice, WorkerThreadNoticeArrivesOnTheWindowThread)
{
    NoticeRecorder host;
    int answer = -1;
    veyra::UniqueHandle thread = veyra::StartThread([&answer] {
        FileOperationContext context;
        context.type = 1;
        answer = NotifyFileChange(&context, 6, L"C:\\s", L"C:\\t\\s", 0);
    });
    ASSERT_TRUE(thread);
    ASSERT_TRUE(veyra::test::PumpUntilSignalled(thread.get(), 10000));
    EXPECT_EQ(answer, 1);
    ASSERT_EQ(host.Notices().size(), 1u);
    EXPECT_EQ(host.Notices()[0].path1, L"C:\\t\\s");
}

}  // namespace
