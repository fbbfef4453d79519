#pragma once
// A critical section that lives as long as its owner, and the scope that holds it. Recursive, as Win32's
// is: a holder may call code that takes the same lock again.

#include <windows.h>

namespace veyra {

class CriticalSection {
public:
    CriticalSection() noexcept { InitializeCriticalSection(&m_section); }
    ~CriticalSection() { DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter() noexcept { EnterCriticalSection(&m_section); }
    void Leave() noexcept { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& lock) noexcept : m_lock(lock) { m_lock.Enter(); }
    ~ScopedLock() { m_lock.Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& m_lock;
};

}  // namespace veyra
