#include "NsOperate.h"

#include "RunningOperations.h"

namespace veyra {

HANDLE NsOperate::StartWorker() noexcept
{
    RefPtr<NsOperate> forThread = RefPtr<NsOperate>::Copy(this);
    HANDLE thread = CreateThread(nullptr, 0, &NsOperate::WorkerEntry, forThread.get(), CREATE_SUSPENDED, &threadId);
    if (!thread) {
        return nullptr;
    }
    (void)forThread.detach();  // the thread owns this reference now
    if (!CRunningOperations::Instance().Add(this, thread)) {
        Cancel();  // a stop is under way: the worker works no item
    }
    ResumeThread(thread);
    return thread;
}

DWORD WINAPI NsOperate::WorkerEntry(void* parameter) noexcept
{
    const RefPtr<NsOperate> operation = RefPtr<NsOperate>::Adopt(static_cast<NsOperate*>(parameter));
    const DWORD result = operation->RunWorker();
    CRunningOperations::Instance().Remove(operation.get());
    return result;
}

}  // namespace veyra
