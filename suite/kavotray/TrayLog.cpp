#include "suite/kavotray/TrayLog.h"

#include <windows.h>

#include <mutex>

#include "base/UniqueResource.h"

namespace veyra::suite {

namespace {

std::mutex s_logLock;

std::wstring LogPath()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"KAVOTRAY_LOG", path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes, nullptr,
                            nullptr);
    }
    return out;
}

}  // namespace

void TrayLog(const std::wstring& line) noexcept
{
    try {
        static const std::wstring path = LogPath();
        if (path.empty()) {
            return;
        }
        const std::string bytes = Utf8(line) + "\n";
        std::lock_guard lock(s_logLock);
        // Opened for each line, so a reader sees every line as soon as it is written.
        UniqueFileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file) {
            WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
    } catch (...) {
    }
}

}  // namespace veyra::suite
