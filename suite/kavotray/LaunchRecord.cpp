#include "suite/kavotray/LaunchRecord.h"

#include <cstring>

#include "suite/contracts/TrayProtocol.h"

namespace veyra::suite {

bool ParseLaunchRecord(const COPYDATASTRUCT* data, std::wstring& path, const wchar_t*& reason) noexcept
{
    reason = nullptr;
    if (!data || data->dwData != COPYDATA_TRAY_LAUNCH) {
        reason = L"code";
        return false;
    }
    if (data->cbData != sizeof(TrayLaunchRequest) || !data->lpData) {
        reason = L"size";
        return false;
    }
    TrayLaunchRequest request;
    std::memcpy(&request, data->lpData, sizeof(request));
    if (request.command != kTrayLaunchCommand) {
        reason = L"command";
        return false;
    }
    std::size_t length = 0;
    while (length < kTrayLaunchPathChars && request.path[length] != L'\0') {
        ++length;
    }
    if (length == kTrayLaunchPathChars) {
        reason = L"unterminated";
        return false;
    }
    for (std::size_t index = length; index < kTrayLaunchPathChars; ++index) {
        if (request.path[index] != L'\0') {
            reason = L"tail";
            return false;
        }
    }
    if (request.reserved != 0) {
        reason = L"reserved";
        return false;
    }
    if (length == 0) {
        reason = L"empty";
        return false;
    }
    try {
        path.assign(request.path, length);
    } catch (...) {
        reason = L"memory";
        return false;
    }
    return true;
}

}  // namespace veyra::suite
