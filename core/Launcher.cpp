#include "core/Launcher.h"

#include <atomic>

#include "base/Thread.h"
#include "base/UniqueResource.h"
#include "core/SandBoxHelper.h"
#include "core/TrayChannel.h"

namespace veyra {

CLauncher g_launcher;

namespace {

std::atomic<CLauncher::NetworkQuestion> s_networkQuestion{nullptr};

constexpr int kAnswerYes = IDYES;  // 6

}  // namespace

bool CLauncher::StartTrayLaunchThread(std::wstring path) noexcept
{
    return StartDetachedThread([path = std::move(path)] { TrayLaunchThread(path); });
}

void CLauncher::TrayLaunchThread(const std::wstring& path) noexcept
{
    TrayLaunchRequest request;
    if (BuildTrayLaunchRequest(path.c_str(), request)) {
        SendTrayLaunchRequest(request);
    }
}

int CLauncher::LaunchViaTray(const wchar_t* path) noexcept
{
    if (!path) {
        return 0;
    }
    TrayLaunchRequest request;
    // A path that does not fit the record is refused here, where the caller still learns of it.
    if (!BuildTrayLaunchRequest(path, request)) {
        return 0;
    }
    try {
        return m_startThread(std::wstring(path)) ? 1 : 0;
    } catch (...) {
        return 0;  // no memory for the copy
    }
}

int CLauncher::OpenFile(const wchar_t* path) noexcept
{
    return m_launchThroughTray ? LaunchViaTray(path) : 0;
}

int CLauncher::RunProcess(const wchar_t* path) noexcept
{
    return m_launchThroughTray ? LaunchViaTray(path) : 0;
}

void CLauncher::SetNetworkQuestion(NetworkQuestion question) noexcept
{
    s_networkQuestion.store(question);
}

int CLauncher::ToggleNetworkAccess(int block, int ownerKey) noexcept
{
    NetworkQuestion question = s_networkQuestion.load();
    if (!question || question(ownerKey, block) != kAnswerYes) {
        return 0;
    }
    return CSandBoxHelper::GetInstance().SetSandboxBlockNet(block);
}

int CLauncher::StartMessageCenter(const wchar_t* suiteFolder, int code) noexcept
{
    if (!suiteFolder) {
        return 0;
    }
    try {
        std::wstring commandLine = L"\"" + std::wstring(suiteFolder) + L"\\Utils\\KavoMsgCenter.exe\"  /NOTIFY=" +
                                   std::to_wstring(code);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            return 0;
        }
        UniqueHandle processHandle(process.hProcess);
        UniqueHandle threadHandle(process.hThread);
        return 1;
    } catch (...) {
        return 0;
    }
}

}  // namespace veyra
