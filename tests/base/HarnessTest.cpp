// Proves the platform the tests stand on: a 64-bit Wine system (the 32-bit build runs under WoW64,
// the 64-bit test build natively), with a display, a registry under HKEY_USERS, the build folder on a
// drive letter and no Z: drive onto the Linux root.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/UniqueResource.h"
#include "tests/support/TestPaths.h"

namespace {

TEST(Harness, RunsOnSixtyFourBitSystemWithWow64ForThirtyTwoBitCode)
{
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_EQ(wow64 != FALSE, sizeof(void*) == 4) << "a 32-bit process must run under WoW64, a 64-bit one natively";
    SYSTEM_INFO native{};
    GetNativeSystemInfo(&native);
    EXPECT_EQ(native.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
}

TEST(Harness, WritesAndReadsBackUnderHkeyUsers)
{
    const wchar_t* subKey = L"VeyraHarnessTest";
    veyra::UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_USERS, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    const DWORD written = 0x5A17u;
    ASSERT_EQ(RegSetValueExW(key.get(), L"Probe", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&written),
                             sizeof(written)),
              ERROR_SUCCESS);
    DWORD read = 0;
    DWORD size = sizeof(read);
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExW(key.get(), L"Probe", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(read, written);
    key.reset();
    EXPECT_EQ(RegDeleteKeyW(HKEY_USERS, subKey), ERROR_SUCCESS);
}

TEST(Harness, HasDisplayAndNoLinuxRootDrive)
{
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_EQ(GetDriveTypeW(L"Z:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetDriveTypeW(L"D:\\"), static_cast<UINT>(DRIVE_FIXED));
    const std::wstring bin = veyra::test::BinFolder();
    ASSERT_GE(bin.size(), 3u);
    EXPECT_EQ(bin[1], L':') << "the build folder must be reached through a drive letter";
}

}  // namespace
