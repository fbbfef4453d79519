// The version detector against a scripted system: every branch of the reported/native/kernel-file
// comparison, the failures that leave it undetected, and the real system underneath.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/GlobalInfo.h"
#include "core/OSVersionCheck.h"

namespace {

using veyra::COSVersionCheck;

struct Version {
    DWORD major;
    DWORD minor;
    DWORD build;
};

// What the scripted system answers.
struct Script {
    Version reported{6, 2, 9200};
    bool hasRtl = true;
    Version native{6, 2, 9200};
    std::wstring windowsFolder = L"C:\\windows";
    bool wow64 = false;
    bool kernelExists = true;
    DWORD blockSize = 1800;
    Version kernel{10, 0, 19041};
    // What the detector asked for.
    std::wstring kernelPathAsked;
    int sizeQueries = 0;
};
Script g_script;

void Fill(OSVERSIONINFOEXW* record, const Version& version)
{
    record->dwMajorVersion = version.major;
    record->dwMinorVersion = version.minor;
    record->dwBuildNumber = version.build;
}

const veyra::OsVersionSource kScripted = {
    [](OSVERSIONINFOEXW* record) -> BOOL {
        Fill(record, g_script.reported);
        return TRUE;
    },
    [](OSVERSIONINFOEXW* record) -> LONG {
        Fill(record, g_script.native);
        return 0;
    },
    [](wchar_t* buffer, UINT capacity) -> UINT {
        const std::wstring& folder = g_script.windowsFolder;
        if (folder.size() >= capacity) {
            return static_cast<UINT>(folder.size() + 1);  // as the system reports a too-small buffer
        }
        folder.copy(buffer, folder.size());
        buffer[folder.size()] = L'\0';
        return static_cast<UINT>(folder.size());
    },
    [](HANDLE, BOOL* wow64) -> BOOL {
        *wow64 = g_script.wow64;
        return TRUE;
    },
    [](const wchar_t* path) -> BOOL {
        g_script.kernelPathAsked = path;
        return g_script.kernelExists;
    },
    [](const wchar_t*) -> DWORD {
        ++g_script.sizeQueries;
        return g_script.blockSize;
    },
    [](const wchar_t*, DWORD, VS_FIXEDFILEINFO* fixed) -> bool {
        fixed->dwProductVersionMS = MAKELONG(g_script.kernel.minor, g_script.kernel.major);
        fixed->dwProductVersionLS = MAKELONG(0, g_script.kernel.build);
        return true;
    },
};

veyra::OsVersionSource WithoutRtl()
{
    veyra::OsVersionSource source = kScripted;
    source.rtlGetVersion = nullptr;
    return source;
}

TEST(OSVersionCheck, TakesTheNewestOfReportedNativeAndKernelVersions)
{
    struct Case {
        const char* name;
        Version reported;
        bool hasRtl;
        Version native;
        Version kernel;
        Version expected;
        COSVersionCheck::State state;
    };
    const Case cases[] = {
        {"compatibility layer says 6.2, kernel 10.0", {6, 2, 9200}, true, {6, 2, 9200}, {10, 0, 19041},
         {10, 0, 19041}, COSVersionCheck::State::RaisedByKernel},
        {"native call newer than reported, kernel equal", {6, 1, 7601}, true, {10, 0, 17763}, {10, 0, 17763},
         {10, 0, 17763}, COSVersionCheck::State::AsReported},
        {"no native call, kernel 6.3", {6, 2, 9200}, false, {0, 0, 0}, {6, 3, 9600}, {6, 3, 9600},
         COSVersionCheck::State::RaisedByKernel},
        {"kernel older than reported", {10, 0, 19045}, true, {10, 0, 19045}, {6, 1, 7601}, {10, 0, 19045},
         COSVersionCheck::State::AsReported},
        {"native call older than reported is ignored", {6, 3, 9600}, true, {6, 1, 7601}, {6, 3, 9600},
         {6, 3, 9600}, COSVersionCheck::State::AsReported},
    };
    const veyra::OsVersionSource withoutRtl = WithoutRtl();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_script = Script{};
        g_script.reported = c.reported;
        g_script.native = c.native;
        g_script.kernel = c.kernel;
        COSVersionCheck check(c.hasRtl ? kScripted : withoutRtl);
        EXPECT_EQ(check.GetState(), c.state);
        OSVERSIONINFOEXW record{};
        record.dwOSVersionInfoSize = sizeof(record);
        ASSERT_EQ(check.GetRealOsVersion(&record), 1);
        EXPECT_EQ(record.dwMajorVersion, c.expected.major);
        EXPECT_EQ(record.dwMinorVersion, c.expected.minor);
        EXPECT_EQ(record.dwBuildNumber, c.expected.build);
    }
}

TEST(OSVersionCheck, ReadsTheKernelThroughSysNativeOnlyUnderWow64)
{
    for (bool wow64 : {true, false}) {
        g_script = Script{};
        g_script.wow64 = wow64;
        COSVersionCheck check(kScripted);
        EXPECT_EQ(g_script.kernelPathAsked,
                  wow64 ? L"C:\\windows\\SysNative\\ntoskrnl.exe" : L"C:\\windows\\System32\\ntoskrnl.exe");
    }
}

TEST(OSVersionCheck, FailsWithoutAUsableKernelVersionAndDetectsAgainOnEveryCall)
{
    struct Case {
        const char* name;
        void (*arrange)(Script&);
    };
    const Case cases[] = {
        {"version block of 4160 bytes", [](Script& s) { s.blockSize = 4160; }},
        {"no version block", [](Script& s) { s.blockSize = 0; }},
        {"kernel file missing", [](Script& s) { s.kernelExists = false; }},
        {"Windows folder over 259 characters", [](Script& s) { s.windowsFolder = L"C:\\" + std::wstring(257, L'w'); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_script = Script{};
        c.arrange(g_script);
        COSVersionCheck check(kScripted);
        EXPECT_EQ(check.GetState(), COSVersionCheck::State::Undetected);
        OSVERSIONINFOEXW record{};
        record.dwOSVersionInfoSize = sizeof(record);
        const int queriesBefore = g_script.sizeQueries;
        EXPECT_EQ(check.GetRealOsVersion(&record), 0);
        EXPECT_EQ(check.GetRealOsVersion(&record), 0);
        if (g_script.kernelExists && g_script.windowsFolder.size() < MAX_PATH) {
            EXPECT_EQ(g_script.sizeQueries, queriesBefore + 2) << "each call must detect again";
        }

        veyra::CGlobalInfo info;
        info.Init(check);
        EXPECT_EQ(info.MajorVersion(), 0);
        EXPECT_FALSE(info.IsVistaOrLater());
    }
}

TEST(OSVersionCheck, LargestTrustedVersionBlockIsOneByteBelowTheLimit)
{
    g_script = Script{};
    g_script.blockSize = COSVersionCheck::kMaxVersionBlock - 1;
    COSVersionCheck check(kScripted);
    EXPECT_EQ(check.GetState(), COSVersionCheck::State::RaisedByKernel);
}

TEST(OSVersionCheck, CopiesNoMoreThanTheCallersRecordHolds)
{
    g_script = Script{};
    g_script.native.build = 0;
    COSVersionCheck check(kScripted);
    OSVERSIONINFOEXW record{};
    record.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);  // the short record: no service pack fields
    record.wServicePackMajor = 0x5A5A;
    ASSERT_EQ(check.GetRealOsVersion(&record), 1);
    EXPECT_EQ(record.dwMajorVersion, 10u);
    EXPECT_EQ(record.wServicePackMajor, 0x5A5A) << "bytes beyond the caller's size were written";
    EXPECT_EQ(record.dwOSVersionInfoSize, sizeof(OSVERSIONINFOW));
    EXPECT_EQ(check.GetRealOsVersion(nullptr), 0);
}

TEST(GlobalInfo, ReadsVersionPredicatesFromTheDetector)
{
    struct Case {
        Version kernel;
        bool vista;
        bool win8;
    };
    const Case cases[] = {
        {{10, 0, 19041}, true, false}, {{6, 3, 9600}, true, true}, {{6, 2, 9200}, true, true},
        {{6, 1, 7601}, true, false},   {{5, 1, 2600}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kernel.major << "." << c.kernel.minor);
        g_script = Script{};
        g_script.reported = g_script.native = Version{5, 0, 0};
        g_script.kernel = c.kernel;
        COSVersionCheck check(kScripted);
        veyra::CGlobalInfo info;
        info.Init(check);
        EXPECT_EQ(info.IsVistaOrLater(), c.vista);
        EXPECT_EQ(info.IsWin8OrLater(), c.win8);
    }
}

TEST(GlobalInfo, DescribesTheRunningSystem)
{
    veyra::CGlobalInfo info;
    info.Init();
    wchar_t system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    EXPECT_STREQ(info.SystemFolder(), system);
    EXPECT_TRUE(info.Is64BitSystem()) << "the test system is 64-bit Wine";
    EXPECT_TRUE(info.IsVistaOrLater());
    EXPECT_NE(COSVersionCheck::GetInstance().GetState(), COSVersionCheck::State::Undetected)
        << "the kernel file of this system must be readable";
}

TEST(OSVersionCheck, ProcessWideInstanceIsBuiltOnceForConcurrentCallers)
{
    std::vector<COSVersionCheck*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (auto& slot : seen) {
        threads.emplace_back([&slot] { slot = &COSVersionCheck::GetInstance(); });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (COSVersionCheck* instance : seen) {
        EXPECT_EQ(instance, seen.front());
    }
}

TEST(OSVersionCheck, SupportedVersionsAreTheListedOnes)
{
    struct Case {
        DWORD major, minor, build;
        WORD servicePack;
        int supported;
        int sixPointMinor;
    };
    const Case cases[] = {
        {5, 1, 2600, 2, 1, 0}, {5, 1, 2600, 1, 0, 0}, {6, 0, 6002, 2, 0, 0}, {6, 1, 7601, 1, 1, 1},
        {6, 1, 7100, 0, 1, 1}, {6, 1, 7000, 0, 0, 1}, {6, 2, 1234, 0, 1, 1}, {6, 3, 9600, 0, 1, 1},
        {6, 3, 9431, 0, 1, 1}, {6, 3, 9200, 0, 0, 1}, {10, 0, 19041, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.major << "." << c.minor << "." << c.build << " sp" << c.servicePack);
        OSVERSIONINFOEXW version{};
        version.dwMajorVersion = c.major;
        version.dwMinorVersion = c.minor;
        version.dwBuildNumber = c.build;
        version.wServicePackMajor = c.servicePack;
        int sixPointMinor = 0;
        EXPECT_EQ(veyra::IsSupportedOsVersion(version, &sixPointMinor), c.supported);
        EXPECT_EQ(sixPointMinor, c.sixPointMinor);
    }

    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtlGetVersion, nullptr);
    OSVERSIONINFOEXW running{};
    running.dwOSVersionInfoSize = sizeof(running);
    ASSERT_EQ(rtlGetVersion(&running), 0);
    EXPECT_EQ(veyra::IsSupportedOs(nullptr), veyra::IsSupportedOsVersion(running, nullptr))
        << "the running system is " << running.dwMajorVersion << "." << running.dwMinorVersion << "."
        << running.dwBuildNumber;
}

}  // namespace
