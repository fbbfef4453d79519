#pragma once
// COM objects created straight from a DLL file, without registration. Every DLL loaded here is listed
// with its DllCanUnloadNow and stays loaded unless FreeUnusedComponentDlls finds it unused.

#include <windows.h>

namespace veyra {

// Loads `dllPath`, asks its class factory for `classId` and creates an object with interface
// `interfaceId` into *object. S_OK only with an object; E_FAIL when the DLL or one of its two exports is
// missing, or when the factory reports success without an object.
[[nodiscard]] HRESULT CreateInstanceFromDll(const wchar_t* dllPath, REFCLSID classId, REFIID interfaceId,
                                            void** object) noexcept;

// Frees every listed DLL whose DllCanUnloadNow answers S_OK.
void FreeUnusedComponentDlls() noexcept;

}  // namespace veyra
