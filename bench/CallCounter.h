#pragma once
// Counts the registry and folder-search calls that this program's own code makes, by pointing its import
// table entries at counting forwarders. Only the calls of the benchmark's code are counted, not those
// the system libraries make inside their own work: the figure is what a listing asks for.
//
// Install once on the main thread before any thread runs; the counters are atomic.

#include <windows.h>

#include <string>

namespace veyra::bench {

enum class CountedCall {
    RegOpenKeyExW,
    RegCreateKeyExW,
    RegCloseKey,
    RegQueryInfoKeyW,
    RegEnumKeyExW,
    RegGetValueW,
    RegQueryValueExW,
    RegSetValueExW,
    RegNotifyChangeKeyValue,
    FindFirstFileW,
    FindNextFileW,
    QueryDosDeviceW,
    WaitForMultipleObjects,
    Count
};

struct CallCounts {
    unsigned long calls[static_cast<int>(CountedCall::Count)] = {};

    [[nodiscard]] unsigned long Registry() const noexcept;
    // "RegOpenKeyExW 1, RegEnumKeyExW 500, ..." for the calls made at least once.
    [[nodiscard]] std::string Describe() const;
};

// Points the import table at the forwarders; false when an entry could not be found or changed.
[[nodiscard]] bool InstallCallCounter();
// The counts so far, and zero again.
CallCounts TakeCallCounts();

}  // namespace veyra::bench
