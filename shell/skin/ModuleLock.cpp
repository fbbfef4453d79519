#include "shell/skin/ModuleLock.h"

#include <atomic>

namespace veyra::skin {

namespace {
std::atomic<long> g_moduleLocks{0};
}

void LockModule() noexcept
{
    g_moduleLocks.fetch_add(1, std::memory_order_relaxed);
}

void UnlockModule() noexcept
{
    g_moduleLocks.fetch_sub(1, std::memory_order_relaxed);
}

long ModuleLockCount() noexcept
{
    return g_moduleLocks.load(std::memory_order_relaxed);
}

}  // namespace veyra::skin
