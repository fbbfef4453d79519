#pragma once
// Scoped holds of a slim reader/writer lock: shared for readers, exclusive for writers. The lock itself
// is a plain SRWLOCK (SRWLOCK_INIT), which needs no clean-up.

#include <windows.h>

namespace veyra {

class SharedSrwHold {
public:
    explicit SharedSrwHold(SRWLOCK& lock) noexcept : m_lock(lock) { AcquireSRWLockShared(&m_lock); }
    ~SharedSrwHold() { ReleaseSRWLockShared(&m_lock); }
    SharedSrwHold(const SharedSrwHold&) = delete;
    SharedSrwHold& operator=(const SharedSrwHold&) = delete;

private:
    SRWLOCK& m_lock;
};

class ExclusiveSrwHold {
public:
    explicit ExclusiveSrwHold(SRWLOCK& lock) noexcept : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~ExclusiveSrwHold() { ReleaseSRWLockExclusive(&m_lock); }
    ExclusiveSrwHold(const ExclusiveSrwHold&) = delete;
    ExclusiveSrwHold& operator=(const ExclusiveSrwHold&) = delete;

private:
    SRWLOCK& m_lock;
};

}  // namespace veyra
