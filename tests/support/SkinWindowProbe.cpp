#include "tests/support/SkinWindowProbe.h"

#include <cstdio>
#include <sstream>

#include "suite/contracts/VorrelInterfaces.h"
#include "tests/support/TempFolder.h"

namespace veyra::test {

std::string DumpSkinWindow(HWND window, const std::wstring& path, DWORD timeoutMs)
{
    static const UINT message = RegisterWindowMessageW(vorrelUI::kDumpMessageName);
    DeleteFileW(path.c_str());
    const ATOM atom = GlobalAddAtomW(path.c_str());
    DWORD_PTR written = 0;
    const bool answered = atom && SendMessageTimeoutW(window, message, atom, 0, SMTO_ABORTIFHUNG, timeoutMs, &written) &&
                          written == 1;
    if (atom) {
        GlobalDeleteAtom(atom);
    }
    return answered ? ReadFileBytes(path) : std::string();
}

std::string ControlLine(const std::string& dump, USHORT id)
{
    std::istringstream lines(dump);
    const std::string wanted = "id=" + std::to_string(id) + "\t";
    for (std::string line; std::getline(lines, line);) {
        const std::size_t start = line.find_first_not_of(' ');
        if (start != std::string::npos && line.compare(start, wanted.size(), wanted) == 0) {
            return line.substr(start);
        }
    }
    return {};
}

std::string LineField(const std::string& line, const std::string& field)
{
    const std::size_t at = line.find("\t" + field + "=");
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t begin = at + field.size() + 2;
    return line.substr(begin, line.find('\t', begin) - begin);
}

std::optional<std::string> ControlField(const std::string& dump, USHORT id, const char* field)
{
    std::string line(1, '\t');
    line.append(ControlLine(dump, id)).push_back('\t');
    std::string key(1, '\t');
    key.append(field).push_back('=');
    const std::size_t at = line.find(key);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t start = at + key.size();
    return line.substr(start, line.find('\t', start) - start);
}

std::optional<RECT> ControlRect(const std::string& dump, USHORT id)
{
    const std::optional<std::string> text = ControlField(dump, id, "rect");
    RECT rect{};
    if (!text || std::sscanf(text->c_str(), "%ld,%ld,%ld,%ld", &rect.left, &rect.top, &rect.right, &rect.bottom) != 4) {
        return std::nullopt;
    }
    return rect;
}

bool SendMouseAt(POINT screen, DWORD flags)
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

bool ClickControl(HWND window, const std::string& dump, USHORT id)
{
    const std::optional<RECT> rect = ControlRect(dump, id);
    RECT placed{};
    if (!rect || !GetWindowRect(window, &placed)) {
        return false;
    }
    const POINT at{placed.left + (rect->left + rect->right) / 2, placed.top + (rect->top + rect->bottom) / 2};
    return SendMouseAt(at, 0) && SendMouseAt(at, MOUSEEVENTF_LEFTDOWN) && SendMouseAt(at, MOUSEEVENTF_LEFTUP);
}

bool PostClickControl(HWND window, const std::string& dump, USHORT id)
{
    const std::optional<RECT> rect = ControlRect(dump, id);
    if (!rect) {
        return false;
    }
    const LPARAM at = MAKELPARAM((rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2);
    return PostMessageW(window, WM_MOUSEMOVE, 0, at) && PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
           PostMessageW(window, WM_LBUTTONUP, 0, at);
}

}  // namespace veyra::test
