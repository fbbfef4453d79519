#include "TrayFixture.h"

#include <thread>

#include "base/UniqueResource.h"
#include "tests/support/TestPaths.h"

namespace veyra::test {

namespace {

constexpr wchar_t kTrayClass[] = L"KavoOstrelClass";

std::wstring Utf16(const std::string& text)
{
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(chars > 0 ? chars : 0, L'\0');
    if (chars > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), chars);
    }
    return out;
}

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::wstring name, const std::wstring& value)
    : m_name(std::move(name))
{
    const DWORD length = GetEnvironmentVariableW(m_name.c_str(), nullptr, 0);
    if (length > 0) {
        m_previous.resize(length);
        m_previous.resize(GetEnvironmentVariableW(m_name.c_str(), m_previous.data(), length));
        m_existed = true;
    }
    SetEnvironmentVariableW(m_name.c_str(), value.empty() ? nullptr : value.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable()
{
    SetEnvironmentVariableW(m_name.c_str(), m_existed ? m_previous.c_str() : nullptr);
}

TrayFixture::TrayFixture(const std::wstring& mode)
    : m_modeName(mode),
      m_folder(L"tray"),
      m_logPath(m_folder / L"tray.log"),
      m_log(L"KAVOTRAY_LOG", m_logPath),
      m_mode(L"KAVOTRAY_MODE", mode)
{
}

TrayFixture::~TrayFixture()
{
    StopAll();
}

bool TrayFixture::Start(const std::wstring& trayProgram)
{
    std::wstring program = trayProgram.empty() ? BinFile(L"KavoTray.exe") : trayProgram;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    return WaitForTrayWindow(std::chrono::seconds(30)) != nullptr;
}

std::vector<std::wstring> TrayFixture::Lines() const
{
    const std::wstring text = Utf16(ReadFileBytes(m_logPath));
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

bool TrayFixture::WaitForLine(const std::function<bool(const std::wstring&)>& match,
                              std::chrono::milliseconds timeout) const
{
    return WaitUntil(
        [&] {
            for (const std::wstring& line : Lines()) {
                if (match(line)) {
                    return true;
                }
            }
            return false;
        },
        timeout);
}

bool TrayFixture::WaitForLine(const std::wstring& exact, std::chrono::milliseconds timeout) const
{
    return WaitForLine([&](const std::wstring& line) { return line == exact; }, timeout);
}

void TrayFixture::StopAll()
{
    std::vector<std::pair<DWORD, UniqueHandle>> running;
    for (const std::wstring& line : Lines()) {
        if (line.starts_with(L"started ")) {
            const DWORD processId = std::wcstoul(line.c_str() + 8, nullptr, 10);
            if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId)) {
                running.emplace_back(processId, UniqueHandle(process));
            }
        }
    }
    for (const auto& [processId, process] : running) {
        if (m_modeName != L"no-window") {
            const std::wstring windowLine = L"window " + std::to_wstring(processId);
            WaitUntil(
                [&] {
                    return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0 ||
                           WaitForLine(windowLine, std::chrono::milliseconds(0));
                },
                std::chrono::seconds(30));
        }
        TerminateProcess(process.get(), 0);
        WaitForSingleObject(process.get(), 10000);
    }
}

HWND WaitForTrayWindow(std::chrono::milliseconds timeout)
{
    HWND tray = nullptr;
    WaitUntil([&] { return (tray = FindWindowW(kTrayClass, nullptr)) != nullptr; }, timeout);
    return tray;
}

}  // namespace veyra::test
