#include "DesktopDriver.h"

#include <sstream>

#include "suite/contracts/VorrelInterfaces.h"
#include "tests/support/TestPaths.h"

namespace veyra::test {

namespace {

constexpr wchar_t kDesktopClass[] = L"KavoSandBoxClass";

// One absolute mouse event at a screen point (the input's 0-65535 scale over the primary screen).
bool SendMouse(POINT screen, DWORD flags)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width / 2) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height / 2) / height);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
    return SendInput(1, &input, sizeof(input)) == 1;
}

POINT Add(POINT origin, POINT layout)
{
    return POINT{origin.x + layout.x, origin.y + layout.y};
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
    static const UINT message = RegisterWindowMessageW(vorrelUI::kDumpMessageName);
    const std::wstring path = m_dumps / L"window.tree";
    DeleteFileW(path.c_str());
    const ATOM atom = GlobalAddAtomW(path.c_str());
    DWORD_PTR written = 0;
    const bool answered =
        atom && SendMessageTimeoutW(window, message, atom, 0, SMTO_ABORTIFHUNG, 10000, &written) && written == 1;
    if (atom) {
        GlobalDeleteAtom(atom);
    }
    return answered ? ReadFileBytes(path) : std::string();
}

std::string DesktopDriver::ControlLine(USHORT id) const
{
    return ControlLineOf(m_window, id);
}

std::string DesktopDriver::ControlLineOf(HWND window, USHORT id) const
{
    std::istringstream lines(DumpOf(window));
    const std::string wanted = "id=" + std::to_string(id) + "\t";
    for (std::string line; std::getline(lines, line);) {
        const std::size_t start = line.find_first_not_of(' ');
        if (start != std::string::npos && line.compare(start, wanted.size(), wanted) == 0) {
            return line.substr(start);
        }
    }
    return {};
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
    return SendMouse(at, 0) && SendMouse(at, MOUSEEVENTF_LEFTDOWN);
}

bool DesktopDriver::MoveTo(POINT layout, POINT origin) const
{
    return SendMouse(Add(origin, layout), 0);
}

bool DesktopDriver::Release(POINT layout, POINT origin) const
{
    return SendMouse(Add(origin, layout), MOUSEEVENTF_LEFTUP);
}

bool DesktopDriver::ClickIn(HWND window, POINT layout) const
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const POINT at = Add(POINT{rect.left, rect.top}, layout);
    return SendMouse(at, 0) && SendMouse(at, MOUSEEVENTF_LEFTDOWN) && SendMouse(at, MOUSEEVENTF_LEFTUP);
}

bool DesktopDriver::Click(POINT layout) const
{
    RECT window{};
    GetWindowRect(m_window, &window);
    return Press(layout) && Release(layout, POINT{window.left, window.top});
}

}  // namespace veyra::test
