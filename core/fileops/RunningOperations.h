#pragma once
// The operations whose worker threads run now. Exit and restore must not terminate the process or
// clean the sandbox while a worker still writes (a truncated file, or a file written after the clean):
// they cancel every running operation and wait for its worker first. The starters add a worker before
// it runs and the worker takes its operation out when it ends; its thread is kept until it has ended.
// Any thread.

#include <windows.h>

#include <mutex>
#include <vector>

#include "NsOperate.h"
#include "base/UniqueResource.h"

namespace veyra {

// How long exit and restore wait for the workers before they give up on them.
inline constexpr DWORD kStopOperationsLimitMs = 15000;

class CRunningOperations {
public:
    static CRunningOperations& Instance() noexcept;

    // Keeps the operation and a handle of its (still suspended) worker. False while a stop is under
    // way: the caller must then cancel the operation before its worker runs.
    [[nodiscard]] bool Add(NsOperate* operation, HANDLE thread) noexcept;
    void Remove(const NsOperate* operation) noexcept;
    // The operations not yet taken out.
    [[nodiscard]] std::size_t Count() const noexcept;

    // Cancels every running operation, closes the boxes its worker shows, and waits until every worker
    // has ended: true then; false when some still ran after `limitMs` (a worker held up by a send
    // that the calling thread is itself handling further up its stack). The calling (UI) thread
    // meanwhile handles the messages sent to it, since the workers send their notices synchronously.
    // New operations are refused until it returns; questions answer "no" without a box.
    [[nodiscard]] bool CancelAllAndWait(DWORD limitMs) noexcept;
    [[nodiscard]] bool Stopping() const noexcept;

private:
    struct Running {
        RefPtr<NsOperate> operation;  // empty once the worker took it out, while its thread still ends
        UniqueHandle thread;
        DWORD threadId;
    };
    // Copies of the running workers' handles, their operations cancelled and their boxes asked to close.
    std::vector<UniqueHandle> CancelRunning() noexcept;

    mutable std::mutex m_lock;
    std::vector<Running> m_running;
    int m_stopping = 0;
};

}  // namespace veyra
