#include "tests/shell/directory/FolderEndToEndFixture.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <sstream>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/directory/NsDirectoryDlg.h"
#include "shell/protocol/WindowProtocol.h"
#include "tests/support/WaitFor.h"
#include "tests/support/XdoTool.h"

namespace veyra::test {

namespace {

struct OwnedSearch {
    HWND owner;
    DWORD process;
    const std::vector<HWND>* known;  // windows already found, passed over
    HWND found;
};

BOOL CALLBACK MatchFolderWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<OwnedSearch*>(parameter);
    wchar_t name[16] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    GetClassNameW(window, name, 16);
    const bool known = std::find(search->known->begin(), search->known->end(), window) != search->known->end();
    if (process == search->process && GetWindow(window, GW_OWNER) == search->owner && lstrcmpW(name, L"#32770") == 0 &&
        !known) {
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

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring ShadowOf(const std::wstring& path)
{
    std::wstring shadow;
    return CSandBoxFileSystem::Instance().ToSandboxPath(path, shadow, 0) ? shadow : std::wstring();
}

bool MarkedDeleted(const std::wstring& path)
{
    std::wstring keyPath;
    if (!CSandBoxFileSystem::Instance().GetMarkKeyPath(path, keyPath, 0)) {
        return false;
    }
    DWORD value = 0, size = sizeof(value), type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_USERS, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS read = RegQueryValueExW(key, L"Information", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_BINARY && size == 4 && (value & 1) != 0;
}

FolderEndToEnd::SandboxLeftovers::~SandboxLeftovers()
{
    std::wstring keyPath;
    const std::wstring shadow = ShadowOf(folder);
    if (!shadow.empty() && Exists(shadow)) {
        RemoveTree(shadow);
    }
    if (CSandBoxFileSystem::Instance().GetMarkKeyPath(folder, keyPath, 0)) {
        RegDeleteTreeW(HKEY_USERS, keyPath.c_str());
        RegDeleteKeyW(HKEY_USERS, keyPath.c_str());
    }
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

HWND FolderEndToEnd::FolderWindow(const std::vector<HWND>& known) const
{
    OwnedSearch search{m_driver->Window(), m_driver->Program().Id(), &known, nullptr};
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

HWND FolderEndToEnd::OpenAnother(const std::wstring& folder, const std::wstring& select, const std::vector<HWND>& known,
                                 const std::string& shown)
{
    EXPECT_EQ(SendOpenFolder(folder, select), 1);
    HWND window = nullptr;
    if (!WaitFor([&] { return (window = FolderWindow(known)) != nullptr && IsWindowVisible(window); })) {
        return nullptr;
    }
    return WaitFor([&] { return !ItemLine(window, shown).empty(); }) ? window : nullptr;
}

void FolderEndToEnd::Command(HWND window, WORD command)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

std::string FolderEndToEnd::ItemLine(HWND window, const std::string& name) const
{
    std::istringstream lines(m_driver->DumpOf(window));
    std::vector<std::string> above;  // the last line of each depth
    for (std::string line; std::getline(lines, line);) {
        const size_t depth = line.find_first_not_of(' ') / 2;
        above.resize(depth);
        std::string caption = LineField(line, "drawn");
        std::erase(caption, '|');  // a caption drawn on two lines
        if (caption == name) {
            return depth >= 2 ? above[depth - 2] : std::string();
        }
        above.push_back(line);
    }
    return {};
}

bool FolderEndToEnd::Shows(const std::string& name) const
{
    return WaitFor([&] { return !ItemLine(m_window, name).empty(); });
}

bool FolderEndToEnd::Lost(const std::string& name) const
{
    return WaitFor([&] { return ItemLine(m_window, name).empty(); });
}

bool FolderEndToEnd::Select(const std::string& name) const
{
    const std::string line = ItemLine(m_window, name);
    return !line.empty() && ClickAt(CentreOf(line)) &&
           WaitFor([&] { return LineField(ItemLine(m_window, name), "cover") == "IDI_IMAGE_COVER_CLICK"; });
}

bool FolderEndToEnd::ClickBoxControl(HWND box, USHORT id) const
{
    const std::string line = m_driver->ControlLineOf(box, id);
    if (line.empty()) {
        return false;
    }
    const RECT rect = RectField(line);
    const RECT frame = RectOf(box);
    return ClickAt(POINT{frame.left + (rect.left + rect.right) / 2, frame.top + (rect.top + rect.bottom) / 2});
}

HWND FolderEndToEnd::WaitForBox(const wchar_t* className, USHORT id) const
{
    HWND box = nullptr;
    const bool shown = WaitFor([&] {
        box = FindWindowW(className, nullptr);
        return box && IsWindowVisible(box) && LineField(m_driver->ControlLineOf(box, id), "visible") == "1";
    });
    return shown ? box : nullptr;
}

HWND FolderEndToEnd::RenameBox(std::wstring& text) const
{
    for (HWND box = FindWindowExW(m_window, nullptr, L"Edit", nullptr); box;
         box = FindWindowExW(m_window, box, L"Edit", nullptr)) {
        if (GetWindowLongW(box, GWL_STYLE) & ES_CENTER) {
            wchar_t buffer[64] = {};
            // Another process's edit control answers its text only to WM_GETTEXT.
            SendMessageW(box, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buffer));
            text = buffer;
            return box;
        }
    }
    return nullptr;
}

}  // namespace veyra::test
