#include "tests/shell/directory/FolderEndToEndFixture.h"

#include <cstdio>
#include <cwchar>
#include <sstream>

#include "shell/directory/NsDirectoryDlg.h"
#include "shell/protocol/WindowProtocol.h"
#include "tests/support/WaitFor.h"

namespace veyra::test {

namespace {

struct OwnedSearch {
    HWND owner;
    DWORD process;
    HWND found;
};

BOOL CALLBACK MatchFolderWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<OwnedSearch*>(parameter);
    wchar_t name[16] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    GetClassNameW(window, name, 16);
    if (process == search->process && GetWindow(window, GW_OWNER) == search->owner && lstrcmpW(name, L"#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::string Narrow(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? length - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::string LineIn(const std::string& dump, const std::string& text, bool drawnOnly)
{
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) {
        if ((!drawnOnly && LineField(line, "text").find(text) != std::string::npos) ||
            LineField(line, "drawn").find(text) != std::string::npos) {
            return line;
        }
    }
    return {};
}

RECT RectField(const std::string& line)
{
    RECT rect{};
    sscanf(LineField(line, "rect").c_str(), "%ld,%ld,%ld,%ld", &rect.left, &rect.top, &rect.right, &rect.bottom);
    return rect;
}

RECT RectOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void FolderEndToEnd::SetUp()
{
    CreateDirectoryW((m_folder / L"sub").c_str(), nullptr);
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"sub\\inner.txt"}) {
        ASSERT_TRUE(WriteFileBytes(m_folder / name, "bytes of " + Narrow(name)));
    }
    // Not a first start: the introduction would stand over the centre, where the folder window opens.
    ASSERT_TRUE(m_guide.SetDword(1));
    m_driver = std::make_unique<DesktopDriver>(m_suite);
    ASSERT_NE(m_driver->WaitForDesktop(), nullptr);
    ASSERT_TRUE(WaitFor([this] { return !m_driver->ControlLine(2001).empty(); })) << m_driver->Dump();
}

LRESULT FolderEndToEnd::SendOpenFolder(const std::wstring& folder, const std::wstring& select)
{
    OpenFolderRequest request{};
    wcsncpy(request.folder, folder.c_str(), kRecordPathChars - 1);
    wcsncpy(request.select, select.c_str(), kRecordPathChars - 1);
    COPYDATASTRUCT copy{COPYDATA_OPEN_FOLDER, sizeof(request), &request};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(m_driver->Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, 10000,
                        &result);
    return static_cast<LRESULT>(result);
}

HWND FolderEndToEnd::FolderWindow() const
{
    OwnedSearch search{m_driver->Window(), m_driver->Program().Id(), nullptr};
    EnumWindows(MatchFolderWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool FolderEndToEnd::OpenFolderWindow(const std::wstring& folder, const std::wstring& select)
{
    return SendOpenFolder(folder, select) == 1 &&
           WaitFor([this] { return (m_window = FolderWindow()) != nullptr && IsWindowVisible(m_window); }) &&
           AddressIs(Narrow(folder));
}

std::string FolderEndToEnd::Line(USHORT id) const
{
    return m_driver->ControlLineOf(m_window, id);
}

std::string FolderEndToEnd::LineWith(const std::string& text, bool drawnOnly) const
{
    return LineIn(m_driver->DumpOf(m_window), text, drawnOnly);
}

bool FolderEndToEnd::AddressIs(const std::string& text) const
{
    return WaitFor([&] { return LineField(Line(FolderControl::kAddress), "text") == text; });
}

bool FolderEndToEnd::ShowsText(const std::string& text) const
{
    return WaitFor([&] { return !LineWith(text).empty(); });
}

POINT FolderEndToEnd::Screen(POINT point) const
{
    const RECT frame = RectOf(m_window);
    return POINT{frame.left + point.x, frame.top + point.y};
}

POINT FolderEndToEnd::CentreOf(const std::string& line) const
{
    const RECT rect = RectField(line);
    return Screen(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

}  // namespace veyra::test
