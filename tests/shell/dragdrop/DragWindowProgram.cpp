// One end of a drag driven from outside Wine (tests/shell/dragdrop/xdotool-drag):
//   veyra_drag_window source X Y   a window at X,Y (200 x 200) that drags VEYRA_DRAG_PATHS ('|' between
//                                  them) when the left button goes down on it, then ends with 1 for a drop
//   veyra_drag_window target X Y   a window at X,Y (300 x 200) that takes drops; it writes "over" to
//                                  VEYRA_DRAG_RESULT.over at the first drag-over step and, at the drop, what
//                                  the drag offered at that step and the dropped paths, one a line, to
//                                  VEYRA_DRAG_RESULT, then ends with 0

#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/Window.h"
#include "shell/dragdrop/DragState.h"
#include "shell/dragdrop/DropTargetRegistration.h"
#include "shell/dragdrop/FileDrag.h"

namespace {

std::wstring Variable(const wchar_t* name)
{
    wchar_t value[4096] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 4096);
    return length && length < 4096 ? std::wstring(value, length) : std::wstring();
}

void WriteUtf8(const std::wstring& path, const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr, nullptr);
    const std::wstring partial = path + L".part";
    if (FILE* file = _wfopen(partial.c_str(), L"wb")) {
        fwrite(utf8.data(), 1, utf8.size(), file);
        fclose(file);
        MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);  // whole or not at all
    }
}

class SourceWindow final : public veyra::Window {
public:
    int result = 0;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_LBUTTONDOWN) {
            std::vector<std::wstring> paths;
            const std::wstring list = Variable(L"VEYRA_DRAG_PATHS");
            for (size_t start = 0; start < list.size();) {
                const size_t bar = list.find(L'|', start);
                paths.push_back(list.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
                start = bar == std::wstring::npos ? list.size() : bar + 1;
            }
            result = veyra::RunFileDrag(Handle(), paths, veyra::FileDragImage{});
            PostQuitMessage(0);
            return 0;
        }
        return DefaultProc(message, wParam, lParam);
    }
};

class TargetWindow final : public veyra::Window, public veyra::DropCallbacks {
public:
    void DragOverTarget(IDataObject*, const std::vector<std::wstring>&, POINT, DWORD& effect, std::wstring&,
                        int&) override
    {
        if (!m_sawOver) {
            m_sawOver = true;
            m_offered = effect;
            WriteUtf8(Variable(L"VEYRA_DRAG_RESULT") + L".over", L"over");
        }
        effect = DROPEFFECT_COPY;
    }
    void DropOnTarget(IDataObject*, const std::vector<std::wstring>& paths, const std::wstring& targetPath,
                      int move) override
    {
        std::wstring text = L"target " + targetPath + L"\nmove " + std::to_wstring(move) + L"\ninternal " +
                            std::to_wstring(veyra::InternalDragFlag) + L"\noffered " + std::to_wstring(m_offered) + L"\n";
        for (const std::wstring& path : paths) {
            text += path + L"\n";
        }
        WriteUtf8(Variable(L"VEYRA_DRAG_RESULT"), text);
        PostQuitMessage(0);
    }
    void DragEnded() override {}

private:
    bool m_sawOver = false;
    DWORD m_offered = 0;
};

int RunLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4 || FAILED(OleInitialize(nullptr))) {
        return 2;
    }
    const bool source = std::wcscmp(argv[1], L"source") == 0;
    veyra::WindowPlacement placement;
    placement.style = WS_POPUP | WS_VISIBLE;
    placement.x = _wtoi(argv[2]);
    placement.y = _wtoi(argv[3]);
    placement.width = source ? 200 : 300;
    placement.height = 200;
    if (source) {
        SourceWindow window;
        if (!window.Create(veyra::WindowClass{L"VeyraDragSourceWindow"}, L"veyra drag source", placement)) {
            return 2;
        }
        RunLoop();
        OleUninitialize();
        return window.result;
    }
    TargetWindow window;
    veyra::DropTargetRegistration registration;
    if (!window.Create(veyra::WindowClass{L"VeyraDragTargetWindow"}, L"veyra drag target", placement) ||
        FAILED(registration.Register(window.Handle(), &window, L"C:\\xdotool-target"))) {
        return 2;
    }
    RunLoop();
    registration.Revoke();
    OleUninitialize();
    return 0;
}
