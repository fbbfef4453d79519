#include "shell/directory/FolderAddress.h"

#include <windows.h>

#include "shell/explorer/NsExplorer.h"

namespace veyra {

namespace {

constexpr wchar_t kSandboxFolderName[] = L"KavoSANDBOX";

bool IsDriveLetter(wchar_t c) noexcept
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// "X:" or "X:\..." with no empty component: what the sandbox view maps.
bool IsDrivePath(const std::wstring& path) noexcept
{
    if (path.size() < 2 || !IsDriveLetter(path[0]) || path[1] != L':') {
        return false;
    }
    if (path.size() == 2) {
        return true;
    }
    return path[2] == L'\\' && path.find(L"\\\\") == std::wstring::npos && path.find(L'/') == std::wstring::npos;
}

// The sandbox copy itself is never browsed: what lies there is shown where it shadows the real disk.
bool IsInsideSandboxFolder(const std::wstring& path)
{
    if (path.size() < 3) {
        return false;
    }
    const size_t end = path.find(L'\\', 3);
    const std::wstring first = path.substr(3, end == std::wstring::npos ? std::wstring::npos : end - 3);
    return CompareStringOrdinal(first.c_str(), static_cast<int>(first.size()), kSandboxFolderName, -1, TRUE) ==
           CSTR_EQUAL;
}

}  // namespace

std::wstring AddressTextFor(const std::wstring& folder)
{
    return folder == kComputerItemPath ? std::wstring(kComputerAddressText) : folder;
}

GoDecision DecideGo(std::wstring text, const std::wstring& current,
                    const std::function<bool(const std::wstring&)>& isFolder)
{
    GoDecision decision;
    if (text == kComputerAddressText) {
        text = kComputerItemPath;
    }
    if (text.empty() || text == current) {
        return decision;
    }
    if (text.back() == L'\\') {
        text.pop_back();
        decision.rewriteBox = true;
    }
    decision.path = text;
    const bool shellName = text.rfind(L"::", 0) == 0;
    const bool admitted =
        shellName || (text.size() <= kMaxFolderPathLength && IsDrivePath(text) && !IsInsideSandboxFolder(text) &&
                      isFolder(text.size() == 2 ? text + L"\\" : text));
    decision.action = admitted ? GoAction::Navigate : GoAction::Refuse;
    return decision;
}

}  // namespace veyra
