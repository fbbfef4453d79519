#include "core/GlobalInfo.h"

namespace veyra {

CGlobalInfo g_globalInfo;

namespace {

using GetNativeSystemInfoFunction = void(WINAPI*)(SYSTEM_INFO*);

bool Is64BitArchitecture() noexcept
{
    SYSTEM_INFO info{};
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto native = kernel ? reinterpret_cast<GetNativeSystemInfoFunction>(
                               reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")))
                         : nullptr;
    if (native) {
        native(&info);
    } else {
        GetSystemInfo(&info);
    }
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

}  // namespace

void CGlobalInfo::Init(COSVersionCheck& detector) noexcept
{
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (detector.GetRealOsVersion(&version)) {
        m_majorVersion = static_cast<int>(version.dwMajorVersion);
        m_minorVersion = static_cast<int>(version.dwMinorVersion);
    }
    const UINT length = GetSystemDirectoryW(m_systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        m_systemFolder[0] = L'\0';
    }
    m_is64BitSystem = Is64BitArchitecture() ? 1 : 0;
}

}  // namespace veyra
