#include "shell/desktop/DesktopTimers.h"

#include <shlwapi.h>

namespace veyra {

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Veyra";
constexpr wchar_t kDefaultHelpPage[] = L"https://www.kavosafe.com/veyra/help.html";

std::wstring WithoutTrailingSeparator(std::wstring path)
{
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) {
        path.pop_back();
    }
    return path;
}

bool SameFolder(const std::wstring& a, const std::wstring& b) noexcept
{
    return !a.empty() && !b.empty() &&
           CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
               CSTR_EQUAL;
}

}  // namespace

std::wstring HelpPageAddress()
{
    wchar_t value[2048] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    if (SHGetValueW(HKEY_CURRENT_USER, kSettingsKey, L"HelpPage", &type, value, &size) == ERROR_SUCCESS &&
        type == REG_SZ && value[0] != L'\0') {
        return value;
    }
    return kDefaultHelpPage;
}

void CenterWindowOnScreen(HWND window) noexcept
{
    RECT rect{};
    if (!GetWindowRect(window, &rect)) {
        return;
    }
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info)) {
        return;
    }
    const RECT& area = info.rcWork;
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    const LONG x = area.left + (area.right - area.left - width) / 2;
    const LONG y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsDesktopViewFolderOf(const std::wstring& path, const std::wstring& desktop,
                           const std::wstring& commonDesktop) noexcept
{
    try {
        std::wstring folder = WithoutTrailingSeparator(path);
        const std::size_t slash = folder.find_last_of(L"\\/");
        if (slash == std::wstring::npos) {
            return false;
        }
        folder = folder.substr(0, slash == 2 ? 3 : slash);
        return IsSameFolder(folder, desktop) || IsSameFolder(folder, commonDesktop);
    } catch (...) {
        return false;
    }
}

bool IsSameFolder(const std::wstring& a, const std::wstring& b) noexcept
{
    try {
        return SameFolder(WithoutTrailingSeparator(a), WithoutTrailingSeparator(b));
    } catch (...) {
        return false;
    }
}

}  // namespace veyra
