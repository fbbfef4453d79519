#include "tests/support/XdoTool.h"

#include <cstdio>

#include "base/UniqueResource.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WaitFor.h"

namespace veyra::test {

bool RunLinkedTool(const wchar_t* link, const std::wstring& arguments, DWORD timeoutMs)
{
    const std::wstring program = BinFile(link);
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    const UniqueHandle process(info.hProcess);
    DWORD code = 1;
    const DWORD waited = WaitForSingleObject(process.get(), timeoutMs);
    if (waited == WAIT_FAILED) {
        return true;  // Wine: a Unix program gives no handle to wait on; callers await its effect
    }
    return waited == WAIT_OBJECT_0 && GetExitCodeProcess(process.get(), &code) && code == 0;
}

bool RunXdotool(const std::wstring& arguments, DWORD timeoutMs)
{
    return RunLinkedTool(L"xdotool.exe", arguments, timeoutMs);
}

namespace {

// A picture was asked for and none came: said on the error stream, so a run that was meant to leave
// pictures does not pass silently without them.
std::wstring NoScreenshot(const std::wstring& path, const char* why)
{
    std::fprintf(stderr, "screenshot %ls not taken: %s\n", path.c_str(), why);
    return std::wstring();
}

}  // namespace

std::wstring SaveScreenshot(const std::wstring& name)
{
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VEYRA_SHOT_DIR", folder, MAX_PATH) == 0) {
        return std::wstring();
    }
    // Wine's own export names the Unix file behind a path, which import is given.
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    const std::wstring path = std::wstring(folder) + L"\\" + name + L".png";
    DeleteFileW(path.c_str());
    char* unixPath = unixName ? unixName(path.c_str()) : nullptr;
    if (!unixPath) {
        return NoScreenshot(path, "no Unix name for the folder");
    }
    const std::string narrow(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    if (!RunLinkedTool(L"import.exe", L"-window root " + std::wstring(narrow.begin(), narrow.end()), 20000)) {
        return NoScreenshot(path, "import.exe (ImageMagick) did not start beside the programs");
    }
    // The Unix process cannot be awaited: the picture is there once import has written and closed it.
    const bool written = WaitFor([&] {
        UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER size{};
        return file && GetFileSizeEx(file.get(), &size) && size.QuadPart > 0;
    }, std::chrono::seconds(20));
    return written ? path : NoScreenshot(path, "import wrote nothing within 20 s");
}

bool ClickAt(POINT screen, const wchar_t* modifier)
{
    // Through a point beside the target: a click where the pointer already rests does not reach the
    // window under it (Wine on Xvfb), so the pointer always arrives by a motion.
    std::wstring arguments = L"mousemove --sync " + std::to_wstring(screen.x + 1) + L" " + std::to_wstring(screen.y) +
                             L" mousemove --sync " + std::to_wstring(screen.x) + L" " + std::to_wstring(screen.y);
    if (modifier) {
        arguments += std::wstring(L" keydown ") + modifier + L" click 1 keyup " + modifier;
    } else {
        arguments += L" click 1";
    }
    return RunXdotool(arguments);
}

}  // namespace veyra::test
