// Another program that drags files: it puts the pointer where VEYRA_DRAG_AT says ("x,y"), then runs a
// file drag of the paths in VEYRA_DRAG_PATHS ('|' between them) with the buttons up, so the drag drops
// at once on whatever window lies there. Exit code: RunFileDrag's result, 2 when it could not start.

#include <windows.h>
#include <ole2.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "base/Window.h"
#include "shell/dragdrop/FileDrag.h"

namespace {

std::wstring Variable(const wchar_t* name)
{
    wchar_t value[4096] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 4096);
    return length && length < 4096 ? std::wstring(value, length) : std::wstring();
}

std::vector<std::wstring> SplitPaths(const std::wstring& text)
{
    std::vector<std::wstring> paths;
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const size_t bar = text.find(L'|', start);
        paths.push_back(text.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
        if (bar == std::wstring::npos) {
            break;
        }
        start = bar + 1;
    }
    return paths;
}

class SourceWindow final : public veyra::Window {};

}  // namespace

int wmain()
{
    const std::vector<std::wstring> paths = SplitPaths(Variable(L"VEYRA_DRAG_PATHS"));
    int x = 0, y = 0;
    if (paths.empty() || std::swscanf(Variable(L"VEYRA_DRAG_AT").c_str(), L"%d,%d", &x, &y) != 2 ||
        FAILED(OleInitialize(nullptr))) {
        return 2;
    }
    SourceWindow source;
    veyra::WindowPlacement placement;
    placement.style = WS_POPUP | WS_VISIBLE;
    placement.x = 0;
    placement.y = 0;
    placement.width = 40;
    placement.height = 40;
    if (!source.Create(veyra::WindowClass{L"VeyraDragSourceProgram"}, L"drag source", placement)) {
        return 2;
    }
    SetCursorPos(x, y);
    const int result = veyra::RunFileDrag(source.Handle(), paths, veyra::FileDragImage{});
    OleUninitialize();
    return result;
}
