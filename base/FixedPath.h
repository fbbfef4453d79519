#pragma once
// Bounded work on fixed wide-character buffers, for the record layouts that hold paths in 260
// characters. Every function fails (returns false, leaving the buffer an empty string) instead of
// truncating, so a path that does not fit can never turn into a different, existing path.

#include <windows.h>

#include <cstddef>
#include <string_view>

namespace veyra {

constexpr std::size_t kMaxPathChars = MAX_PATH;  // 260, including the terminating NUL

// Copies `text` into `buffer` of `capacity` characters (terminator included).
[[nodiscard]] inline bool CopyBounded(wchar_t* buffer, std::size_t capacity, std::wstring_view text) noexcept
{
    if (!buffer || capacity == 0) {
        return false;
    }
    if (text.size() >= capacity || text.find(L'\0') != std::wstring_view::npos) {
        buffer[0] = L'\0';
        return false;
    }
    text.copy(buffer, text.size());
    buffer[text.size()] = L'\0';
    return true;
}

// Appends `text` to the string already in `buffer`.
[[nodiscard]] inline bool AppendBounded(wchar_t* buffer, std::size_t capacity, std::wstring_view text) noexcept
{
    if (!buffer || capacity == 0) {
        return false;
    }
    const std::size_t used = std::wstring_view(buffer).size();
    if (used >= capacity || text.size() >= capacity - used) {
        buffer[0] = L'\0';
        return false;
    }
    text.copy(buffer + used, text.size());
    buffer[used + text.size()] = L'\0';
    return true;
}

template <std::size_t N>
[[nodiscard]] bool CopyBounded(wchar_t (&buffer)[N], std::wstring_view text) noexcept
{
    return CopyBounded(buffer, N, text);
}

template <std::size_t N>
[[nodiscard]] bool AppendBounded(wchar_t (&buffer)[N], std::wstring_view text) noexcept
{
    return AppendBounded(buffer, N, text);
}

}  // namespace veyra
