#pragma once
// Intrusive reference counting for objects that several threads hold at once (an operation and its
// progress state are held by the window that shows them and by the worker that runs them). The
// object is deleted when the last RefPtr lets go, on whichever thread that happens.

#include <atomic>
#include <utility>

#include "IntrusivePtr.h"

namespace veyra {

class RefCounted {
public:
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    void AddRef() const noexcept { m_references.fetch_add(1, std::memory_order_relaxed); }
    void Release() const noexcept
    {
        if (m_references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            delete this;
        }
    }

protected:
    RefCounted() noexcept = default;
    virtual ~RefCounted() = default;

private:
    mutable std::atomic<long> m_references{1};  // the creator's reference, adopted by a RefPtr
};

template <typename T>
using RefPtr = IntrusivePtr<T>;

// Builds a T and adopts its first reference; an empty pointer when memory runs out.
template <typename T, typename... Args>
[[nodiscard]] RefPtr<T> MakeRef(Args&&... args) noexcept
{
    try {
        return RefPtr<T>::Adopt(new T(std::forward<Args>(args)...));
    } catch (...) {
        return RefPtr<T>();
    }
}

}  // namespace veyra
