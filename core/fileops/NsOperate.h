#pragma once
// Base of the file-operation objects. A starter builds one on the UI thread; the progress dialog (or
// the delete starter) hands in its window and progress state and calls Start. The object is
// reference counted: the worker thread holds a reference for as long as it runs and the dialog may
// hold one too, so neither ever touches an object the other has freed.
// Written by the UI thread until Start; afterwards only read by the worker.

#include <windows.h>

#include <atomic>

#include "OperationProgress.h"
#include "base/RefCounted.h"

namespace veyra {

class NsOperate : public RefCounted {
public:
    // Starts the worker thread and returns its handle (the caller closes it); 0 when no thread could
    // be started or the operation has no worker.
    [[nodiscard]] virtual HANDLE Start() noexcept { return nullptr; }

    // Asks the worker to stop before its next item (and its copy progress to abort the running file).
    // Any thread; the progress state is set before Start and not changed afterwards.
    void Cancel() noexcept
    {
        m_cancelled.store(1);
        if (progressDialog) {
            progressDialog->Cancel();
        }
    }
    [[nodiscard]] bool Cancelled() const noexcept { return m_cancelled.load() != 0; }

    HWND progressWindow = nullptr;
    DWORD threadId = 0;
    int type = 0;
    RefPtr<OperationProgress> progressDialog;
    int ownerKey = 0;

protected:
    explicit NsOperate(int operationType, int key = 0) noexcept : type(operationType), ownerKey(key) {}

    // Starts a thread that runs RunWorker with a reference of its own to this object; the reference
    // is released when RunWorker returns, on the worker thread. The worker is one of the running
    // operations (CRunningOperations) from before it runs until it returns.
    [[nodiscard]] HANDLE StartWorker() noexcept;
    virtual DWORD RunWorker() noexcept = 0;

private:
    static DWORD WINAPI WorkerEntry(void* parameter) noexcept;

    std::atomic<int> m_cancelled{0};
};

}  // namespace veyra
