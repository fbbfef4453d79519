#include "core/shellutil/PathText.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TempFolder.h"

namespace veyra {
namespace {

using test::TempFolder;

TEST(PathText, SizeTexts)
{
    struct Case {
        std::uint64_t bytes;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, L"0 KB"},
        {1, L"1 KB"},
        {1023, L"1 KB"},
        {1024, L"1.0 KB"},
        {1536, L"1.5 KB"},
        {1048575, L"1024.0 KB"},
        {1048576, L"1.0 MB"},
        {1073741823, L"1024.0 MB"},
        {1ull << 30, L"1.0 GB"},
        {(1ull << 40) - 1, L"1024.0 GB"},
        {1ull << 40, L"1.0 TB"},
        {5ull << 40, L"5.0 TB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatSizeText(c.bytes), c.text) << c.bytes << " bytes";
    }
}

// A file time that reads as the given local time.
FILETIME FileTimeOfLocal(WORD year, WORD month, WORD day, WORD hour, WORD minute)
{
    SYSTEMTIME local{};
    local.wYear = year;
    local.wMonth = month;
    local.wDay = day;
    local.wHour = hour;
    local.wMinute = minute;
    SYSTEMTIME utc{};
    FILETIME result{};
    EXPECT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc));
    EXPECT_TRUE(SystemTimeToFileTime(&utc, &result));
    return result;
}

TEST(PathText, SizeAndDateOfRealFiles)
{
    TempFolder folder;
    struct Case {
        const wchar_t* name;
        DWORD bytes;
        const wchar_t* size;
    };
    const Case cases[] = {{L"empty", 0, L"0 KB"}, {L"kilo", 1024, L"1.0 KB"}, {L"mega", 1048576, L"1.0 MB"}};
    const FILETIME written = FileTimeOfLocal(2024, 3, 5, 7, 9);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        const std::wstring path = folder / c.name;
        {
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            LARGE_INTEGER end{};
            end.QuadPart = c.bytes;
            EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
            EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
            CloseHandle(file);
        }
        std::wstring size;
        std::wstring date;
        ASSERT_EQ(GetFileSizeAndDate(path.c_str(), size, date), 1);
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(date, L"2024/03/05 07:09");
    }
    std::wstring size = L"x";
    std::wstring date = L"x";
    EXPECT_EQ(GetFileSizeAndDate((folder / L"missing").c_str(), size, date), 0);
    EXPECT_EQ(GetFileSizeAndDate((folder / L"*").c_str(), size, date), 0) << "a pattern names no one file";
    EXPECT_TRUE(size.empty() && date.empty());
}

TEST(PathText, ShortPathsBecomeLong)
{
    TempFolder folder;
    const std::wstring longFolder = folder / L"A folder with a long name";
    ASSERT_TRUE(CreateDirectoryW(longFolder.c_str(), nullptr));
    const std::wstring longFile = longFolder + L"\\Application File.exe";
    ASSERT_TRUE(test::WriteFileBytes(longFile, "MZ"));
    wchar_t shortBuffer[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(longFile.c_str(), shortBuffer, MAX_PATH), 0u);
    const std::wstring shortFile = shortBuffer;
    ASSERT_NE(shortFile.find(L'~'), std::wstring::npos) << "the system gave no short name";

    struct Case {
        std::wstring text;
        int result;
        std::wstring expected;
    };
    const Case cases[] = {
        {shortFile, 1, longFile},
        {L"\"" + shortFile + L"\" -x", 1, L"\"" + longFile + L"\" -x"},
        {shortFile + L"  \"-x\"", 1, longFile + L" \"-x\""},
        {L"C:\\no tilde\\file.exe", 1, L"C:\\no tilde\\file.exe"},
        {L"\"" + shortFile + L" -x", 0, L""},                       // no closing quote
        {L"\"C:\\MISSIN~1\\X.EXE\" -x", 1, L"\"C:\\MISSIN~1\\X.EXE\" -x"},  // not found: unchanged
        {L"C:\\MISSIN~1\\X.EXE", 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text);
        wchar_t out[MAX_PATH] = L"left over";
        EXPECT_EQ(ShortToLongPath(c.text.c_str(), out, MAX_PATH), c.result);
        EXPECT_EQ(std::wstring(out), c.expected);
    }
}

TEST(PathText, ShortToLongPathIsBoundedByTheOutput)
{
    TempFolder folder;
    const std::wstring longFolder = folder / L"Another long folder name";
    ASSERT_TRUE(CreateDirectoryW(longFolder.c_str(), nullptr));
    wchar_t shortBuffer[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(longFolder.c_str(), shortBuffer, MAX_PATH), 0u);
    const std::wstring quoted = L"\"" + std::wstring(shortBuffer) + L"\" -x";
    for (const std::wstring& text : {std::wstring(shortBuffer), quoted, std::wstring(L"no tilde here")}) {
        SCOPED_TRACE(testing::Message() << text);
        wchar_t out[8] = L"x";
        EXPECT_EQ(ShortToLongPath(text.c_str(), out, std::size(out)), 0);
        EXPECT_STREQ(out, L"");
    }
}

TEST(PathText, System32IsReadThroughSysnativeOnlyWhereNeeded)
{
    wchar_t windowsBuffer[MAX_PATH] = {};
    ASSERT_GT(GetSystemWindowsDirectoryW(windowsBuffer, MAX_PATH), 0u);
    const std::wstring windows = windowsBuffer;
    const ShellPlatform wow64{true, false, true};
    const ShellPlatform native{true, false, false};
    struct Case {
        std::wstring path;
        ShellPlatform platform;
        std::wstring expected;
    };
    const Case cases[] = {
        {windows + L"\\System32\\notepad.exe", wow64, windows + L"\\Sysnative\\notepad.exe"},
        {windows + L"\\SYSTEM32\\drivers\\x.sys", wow64, windows + L"\\Sysnative\\drivers\\x.sys"},
        {windows + L"\\System32\\notepad.exe", native, windows + L"\\System32\\notepad.exe"},
        {windows + L"\\System32x\\a.exe", wow64, windows + L"\\System32x\\a.exe"},
        {windows + L"\\System32", wow64, windows + L"\\System32"},
        {L"D:\\Windows\\System32\\a.exe", wow64, L"D:\\Windows\\System32\\a.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path);
        wchar_t out[MAX_PATH] = L"left over";
        EXPECT_EQ(ToSysnativePath(c.path.c_str(), out, MAX_PATH, c.platform), 1);
        EXPECT_EQ(std::wstring(out), c.expected);
    }

    // "Sysnative" is one character longer than "System32": a result that no longer fits gives 0.
    const std::wstring path = windows + L"\\System32\\a.exe";
    wchar_t exact[MAX_PATH] = {};
    EXPECT_EQ(ToSysnativePath(path.c_str(), exact, path.size() + 1, native), 1);
    EXPECT_EQ(ToSysnativePath(path.c_str(), exact, path.size() + 1, wow64), 0);
    EXPECT_STREQ(exact, L"");
    EXPECT_EQ(ToSysnativePath(path.c_str(), exact, path.size(), native), 0);
}

TEST(PathText, TypeNameOfAFile)
{
    TempFolder folder;
    const std::wstring path = folder / L"notes.txt";
    ASSERT_TRUE(test::WriteFileBytes(path, "text"));
    std::wstring typeName;
    ASSERT_EQ(GetFileTypeName(path.c_str(), typeName), 1);
    EXPECT_FALSE(typeName.empty());
    EXPECT_EQ(GetFileTypeName(nullptr, typeName), 0);
}

}  // namespace
}  // namespace veyra
