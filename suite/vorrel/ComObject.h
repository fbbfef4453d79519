#pragma once
// Reference counting and table-driven QueryInterface for the library's COM objects. Objects are created
// with a count of 1 (the creator's reference) and delete themselves at 0; each live object holds a lock
// on the module so DllCanUnloadNow tells the truth.

#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <new>
#include <string>
#include <utility>

namespace vorrel {

void LockModule() noexcept;
void UnlockModule() noexcept;

class RefCounted {
public:
    RefCounted() noexcept { LockModule(); }
    virtual ~RefCounted() { UnlockModule(); }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    ULONG AddRefImpl() noexcept { return ++m_count; }
    ULONG ReleaseImpl() noexcept
    {
        const ULONG count = --m_count;
        if (count == 0) {
            delete this;
        }
        return count;
    }

private:
    std::atomic<ULONG> m_count{1};
};

// Declares IUnknown for a class with one interface chain `Interface` (its bases are answered too when
// listed in the QueryInterface table the class gives).
#define VORREL_IUNKNOWN()                                                                   \
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }                      \
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }                    \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override

// Hands out `pointer` after an AddRef when `iid` is one of `ids`.
template <typename T>
HRESULT AnswerInterface(T* pointer, REFIID iid, std::initializer_list<const IID*> ids, void** out) noexcept
{
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    for (const IID* id : ids) {
        if (IsEqualIID(iid, *id)) {
            pointer->AddRef();
            *out = pointer;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

// Creates an object with `new (std::nothrow)` and hands out the interface asked for.
template <typename T, typename... Args>
HRESULT CreateObject(REFIID iid, void** out, Args&&... args) noexcept
{
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    T* object = nullptr;
    try {
        object = new T(std::forward<Args>(args)...);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

// Copies `text` into a caller's buffer of `capacity` characters, always terminated.
HRESULT CopyOut(const std::wstring& text, LPWSTR buffer, UINT capacity) noexcept;

}  // namespace vorrel
