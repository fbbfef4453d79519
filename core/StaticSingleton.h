#pragma once
// A process-wide instance built on first use by whichever thread asks first, without a lock object that
// would itself need building: the first caller turns the state word from 0 to 1, builds the instance and
// publishes it by setting 2; every other caller spins (1 ms sleeps) until it reads 2.

#include <windows.h>

namespace veyra {

template <typename T>
class static_singleton_base {
public:
    static T& GetInstance() noexcept
    {
        if (InterlockedCompareExchange(&s_state, 1, 0) == 0) {
            static T instance;
            s_instance = &instance;
            InterlockedExchange(&s_state, 2);
        } else {
            while (InterlockedCompareExchange(&s_state, 2, 2) != 2) {
                Sleep(1);
            }
        }
        return *s_instance;
    }

protected:
    static_singleton_base() = default;
    virtual ~static_singleton_base() = default;

private:
    static inline volatile LONG s_state = 0;
    static inline T* s_instance = nullptr;
};

}  // namespace veyra
