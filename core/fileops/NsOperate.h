#pragma once
// Base of the file-operation objects. A starter builds one on the UI thread; the progress dialog (or
// the delete starter) hands in its window and progress state and calls Start. The object is
// reference counted: the worker thread holds a reference for as long as it runs and the dialog may
// hold one too, so neither ever touches an object the other has freed.
// Written by the UI thread until Start; afterwards only read by the worker.

#include <windows.h>

#include "OperationProgress.h"
#include "base/RefCounted.h"

namespace veyra {

class NsOperate : public RefCounted {
public:
    // Starts the worker thread and returns its handle (the caller closes it); 0 when no thread could
    // be started or the operation has no worker.
    [[nodiscard]] virtual HANDLE Start() noexcept { return nullptr; }

    HWND progressWindow = nullptr;
    DWORD threadId = 0;
    int type = 0;
    RefPtr<OperationProgress> progressDialog;
    int ownerKey = 0;

protected:
    explicit NsOperate(int operationType, int key = 0) noexcept : type(operationType), ownerKey(key) {}

    // Starts a thread that runs RunWorker with a reference of its own to this object; the reference
    // is released when RunWorker returns, on the worker thread.
    [[nodiscard]] HANDLE StartWorker() noexcept;
    virtual DWORD RunWorker() noexcept = 0;

private:
    static DWORD WINAPI WorkerEntry(void* parameter) noexcept;
};

}  // namespace veyra
