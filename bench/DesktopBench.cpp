// How long the desktop program takes from its start to its first painted desktop window, against a bare
// Win32 program (the test sleeper: one plain window and its message loop) from its start to its first
// paint, in the same run and found the same way: a shown top-level window of its class with nothing left
// to paint. The suite's tray runs throughout, as on a user's machine. Medians of several
// starts after one warm-up each. Prints
// "desktop-start ratio x" and the two medians in milliseconds.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TrayFixture.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr wchar_t kBareClass[] = L"VeyraTestSleeper";
constexpr wchar_t kDesktopClass[] = L"KavoSandBoxClass";
constexpr int kRounds = 7;
constexpr DWORD kTimeoutMs = 60000;

// Milliseconds from before the start of `program` to its first painted window of `windowClass`, or a
// negative value when none was painted in time.
double StartToFirstPaint(const std::wstring& program, const std::wstring& arguments, const wchar_t* windowClass)
{
    const Clock::time_point start = Clock::now();
    veyra::test::ChildProcess child(program, arguments, veyra::test::ChildGroup::Job);
    if (!child.Started()) {
        return -1;
    }
    const Clock::time_point deadline = start + std::chrono::milliseconds(kTimeoutMs);
    while (Clock::now() < deadline) {
        const HWND found = child.ShownWindow(windowClass);
        if (found && !IsIconic(found) && !GetUpdateRect(found, nullptr, FALSE)) {
            return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        Sleep(1);
    }
    return -1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain()
{
    veyra::test::FakeSuite suite(veyra::test::SuitePart::All);
    // The suite's tray program is resident on a user's machine: the desktop finds it running.
    veyra::test::TrayFixture tray;
    if (!tray.Start()) {
        std::fprintf(stderr, "desktop-start: the tray stand-in did not start\n");
        return 1;
    }
    const std::wstring desktop = suite / L"ipc\\veyra.exe";
    const std::wstring bare = veyra::test::BinFile(L"veyra_test_sleeper.exe");
    std::vector<double> desktopTimes, bareTimes;
    for (int round = 0; round <= kRounds; ++round) {
        // Alternated in each round, so drift of the machine reaches both alike; round 0 warms up.
        const double desktopMs = StartToFirstPaint(desktop, L"", kDesktopClass);
        const double bareMs = StartToFirstPaint(bare, L"", kBareClass);
        if (desktopMs < 0 || bareMs < 0) {
            std::fprintf(stderr, "desktop-start: no painted window within %lu ms\n", kTimeoutMs);
            return 1;
        }
        if (round > 0) {
            desktopTimes.push_back(desktopMs);
            bareTimes.push_back(bareMs);
        }
    }
    const double desktopMedian = Median(desktopTimes), bareMedian = Median(bareTimes);
    std::printf("desktop-start ratio %.2f\n", desktopMedian / bareMedian);
    std::printf("desktop-start ms %.1f (bare window %.1f)\n", desktopMedian, bareMedian);
    return 0;
}
