#pragma once
// Intrusive reference counting for objects that several threads hold at once (an operation and its
// progress state are held by the window that shows them and by the worker that runs them). The
// object is deleted when the last RefPtr lets go, on whichever thread that happens.

#include <atomic>
#include <utility>

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
class RefPtr {
public:
    RefPtr() noexcept = default;
    RefPtr(std::nullptr_t) noexcept {}
    // Takes over a reference the caller owns (the one a new object starts with).
    static RefPtr Adopt(T* pointer) noexcept
    {
        RefPtr result;
        result.m_pointer = pointer;
        return result;
    }
    // Takes a reference of its own.
    static RefPtr Share(T* pointer) noexcept
    {
        if (pointer) {
            pointer->AddRef();
        }
        return Adopt(pointer);
    }
    RefPtr(const RefPtr& other) noexcept : m_pointer(other.m_pointer)
    {
        if (m_pointer) {
            m_pointer->AddRef();
        }
    }
    template <typename U>
    RefPtr(const RefPtr<U>& other) noexcept : RefPtr(Share(other.get()))
    {
    }
    RefPtr(RefPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    RefPtr& operator=(RefPtr other) noexcept
    {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }
    ~RefPtr() { reset(); }

    void reset() noexcept
    {
        if (T* old = std::exchange(m_pointer, nullptr)) {
            old->Release();
        }
    }
    // Hands the reference to the caller (for a thread parameter).
    [[nodiscard]] T* release() noexcept { return std::exchange(m_pointer, nullptr); }

    [[nodiscard]] T* get() const noexcept { return m_pointer; }
    T* operator->() const noexcept { return m_pointer; }
    T& operator*() const noexcept { return *m_pointer; }
    explicit operator bool() const noexcept { return m_pointer != nullptr; }

private:
    T* m_pointer = nullptr;
};

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
