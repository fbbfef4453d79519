#pragma once
// The Windows version as it really is. The compatibility layer may report an older version to the
// program (through GetVersionExW, or even RtlGetVersion), so the detector also reads the product version
// of the kernel file and takes whichever is newest. One instance per process, built on first use from
// any thread; the system calls it makes come from an OsVersionSource so every branch can be exercised.

#include <windows.h>

#include "core/StaticSingleton.h"

namespace veyra {

// Where the detector gets its facts. Each member is a plain system call or a thin wrapper of one;
// rtlGetVersion and isWow64 are nullptr when the system lacks them.
struct OsVersionSource {
    BOOL (*getVersionEx)(OSVERSIONINFOEXW* record);
    LONG (*rtlGetVersion)(OSVERSIONINFOEXW* record);  // an NTSTATUS, 0 on success
    UINT (*getWindowsFolder)(wchar_t* buffer, UINT capacity);
    BOOL (*isWow64)(HANDLE process, BOOL* wow64);
    BOOL (*fileExists)(const wchar_t* path);
    DWORD (*versionInfoSize)(const wchar_t* path);
    // Reads the version resource of `size` bytes and copies its fixed block to `fixed`.
    bool (*readFixedVersion)(const wchar_t* path, DWORD size, VS_FIXEDFILEINFO* fixed);
};

// The running system's calls (RtlGetVersion and IsWow64Process looked up at run time).
const OsVersionSource& SystemOsVersionSource() noexcept;

class COSVersionCheck : public static_singleton_base<COSVersionCheck> {
public:
    enum class State : int { Undetected = -1, AsReported = 0, RaisedByKernel = 1 };

    static constexpr DWORD kRecordSize = sizeof(OSVERSIONINFOEXW);  // 284
    // A kernel version block at least this large is not trusted.
    static constexpr DWORD kMaxVersionBlock = 4160;

    explicit COSVersionCheck(const OsVersionSource& source = SystemOsVersionSource()) noexcept;
    ~COSVersionCheck() override = default;

    // Copies the detected record into `record` (as many bytes as its size field says, at most 284),
    // detecting again while no detection has succeeded. 1 or 0.
    [[nodiscard]] int GetRealOsVersion(OSVERSIONINFOEXW* record) noexcept;

    [[nodiscard]] State GetState() const noexcept { return m_state; }

private:
    // Fills `record`; false when the kernel file gives no usable version.
    [[nodiscard]] bool Detect(OSVERSIONINFOEXW& record, State& state) const noexcept;
    [[nodiscard]] bool KernelFilePath(wchar_t (&path)[MAX_PATH]) const noexcept;

    const OsVersionSource& m_source;
    State m_state = State::Undetected;
    OSVERSIONINFOEXW m_record{};
};

// The process-wide detector's answer (COSVersionCheck::GetInstance().GetRealOsVersion).
[[nodiscard]] int GetRealOsVersion(OSVERSIONINFOEXW* record) noexcept;

// 1 only for the versions the suite supports (5.1 SP2 and later, 6.1 builds 7100/7600/7601, any 6.2,
// 6.3 builds 9431/9600); sets *sixPointMinor to 1 for a 6.x with a minor version other than 0.
[[nodiscard]] int IsSupportedOsVersion(const OSVERSIONINFOEXW& version, int* sixPointMinor) noexcept;
// The same for the running system, asked through RtlGetVersion of the system folder's ntdll.dll.
[[nodiscard]] int IsSupportedOs(int* sixPointMinor) noexcept;

}  // namespace veyra
