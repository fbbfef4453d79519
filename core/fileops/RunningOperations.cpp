#include "RunningOperations.h"

#include <algorithm>
#include <iterator>

namespace veyra {

namespace {

// How often the wait asks the workers' boxes again to close: a box may open after the first request.
constexpr DWORD kCloseAgainMs = 100;

// A worker's boxes are its shown windows; COM's hidden window of the thread is left alone.
BOOL CALLBACK CloseWorkerWindow(HWND window, LPARAM) noexcept
{
    if (IsWindowVisible(window)) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

bool ThreadEnded(HANDLE thread) noexcept
{
    return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
}

}  // namespace

CRunningOperations& CRunningOperations::Instance() noexcept
{
    static CRunningOperations instance;
    return instance;
}

bool CRunningOperations::Add(NsOperate* operation, HANDLE thread) noexcept
{
    try {
        UniqueHandle copy;
        if (!operation || !DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), copy.put(), SYNCHRONIZE, FALSE, 0)) {
            return false;
        }
        std::lock_guard guard(m_lock);
        if (m_stopping) {
            return false;
        }
        std::erase_if(m_running, [](const Running& r) { return !r.operation && ThreadEnded(r.thread.get()); });
        m_running.push_back({RefPtr<NsOperate>::Copy(operation), std::move(copy), GetThreadId(thread)});
        return true;
    } catch (...) {
        return false;
    }
}

void CRunningOperations::Remove(const NsOperate* operation) noexcept
{
    // The worker's thread is still kept: it runs on after this (its last reference, its exit), and a
    // stop waits for the thread, not only for the operation.
    RefPtr<NsOperate> gone;  // released outside the lock: the last reference may delete the operation
    std::lock_guard guard(m_lock);
    for (Running& running : m_running) {
        if (running.operation.get() == operation) {
            gone = std::move(running.operation);
        }
    }
}

std::size_t CRunningOperations::Count() const noexcept
{
    std::lock_guard guard(m_lock);
    return static_cast<std::size_t>(std::ranges::count_if(m_running, [](const Running& r) { return static_cast<bool>(r.operation); }));
}

bool CRunningOperations::Stopping() const noexcept
{
    std::lock_guard guard(m_lock);
    return m_stopping != 0;
}

std::vector<UniqueHandle> CRunningOperations::CancelRunning() noexcept
{
    std::vector<UniqueHandle> handles;
    std::vector<Running> ended;  // a worker that ended without taking itself out; released after the lock
    std::lock_guard guard(m_lock);
    const auto live = std::stable_partition(m_running.begin(), m_running.end(), [](const Running& r) {
        return !ThreadEnded(r.thread.get());
    });
    try {
        std::move(live, m_running.end(), std::back_inserter(ended));
    } catch (...) {
    }
    m_running.erase(live, m_running.end());
    for (const Running& running : m_running) {
        if (running.operation) {
            running.operation->Cancel();
        }
        EnumThreadWindows(running.threadId, &CloseWorkerWindow, 0);
        UniqueHandle copy;
        if (handles.size() < MAXIMUM_WAIT_OBJECTS - 1 &&
            DuplicateHandle(GetCurrentProcess(), running.thread.get(), GetCurrentProcess(), copy.put(), SYNCHRONIZE,
                            FALSE, 0)) {
            try {
                handles.push_back(std::move(copy));
            } catch (...) {
            }
        }
    }
    return handles;
}

bool CRunningOperations::CancelAllAndWait(DWORD limitMs) noexcept
{
    {
        std::lock_guard guard(m_lock);
        ++m_stopping;
    }
    const ULONGLONG end = GetTickCount64() + limitMs;
    bool ended = false;
    for (;;) {
        std::vector<UniqueHandle> workers = CancelRunning();
        if (workers.empty()) {
            ended = true;
            break;
        }
        if (GetTickCount64() >= end) {
            break;
        }
        HANDLE raw[MAXIMUM_WAIT_OBJECTS] = {};
        for (std::size_t index = 0; index < workers.size(); ++index) {
            raw[index] = workers[index].get();
        }
        // Only the messages sent to this thread run here (nothing posted is dispatched mid-stop); a
        // send already waiting counts too, even when the queue was looked at before.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const DWORD count = static_cast<DWORD>(workers.size());
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(count, raw, kCloseAgainMs, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_FAILED) {
            Sleep(kCloseAgainMs);
        }
    }
    std::lock_guard guard(m_lock);
    --m_stopping;
    return ended;
}

}  // namespace veyra
