#pragma once
// What the tray stand-in received and did, one UTF-8 line per event, appended to the file that the
// environment variable KAVOTRAY_LOG names (nothing is written without it). Tests read it to see what
// arrived and in which order. Safe from any thread.

#include <string>

namespace veyra::suite {

void TrayLog(const std::wstring& line) noexcept;

}  // namespace veyra::suite
