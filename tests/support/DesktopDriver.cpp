#include "DesktopDriver.h"

#include "tests/support/SkinWindowProbe.h"
#include "tests/support/TestPaths.h"

namespace veyra::test {

namespace {

constexpr wchar_t kDesktopClass[] = L"KavoSandBoxClass";

POINT Add(POINT origin, POINT layout)
{
    return POINT{origin.x + layout.x, origin.y + layout.y};
}

struct OwnedSearch {
    HWND owner;
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchShownOwnedWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<OwnedSearch*>(parameter);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search->owner &&
        lstrcmpW(name, search->className) == 0) {
        search->found.push_back(window);
    }
    return TRUE;
}

}  // namespace

DesktopDriver::DesktopDriver(const FakeSuite& suite) : m_program(suite / L"ipc\\veyra.exe", {}, ChildGroup::Job) {}

HWND DesktopDriver::WaitForDesktop(DWORD timeoutMs)
{
    m_window = m_program.WaitForShownWindow(kDesktopClass, timeoutMs);
    return m_window;
}

std::string DesktopDriver::Dump() const
{
    return DumpOf(m_window);
}

std::string DesktopDriver::DumpOf(HWND window) const
{
    return DumpSkinWindow(window, m_dumps / L"window.tree");
}

std::string DesktopDriver::ControlLine(USHORT id) const
{
    return ControlLineOf(m_window, id);
}

std::string DesktopDriver::ControlLineOf(HWND window, USHORT id) const
{
    return test::ControlLine(DumpOf(window), id);
}

bool DesktopDriver::WaitUntilIdle(DWORD timeoutMs) const
{
    return WaitForInputIdle(m_program.Process(), timeoutMs) == 0 && Answers(timeoutMs);
}

bool DesktopDriver::Answers(DWORD timeoutMs) const
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

bool DesktopDriver::Press(POINT layout) const
{
    RECT window{};
    GetWindowRect(m_window, &window);
    const POINT at = Add(POINT{window.left, window.top}, layout);
    return SendMouseAt(at, 0) && SendMouseAt(at, MOUSEEVENTF_LEFTDOWN);
}

bool DesktopDriver::MoveTo(POINT layout, POINT origin) const
{
    return SendMouseAt(Add(origin, layout), 0);
}

bool DesktopDriver::Release(POINT layout, POINT origin) const
{
    return SendMouseAt(Add(origin, layout), MOUSEEVENTF_LEFTUP);
}

bool DesktopDriver::ClickIn(HWND window, POINT layout) const
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const POINT at = Add(POINT{rect.left, rect.top}, layout);
    return SendMouseAt(at, 0) && SendMouseAt(at, MOUSEEVENTF_LEFTDOWN) && SendMouseAt(at, MOUSEEVENTF_LEFTUP);
}

bool DesktopDriver::Click(POINT layout) const
{
    RECT window{};
    GetWindowRect(m_window, &window);
    return Press(layout) && Release(layout, POINT{window.left, window.top});
}

std::vector<HWND> ShownOwnedWindows(HWND owner, const wchar_t* className)
{
    OwnedSearch search{owner, className, {}};
    EnumWindows(MatchShownOwnedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ShownOwnedWindow(HWND owner, const wchar_t* className)
{
    const std::vector<HWND> found = ShownOwnedWindows(owner, className);
    return found.empty() ? nullptr : found.front();
}

HWND ShownLibraryMessageBox(HWND owner)
{
    return ShownOwnedWindow(owner, L"VorrelMessageBox");
}

}  // namespace veyra::test
