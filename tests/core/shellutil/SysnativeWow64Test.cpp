// Only a 32-bit process on a 64-bit system sees System32 redirected: the status line's size and date of
// a file in the real system folder must come through Sysnative.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/GlobalInfo.h"
#include "core/shellutil/PathText.h"
#include "tests/support/TempFolder.h"

namespace veyra {
namespace {

TEST(SysnativeWow64, SizeAndDateOfAFileOnlyTheRealSystemFolderHolds)
{
    g_globalInfo.Init();
    const ShellPlatform platform = CurrentShellPlatform();
    if (sizeof(void*) != 4) {
        EXPECT_FALSE(platform.sysnativeNeeded) << "a 64-bit process has no Sysnative";
        return;
    }
    ASSERT_TRUE(platform.sysnativeNeeded);
    wchar_t windowsBuffer[MAX_PATH] = {};
    ASSERT_GT(GetSystemWindowsDirectoryW(windowsBuffer, MAX_PATH), 0u);
    const std::wstring windows = windowsBuffer;
    const std::wstring name = L"veyra_sysnative_probe.txt";
    const std::wstring realPath = windows + L"\\Sysnative\\" + name;
    ASSERT_TRUE(test::WriteFileBytes(realPath, std::string(1024, 'x')));

    const std::wstring shownPath = windows + L"\\System32\\" + name;
    WIN32_FIND_DATAW data{};
    const HANDLE redirected = FindFirstFileW(shownPath.c_str(), &data);
    EXPECT_EQ(redirected, INVALID_HANDLE_VALUE) << "System32 should name the 32-bit folder here";
    if (redirected != INVALID_HANDLE_VALUE) {
        FindClose(redirected);
    }
    std::wstring size;
    std::wstring date;
    EXPECT_EQ(GetFileSizeAndDate(shownPath.c_str(), size, date), 1);
    EXPECT_EQ(size, L"1.0 KB");
    EXPECT_TRUE(DeleteFileW(realPath.c_str()));
}

}  // namespace
}  // namespace veyra
