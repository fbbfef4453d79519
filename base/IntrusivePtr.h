#pragma once
// The one owning pointer for objects that count their own references: COM interfaces (ComPtr) and our
// reference-counted objects (RefPtr). put() releases what it holds before handing out its address.

#include <unknwn.h>

#include <cstddef>
#include <utility>

namespace veyra {

template <typename T>
class IntrusivePtr {
public:
    IntrusivePtr() noexcept = default;
    IntrusivePtr(std::nullptr_t) noexcept {}
    // Adopts a reference the caller already owns (the one a new object starts with).
    static IntrusivePtr Adopt(T* pointer) noexcept
    {
        IntrusivePtr result;
        result.m_pointer = pointer;
        return result;
    }
    // Takes a reference of its own.
    static IntrusivePtr Copy(T* pointer) noexcept
    {
        if (pointer) {
            pointer->AddRef();
        }
        return Adopt(pointer);
    }
    IntrusivePtr(const IntrusivePtr& other) noexcept : IntrusivePtr(Copy(other.m_pointer)) {}
    // From a pointer to a derived type.
    template <typename U>
    IntrusivePtr(const IntrusivePtr<U>& other) noexcept : IntrusivePtr(Copy(other.get()))
    {
    }
    IntrusivePtr(IntrusivePtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    IntrusivePtr& operator=(IntrusivePtr other) noexcept
    {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }
    ~IntrusivePtr() { reset(); }

    [[nodiscard]] T* get() const noexcept { return m_pointer; }
    T* operator->() const noexcept { return m_pointer; }
    T& operator*() const noexcept { return *m_pointer; }
    explicit operator bool() const noexcept { return m_pointer != nullptr; }

    [[nodiscard]] T** put() noexcept
    {
        reset();
        return &m_pointer;
    }
    [[nodiscard]] void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // Hands the reference to the caller (an out parameter, a thread parameter).
    [[nodiscard]] T* detach() noexcept { return std::exchange(m_pointer, nullptr); }

    void reset() noexcept
    {
        if (T* old = std::exchange(m_pointer, nullptr)) {
            old->Release();
        }
    }

    // COM only: asks the object for another of its interfaces.
    template <typename U>
    [[nodiscard]] HRESULT As(REFIID iid, IntrusivePtr<U>& out) const noexcept
    {
        if (!m_pointer) {
            return E_POINTER;
        }
        return m_pointer->QueryInterface(iid, out.put_void());
    }

private:
    T* m_pointer = nullptr;
};

}  // namespace veyra
