#include "core/OSVersionCheck.h"

#include <shlwapi.h>

#include <cstring>

#include "base/FixedPath.h"
#include "core/FileVersion.h"

namespace veyra {

namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, BOOL*);

int VersionKey(DWORD major, DWORD minor) noexcept
{
    return static_cast<int>(major * 10 + minor);
}

BOOL SystemGetVersionEx(OSVERSIONINFOEXW* record)
{
    return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(record));
}

LONG SystemRtlGetVersion(OSVERSIONINFOEXW* record)
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll");
    auto function = ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                                reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                          : nullptr;
    return function ? function(record) : -1;
}

BOOL SystemIsWow64(HANDLE process, BOOL* wow64)
{
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    auto function = kernel ? reinterpret_cast<IsWow64ProcessFunction>(
                                 reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                           : nullptr;
    return function ? function(process, wow64) : FALSE;
}

DWORD SystemVersionInfoSize(const wchar_t* path)
{
    DWORD handle = 0;
    return GetFileVersionInfoSizeW(path, &handle);
}

BOOL SystemFileExists(const wchar_t* path)
{
    return PathFileExistsW(path);
}

UINT SystemWindowsFolder(wchar_t* buffer, UINT capacity)
{
    return GetSystemWindowsDirectoryW(buffer, capacity);
}

const OsVersionSource kSystemSource = {
    &SystemGetVersionEx,
    &SystemRtlGetVersion,
    &SystemWindowsFolder,
    &SystemIsWow64,
    &SystemFileExists,
    &SystemVersionInfoSize,
    &ReadFixedFileVersion,
};

}  // namespace

const OsVersionSource& SystemOsVersionSource() noexcept
{
    return kSystemSource;
}

COSVersionCheck::COSVersionCheck(const OsVersionSource& source) noexcept : m_source(source)
{
    State state = State::Undetected;
    if (Detect(m_record, state)) {
        m_state = state;
    }
}

bool COSVersionCheck::KernelFilePath(wchar_t (&path)[MAX_PATH]) const noexcept
{
    const UINT length = m_source.getWindowsFolder(path, MAX_PATH);
    if (length == 0 || length > MAX_PATH - 1) {
        path[0] = L'\0';
        return false;
    }
    BOOL wow64 = FALSE;
    if (!m_source.isWow64 || !m_source.isWow64(GetCurrentProcess(), &wow64)) {
        wow64 = FALSE;
    }
    // A 32-bit process on a 64-bit system sees SysWOW64 as System32; SysNative is the real one.
    const wchar_t* kernel = wow64 ? L"SysNative\\ntoskrnl.exe" : L"System32\\ntoskrnl.exe";
    if (path[length - 1] != L'\\' && !AppendBounded(path, L"\\")) {
        return false;
    }
    return AppendBounded(path, kernel);
}

bool COSVersionCheck::Detect(OSVERSIONINFOEXW& record, State& state) const noexcept
{
    record = OSVERSIONINFOEXW{};
    record.dwOSVersionInfoSize = kRecordSize;
    m_source.getVersionEx(&record);

    OSVERSIONINFOEXW native{};
    native.dwOSVersionInfoSize = kRecordSize;
    if (m_source.rtlGetVersion && m_source.rtlGetVersion(&native) == 0 &&
        VersionKey(native.dwMajorVersion, native.dwMinorVersion) >
            VersionKey(record.dwMajorVersion, record.dwMinorVersion)) {
        record = native;
    }

    wchar_t kernel[MAX_PATH];
    if (!KernelFilePath(kernel) || !m_source.fileExists(kernel)) {
        return false;
    }
    const DWORD size = m_source.versionInfoSize(kernel);
    VS_FIXEDFILEINFO fixed{};
    if (size == 0 || size >= kMaxVersionBlock || !m_source.readFixedVersion(kernel, size, &fixed)) {
        return false;
    }
    const DWORD kernelMajor = HIWORD(fixed.dwProductVersionMS);
    const DWORD kernelMinor = LOWORD(fixed.dwProductVersionMS);
    if (VersionKey(kernelMajor, kernelMinor) > VersionKey(record.dwMajorVersion, record.dwMinorVersion)) {
        record.dwMajorVersion = kernelMajor;
        record.dwMinorVersion = kernelMinor;
        record.dwBuildNumber = HIWORD(fixed.dwProductVersionLS);
        state = State::RaisedByKernel;
    } else {
        state = State::AsReported;
    }
    return true;
}

int COSVersionCheck::GetRealOsVersion(OSVERSIONINFOEXW* record) noexcept
{
    if (!record || record->dwOSVersionInfoSize < sizeof(DWORD)) {
        return 0;
    }
    OSVERSIONINFOEXW source = m_record;
    if (m_state == State::Undetected) {
        State state = State::Undetected;
        if (!Detect(source, state)) {
            return 0;
        }
    }
    // The caller's size field stays its own: it tells how large the caller's record is.
    const DWORD callerSize = record->dwOSVersionInfoSize;
    std::memcpy(record, &source, callerSize < kRecordSize ? callerSize : kRecordSize);
    record->dwOSVersionInfoSize = callerSize;
    return 1;
}

int GetRealOsVersion(OSVERSIONINFOEXW* record) noexcept
{
    return COSVersionCheck::GetInstance().GetRealOsVersion(record);
}

int IsSupportedOsVersion(const OSVERSIONINFOEXW& version, int* sixPointMinor) noexcept
{
    const DWORD major = version.dwMajorVersion;
    const DWORD minor = version.dwMinorVersion;
    const DWORD build = version.dwBuildNumber;
    if (major == 6 && minor != 0 && sixPointMinor) {
        *sixPointMinor = 1;
    }
    if (major == 5 && minor == 1) {
        return version.wServicePackMajor > 1 ? 1 : 0;
    }
    if (major != 6) {
        return 0;
    }
    switch (minor) {
    case 1:
        return build == 7100 || build == 7600 || build == 7601 ? 1 : 0;
    case 2:
        return 1;
    case 3:
        return build == 9431 || build == 9600 ? 1 : 0;
    default:
        return 0;
    }
}

int IsSupportedOs(int* sixPointMinor) noexcept
{
    // Looked up once in the system folder's ntdll.dll, which every process has loaded.
    static const RtlGetVersionFunction rtlGetVersion = []() noexcept -> RtlGetVersionFunction {
        wchar_t path[MAX_PATH];
        const UINT length = GetSystemDirectoryW(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || !AppendBounded(path, L"\\ntdll.dll")) {
            return nullptr;
        }
        HMODULE ntdll = GetModuleHandleW(path);
        return ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                           reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                     : nullptr;
    }();
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!rtlGetVersion || rtlGetVersion(&version) != 0) {
        return 0;
    }
    return IsSupportedOsVersion(version, sixPointMinor);
}

}  // namespace veyra
