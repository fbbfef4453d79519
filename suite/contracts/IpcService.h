#pragma once
// The suite's IPC service object as the desktop program creates it (straight from ipc\ipcservice.dll,
// without registration) and calls it once at start-up: the one method after IUnknown's three.

#include <unknwn.h>

namespace veyra::suite {

// {EC56E206-5430-42BC-8E5A-AE5E01558DB9}
inline constexpr CLSID CLSID_KavoIpcService = {0xEC56E206, 0x5430, 0x42BC,
                                               {0x8E, 0x5A, 0xAE, 0x5E, 0x01, 0x55, 0x8D, 0xB9}};
// {9FD33656-55D4-4698-8F61-F544411EC88B}
inline constexpr IID IID_IKavoIpcService = {0x9FD33656, 0x55D4, 0x4698,
                                            {0x8F, 0x61, 0xF5, 0x44, 0x41, 0x1E, 0xC8, 0x8B}};

// Where the stand-in records the argument of its last Connect call (HKCU, REG_DWORD "ConnectFlags"), so
// a test can see that the desktop program made the call.
inline constexpr wchar_t kIpcServiceRecordKey[] = L"Software\\KavoSafe\\IpcService";

struct IKavoIpcService : IUnknown {
    // Connects the caller to the suite's service; the stand-in has nothing to connect and answers S_OK.
    virtual HRESULT STDMETHODCALLTYPE Connect(LONG flags) = 0;
};

}  // namespace veyra::suite
