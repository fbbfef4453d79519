#pragma once
// Owning COM interface pointer. put() releases what it holds before handing out its address.

#include <unknwn.h>

#include <utility>

namespace veyra {

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Adopts a reference the caller already owns.
    static ComPtr Adopt(T* pointer) noexcept
    {
        ComPtr result;
        result.m_pointer = pointer;
        return result;
    }
    // Takes a reference of its own.
    static ComPtr Copy(T* pointer) noexcept
    {
        if (pointer) {
            pointer->AddRef();
        }
        return Adopt(pointer);
    }
    ComPtr(const ComPtr& other) noexcept : m_pointer(other.m_pointer)
    {
        if (m_pointer) {
            m_pointer->AddRef();
        }
    }
    ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }
    ~ComPtr() { reset(); }

    [[nodiscard]] T* get() const noexcept { return m_pointer; }
    T* operator->() const noexcept { return m_pointer; }
    explicit operator bool() const noexcept { return m_pointer != nullptr; }

    [[nodiscard]] T** put() noexcept
    {
        reset();
        return &m_pointer;
    }
    [[nodiscard]] void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    [[nodiscard]] T* detach() noexcept { return std::exchange(m_pointer, nullptr); }

    void reset() noexcept
    {
        if (T* old = std::exchange(m_pointer, nullptr)) {
            old->Release();
        }
    }

    template <typename U>
    [[nodiscard]] HRESULT As(REFIID iid, ComPtr<U>& out) const noexcept
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
