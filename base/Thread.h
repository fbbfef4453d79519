#pragma once
// Starting short-lived threads that own their work. The callable is moved to the heap and belongs to
// the new thread from the moment it starts; when the thread cannot be started it is freed here and the
// call reports failure, so nothing leaks and nothing runs twice.

#include <windows.h>

#include <memory>
#include <utility>

#include "UniqueResource.h"

namespace veyra {

namespace detail {
template <typename F>
DWORD WINAPI RunOwnedTask(void* parameter) noexcept
{
    std::unique_ptr<F> task(static_cast<F*>(parameter));
    try {
        (*task)();
    } catch (...) {
        // No exception may leave a thread entry.
    }
    return 0;
}
}  // namespace detail

// Starts `task` on a new thread and returns its handle (invalid on failure).
template <typename F>
[[nodiscard]] UniqueHandle StartThread(F&& task) noexcept
{
    using Task = std::decay_t<F>;
    std::unique_ptr<Task> owned;
    try {
        owned = std::make_unique<Task>(std::forward<F>(task));
    } catch (...) {
        return UniqueHandle();
    }
    HANDLE thread = CreateThread(nullptr, 0, &detail::RunOwnedTask<Task>, owned.get(), 0, nullptr);
    if (thread) {
        (void)owned.release();  // the thread owns it now
    }
    return UniqueHandle(thread);
}

// Starts `task` on a new thread whose handle is closed at once.
template <typename F>
[[nodiscard]] bool StartDetachedThread(F&& task) noexcept
{
    return StartThread(std::forward<F>(task)).valid();
}

}  // namespace veyra
