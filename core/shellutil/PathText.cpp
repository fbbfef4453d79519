#include "core/shellutil/PathText.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>
#include <new>
#include <string_view>

#include "base/FixedPath.h"
#include "base/UniqueResource.h"

namespace veyra {

namespace {

int CopyResult(wchar_t* out, std::size_t outChars, std::wstring_view text) noexcept
{
    return CopyBounded(out, outChars, text) ? 1 : 0;
}

// The long form of `path`; empty when the system cannot lengthen it (or it would exceed 259 characters).
std::wstring LongPathOf(const std::wstring& path)
{
    wchar_t longPath[kMaxPathChars] = {};
    const DWORD length = GetLongPathNameW(path.c_str(), longPath, kMaxPathChars);
    if (length == 0 || length >= kMaxPathChars) {
        return {};
    }
    return longPath;
}

std::wstring_view TrimBlanks(std::wstring_view text) noexcept
{
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

int LengthenQuoted(std::wstring_view text, wchar_t* out, std::size_t outChars)
{
    const std::size_t closing = text.find(L'"', 1);
    if (closing == std::wstring_view::npos) {
        return 0;
    }
    const std::wstring longPath = LongPathOf(std::wstring(text.substr(1, closing - 1)));
    if (longPath.empty()) {
        return CopyResult(out, outChars, text);
    }
    return CopyResult(out, outChars, L"\"" + longPath + L"\"" + std::wstring(text.substr(closing + 1)));
}

int LengthenUnquoted(std::wstring_view text, wchar_t* out, std::size_t outChars)
{
    const std::size_t quote = text.find(L'"');
    if (quote == std::wstring_view::npos) {
        const DWORD capacity = outChars > MAXDWORD ? MAXDWORD : static_cast<DWORD>(outChars);
        const DWORD length = GetLongPathNameW(std::wstring(text).c_str(), out, capacity);
        if (length == 0 || length >= capacity) {
            out[0] = L'\0';
            return 0;
        }
        return 1;
    }
    const std::wstring longPath = LongPathOf(std::wstring(TrimBlanks(text.substr(0, quote))));
    if (longPath.empty()) {
        return CopyResult(out, outChars, text);
    }
    return CopyResult(out, outChars, longPath + L" " + std::wstring(text.substr(quote)));
}

}  // namespace

int ShortToLongPath(const wchar_t* text, wchar_t* out, std::size_t outChars) noexcept
{
    if (!text || !out || outChars == 0) {
        return 0;
    }
    out[0] = L'\0';
    try {
        const std::wstring_view view(text);
        if (view.find(L'~') == std::wstring_view::npos) {
            return CopyResult(out, outChars, view);
        }
        return view.front() == L'"' ? LengthenQuoted(view, out, outChars) : LengthenUnquoted(view, out, outChars);
    } catch (const std::bad_alloc&) {
        out[0] = L'\0';
        return 0;
    }
}

int ToSysnativePath(const wchar_t* path, wchar_t* out, std::size_t outChars, const ShellPlatform& platform) noexcept
{
    if (!path || !out || outChars == 0) {
        return 0;
    }
    const std::wstring_view view(path);
    wchar_t windowsFolder[kMaxPathChars] = {};
    const UINT length = GetSystemWindowsDirectoryW(windowsFolder, kMaxPathChars);
    if (!platform.sysnativeNeeded || length == 0 || length >= kMaxPathChars) {
        return CopyResult(out, outChars, view);
    }
    wchar_t system32[kMaxPathChars] = {};
    wchar_t sysnative[kMaxPathChars] = {};
    if (!PathCombineW(system32, windowsFolder, L"System32\\") || !PathCombineW(sysnative, windowsFolder, L"Sysnative\\")) {
        return CopyResult(out, outChars, view);
    }
    const std::size_t prefixChars = std::wcslen(system32);
    if (view.size() < prefixChars || StrCmpNIW(path, system32, static_cast<int>(prefixChars)) != 0) {
        return CopyResult(out, outChars, view);
    }
    if (!CopyBounded(out, outChars, sysnative) || !AppendBounded(out, outChars, view.substr(prefixChars))) {
        return 0;
    }
    return 1;
}

std::wstring FormatSizeText(std::uint64_t bytes)
{
    constexpr std::uint64_t kKilo = 1024;
    constexpr std::uint64_t kMega = kKilo * 1024;
    constexpr std::uint64_t kGiga = kMega * 1024;
    constexpr std::uint64_t kTera = kGiga * 1024;
    if (bytes == 0) {
        return L"0 KB";
    }
    if (bytes < kKilo) {
        return L"1 KB";
    }
    struct Unit {
        std::uint64_t limit;
        std::uint64_t divisor;
        const wchar_t* format;
    };
    static const Unit kUnits[] = {
        {kMega, kKilo, L"%0.1f KB"}, {kGiga, kMega, L"%0.1f MB"}, {kTera, kGiga, L"%0.1f GB"}, {0, kTera, L"%0.1f TB"}};
    const Unit* unit = kUnits;
    while (unit->limit != 0 && bytes >= unit->limit) {
        ++unit;
    }
    wchar_t text[64] = {};
    std::swprintf(text, std::size(text), unit->format, static_cast<double>(bytes) / static_cast<double>(unit->divisor));
    return text;
}

std::wstring FormatDateText(const FILETIME& utc)
{
    SYSTEMTIME utcTime{};
    SYSTEMTIME localTime{};
    if (!FileTimeToSystemTime(&utc, &utcTime) || !SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &localTime)) {
        return {};
    }
    wchar_t text[64] = {};
    std::swprintf(text, std::size(text), L"%4d/%02d/%02d %02d:%02d", localTime.wYear, localTime.wMonth, localTime.wDay,
                  localTime.wHour, localTime.wMinute);
    return text;
}

int GetFileSizeAndDate(const wchar_t* path, std::wstring& sizeText, std::wstring& dateText) noexcept
{
    sizeText.clear();
    dateText.clear();
    wchar_t readPath[kMaxPathChars] = {};
    // A pattern would describe whichever file matches first, not the one named.
    if (!path || std::wcspbrk(path, L"*?") || !ToSysnativePath(path, readPath, kMaxPathChars)) {
        return 0;
    }
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(FindFirstFileW(readPath, &data));
    if (!find) {
        return 0;
    }
    try {
        sizeText = FormatSizeText(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
        dateText = FormatDateText(data.ftLastWriteTime);
    } catch (const std::bad_alloc&) {
        sizeText.clear();
        dateText.clear();
        return 0;
    }
    return dateText.empty() ? 0 : 1;
}

int GetFileTypeName(const wchar_t* path, std::wstring& typeName) noexcept
{
    typeName.clear();
    if (!path) {
        return 0;
    }
    SHFILEINFOW info{};
    if (SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_TYPENAME) == 0) {
        return 0;
    }
    try {
        typeName = info.szTypeName;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

}  // namespace veyra
