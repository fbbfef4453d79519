#include "NsOperate.h"

namespace veyra {

HANDLE NsOperate::StartWorker() noexcept
{
    RefPtr<NsOperate> forThread = RefPtr<NsOperate>::Copy(this);
    HANDLE thread = CreateThread(nullptr, 0, &NsOperate::WorkerEntry, forThread.get(), 0, &threadId);
    if (thread) {
        (void)forThread.detach();  // the thread owns this reference now
    }
    return thread;
}

DWORD WINAPI NsOperate::WorkerEntry(void* parameter) noexcept
{
    const RefPtr<NsOperate> operation = RefPtr<NsOperate>::Adopt(static_cast<NsOperate*>(parameter));
    return operation->RunWorker();
}

}  // namespace veyra
