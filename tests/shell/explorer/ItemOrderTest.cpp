// The orders of records and items: kind and name for the desktop and folders, drive type for drives.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "shell/explorer/ItemOrder.h"
#include "shell/iconview/NsIconNoPe.h"

using namespace veyra;

namespace {

FileItemRecord Record(const wchar_t* path, int kind, int driveType = 0)
{
    FileItemRecord record;
    record.path = path;
    record.kind = kind;
    record.driveType = driveType;
    return record;
}

using Order = bool (*)(const FileItemRecord&, const FileItemRecord&) noexcept;

TEST(ItemOrderTest, ComesBefore)
{
    struct Case {
        const char* name;
        Order order;
        FileItemRecord a, b;
        bool before;
    } cases[] = {
        {"folder: b.txt before C.txt", FolderOrder, Record(L"D:\\x\\b.txt", 1), Record(L"D:\\x\\C.txt", 1), true},
        {"desktop: C.txt before b.txt", DesktopOrder, Record(L"D:\\x\\C.txt", 1), Record(L"D:\\x\\b.txt", 1), true},
        {"desktop: not b.txt before C.txt", DesktopOrder, Record(L"D:\\x\\b.txt", 1), Record(L"D:\\x\\C.txt", 1), false},
        {"folder: zzz folder before aaa file", FolderOrder, Record(L"D:\\zzz", 0), Record(L"D:\\aaa", 1), true},
        {"folder: files before programs", FolderOrder, Record(L"D:\\z.txt", 1), Record(L"D:\\a.exe", 2), true},
        {"desktop: drives first", DesktopOrder, Record(L"C:", 3), Record(L"D:\\a.exe", 2), true},
        {"desktop: folders last", DesktopOrder, Record(L"D:\\a", 0), Record(L"D:\\z.txt", 1), false},
        {"folder: names only, not folders", FolderOrder, Record(L"D:\\b\\a.txt", 1), Record(L"D:\\a\\b.txt", 1), true},
        {"folder: equal names", FolderOrder, Record(L"D:\\x\\Same", 1), Record(L"D:\\y\\SAME", 1), false},
        {"folder: equal names reversed", FolderOrder, Record(L"D:\\y\\SAME", 1), Record(L"D:\\x\\Same", 1), false},
        {"drive: CD-ROM before removable", DriveOrder, Record(L"E:", 3, 5), Record(L"F:", 3, 2), true},
        {"drive: removable before network", DriveOrder, Record(L"F:", 3, 2), Record(L"G:", 3, 4), true},
        {"drive: fixed before CD-ROM", DriveOrder, Record(L"C:", 3, 3), Record(L"E:", 3, 5), true},
        {"drive: RAM before no root", DriveOrder, Record(L"R:", 3, 6), Record(L"N:", 3, 1), true},
        {"drive: no root before unknown", DriveOrder, Record(L"N:", 3, 1), Record(L"U:", 3, 0), true},
        {"drive: type 9 ranks as unknown", DriveOrder, Record(L"U:", 3, 0), Record(L"X:", 3, 9), false},
        {"drive: type 9 after RAM", DriveOrder, Record(L"R:", 3, 6), Record(L"X:", 3, 9), true},
        {"drive: negative type after fixed", DriveOrder, Record(L"C:", 3, 3), Record(L"X:", 3, -1), true},
        {"drive: same type", DriveOrder, Record(L"C:", 3, 3), Record(L"D:", 3, 3), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.order(c.a, c.b), c.before) << c.name;
    }
}

TEST(ItemOrderTest, DriveRankTable)
{
    const int ranks[] = {7, 6, 3, 1, 4, 2, 5};
    for (int type = 0; type < 7; ++type) {
        EXPECT_EQ(DriveRank(type), ranks[type]) << "type " << type;
    }
    EXPECT_EQ(DriveRank(7), 7);
    EXPECT_EQ(DriveRank(9), 7);
    EXPECT_EQ(DriveRank(-1), 7);
}

TEST(ItemOrderTest, ItemsCompareTheirRecordsAndNeverAMissingOne)
{
    const std::uint32_t mode = 0x10104;
    auto folder = std::make_unique<NsIconNoPe>(&mode);
    auto file = std::make_unique<NsIconNoPe>(&mode);
    folder->Record() = Record(L"D:\\zzz", 0, 5);
    file->Record() = Record(L"D:\\aaa.txt", 1, 2);
    EXPECT_TRUE(FolderOrderOfItems(folder.get(), file.get()));
    EXPECT_FALSE(FolderOrderOfItems(file.get(), folder.get()));
    EXPECT_TRUE(DesktopOrderOfItems(file.get(), folder.get()));
    EXPECT_TRUE(DriveOrderOfItems(folder.get(), file.get()));
    for (const auto order : {FolderOrderOfItems, DesktopOrderOfItems, DriveOrderOfItems}) {
        EXPECT_FALSE(order(nullptr, file.get()));
        EXPECT_FALSE(order(folder.get(), nullptr));
        EXPECT_FALSE(order(nullptr, nullptr));
    }
}

}  // namespace
