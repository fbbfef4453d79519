#include "SandBoxPathText.h"

#include <cwchar>

namespace veyra::sandboxview {

std::wstring SandboxFolderOf(int sandboxId)
{
    if (sandboxId == 0) {
        return std::wstring(kSandboxRootName) + L"\\SHADOW";
    }
    wchar_t number[16];
    std::swprintf(number, 16, L"\\%08d", sandboxId);
    return std::wstring(kSandboxRootName) + number;
}

bool IsMappablePath(std::wstring_view path) noexcept
{
    if (path.size() < 2 || path.size() > kMaxViewPath || path[1] != L':') {
        return false;
    }
    const wchar_t drive = path[0];
    if (!((drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z'))) {
        return false;
    }
    if (path.size() > 2 && path[2] != L'\\') {
        return false;
    }
    if (path.find_first_of(std::wstring_view(L"/\0", 2)) != std::wstring_view::npos) {
        return false;
    }
    std::size_t start = 3;
    while (start <= path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) {
            end = path.size();
        }
        const std::wstring_view component = path.substr(start, end - start);
        if (component == L"." || component == L"..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool IsDriveFolder(std::wstring_view path, std::wstring_view folder, bool orInside) noexcept
{
    if (path.size() < 2 + folder.size()) {
        return false;
    }
    const std::wstring_view rest = path.substr(2 + folder.size());
    if (!(rest.empty() || rest == L"\\" || (orInside && rest[0] == L'\\'))) {
        return false;
    }
    // Listings ask this of every entry: most differ in the first letter, which needs no case table.
    const auto asciiLower = [](wchar_t unit) { return unit >= L'A' && unit <= L'Z' ? unit + (L'a' - L'A') : unit; };
    if (folder.size() > 1 && asciiLower(folder[1]) < 0x80 && asciiLower(path[3]) < 0x80 &&
        asciiLower(folder[1]) != asciiLower(path[3])) {
        return false;
    }
    return EqualsNoCase(path.substr(2, folder.size()), folder);
}

bool EndsWithAsciiNoCase(std::wstring_view text, std::wstring_view lowerSuffix) noexcept
{
    if (text.size() < lowerSuffix.size()) {
        return false;
    }
    const std::wstring_view tail = text.substr(text.size() - lowerSuffix.size());
    for (std::size_t index = 0; index < tail.size(); ++index) {
        const wchar_t unit = tail[index];
        if ((unit >= L'A' && unit <= L'Z' ? unit + (L'a' - L'A') : unit) != lowerSuffix[index]) {
            return false;
        }
    }
    return true;
}

bool IsShortcutName(std::wstring_view name) noexcept
{
    return name.size() > 4 && EndsWithAsciiNoCase(name, L".lnk");
}

bool EqualsNoCase(std::wstring_view left, std::wstring_view right) noexcept
{
    return left.size() == right.size() &&
           CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) noexcept
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::wstring_view text, std::wstring_view suffix) noexcept
{
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::wstring_view LastComponent(std::wstring_view path) noexcept
{
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name)
{
    std::wstring joined(folder);
    if (joined.empty() || joined.back() != L'\\') {
        joined += L'\\';
    }
    joined += name;
    return joined;
}

}  // namespace veyra::sandboxview
