// The resync's comparison of the records shown with a fresh listing: marks, the appended entries and
// whether anything changed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/explorer/NsExplorer.h"

using namespace veyra;

namespace {

FileItemRecord Entry(const wchar_t* path, int kind = kFileKindFile, int mark = 0)
{
    FileItemRecord record;
    record.path = path;
    record.kind = kind;
    record.syncMark = mark;
    return record;
}

std::vector<FileItemRecord> Shown(std::vector<FileItemRecord> records)
{
    for (FileItemRecord& record : records) {
        record.syncMark = 2;
    }
    return records;
}

TEST(MergeListing, MarksKeptNewAndVanishedEntries)
{
    struct Case {
        const char* name;
        std::vector<FileItemRecord> shown;
        std::vector<FileItemRecord> fresh;
        std::vector<int> marks;  // of the extended shown list
        std::vector<std::wstring> appended;
        int removed, added, changed;
    };
    const Case cases[] = {
        {"unchanged", Shown({Entry(L"C:\\f\\a"), Entry(L"C:\\f\\b")}), {Entry(L"C:\\f\\b"), Entry(L"C:\\f\\a")},
         {0, 0}, {}, 0, 0, 0},
        {"added", Shown({Entry(L"C:\\f\\a")}), {Entry(L"C:\\f\\a"), Entry(L"C:\\f\\n")}, {0, 1}, {L"C:\\f\\n"}, 0, 1, 1},
        {"removed", Shown({Entry(L"C:\\f\\a"), Entry(L"C:\\f\\b")}), {Entry(L"C:\\f\\a")}, {0, 2}, {}, 1, 0, 1},
        {"one for another", Shown({Entry(L"C:\\f\\a")}), {Entry(L"C:\\f\\b")}, {2, 1}, {L"C:\\f\\b"}, 0, 1, 1},
        {"file replaced by folder", Shown({Entry(L"C:\\f\\x")}), {Entry(L"C:\\f\\x", kFileKindFolder)}, {2, 1},
         {L"C:\\f\\x"}, 0, 1, 1},
        {"duplicate shown: the first is kept", Shown({Entry(L"C:\\f\\a"), Entry(L"C:\\f\\a")}), {Entry(L"C:\\f\\a")},
         {0, 2}, {}, 1, 0, 1},
        {"duplicate fresh: the second is new", Shown({Entry(L"C:\\f\\a")}), {Entry(L"C:\\f\\a"), Entry(L"C:\\f\\a")},
         {0, 1}, {L"C:\\f\\a"}, 0, 1, 1},
        {"paths compared exactly", Shown({Entry(L"C:\\f\\A")}), {Entry(L"C:\\f\\a")}, {2, 1}, {L"C:\\f\\a"}, 0, 1, 1},
        {"computer item not in the listing", Shown({Entry(L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}",
                                                          kFileKindDrive), Entry(L"C:\\f\\a")}),
         {Entry(L"C:\\f\\a")}, {2, 0}, {}, 1, 0, 1},
        {"both empty", {}, {}, {}, {}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<FileItemRecord> shown = c.shown;
        int removed = -1, added = -1;
        EXPECT_EQ(NsExplorer::MergeListing(shown, c.fresh, removed, added) != 0, c.changed != 0);
        EXPECT_EQ(removed, c.removed);
        EXPECT_EQ(added, c.added);
        std::vector<int> marks;
        std::vector<std::wstring> appended;
        for (size_t index = 0; index < shown.size(); ++index) {
            marks.push_back(shown[index].syncMark);
            if (index >= c.shown.size()) {
                appended.push_back(shown[index].path);
            }
        }
        EXPECT_EQ(marks, c.marks);
        EXPECT_EQ(appended, c.appended);
    }
}

}  // namespace
