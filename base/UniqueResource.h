#pragma once
// Move-only owners for Win32 handles. Each traits type names its invalid value and how to close;
// closing keeps GetLastError() unchanged so a failure code read after cleanup is still the caller's.

#include <windows.h>

#include <utility>

namespace veyra {

template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : m_value(value) {}
    UniqueResource(UniqueResource&& other) noexcept : m_value(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { reset(); }

    [[nodiscard]] Type get() const noexcept { return m_value; }
    [[nodiscard]] bool valid() const noexcept { return m_value != Traits::Invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    // Closes the current value and hands out its address for a call that fills it.
    [[nodiscard]] Type* put() noexcept
    {
        reset();
        return &m_value;
    }

    [[nodiscard]] Type release() noexcept { return std::exchange(m_value, Traits::Invalid()); }

    void reset(Type value = Traits::Invalid()) noexcept
    {
        Type old = std::exchange(m_value, value);
        if (old != Traits::Invalid()) {
            const DWORD lastError = GetLastError();
            Traits::Close(old);
            SetLastError(lastError);
        }
    }

private:
    Type m_value = Traits::Invalid();
};

namespace traits {

// NULL-invalid handle types.
template <typename T, auto CloseFunction>
struct Simple {
    using Type = T;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { CloseFunction(value); }
};

struct FileHandle {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { CloseHandle(value); }
};

struct FindHandle {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { FindClose(value); }
};

inline void CloseGdiObject(HGDIOBJ object) { DeleteObject(object); }

}  // namespace traits

// NULL-invalid kernel handles: processes, threads, events, mutexes, file mappings.
using UniqueHandle = UniqueResource<traits::Simple<HANDLE, CloseHandle>>;
// INVALID_HANDLE_VALUE-invalid handles from CreateFileW and its kin.
using UniqueFileHandle = UniqueResource<traits::FileHandle>;
using UniqueFindHandle = UniqueResource<traits::FindHandle>;
using UniqueRegKey = UniqueResource<traits::Simple<HKEY, RegCloseKey>>;
using UniqueModule = UniqueResource<traits::Simple<HMODULE, FreeLibrary>>;
using UniqueIcon = UniqueResource<traits::Simple<HICON, DestroyIcon>>;
using UniqueMenu = UniqueResource<traits::Simple<HMENU, DestroyMenu>>;
using UniqueBitmap = UniqueResource<traits::Simple<HBITMAP, traits::CloseGdiObject>>;
using UniqueFont = UniqueResource<traits::Simple<HFONT, traits::CloseGdiObject>>;
using UniqueBrush = UniqueResource<traits::Simple<HBRUSH, traits::CloseGdiObject>>;
using UniquePen = UniqueResource<traits::Simple<HPEN, traits::CloseGdiObject>>;
using UniqueRegion = UniqueResource<traits::Simple<HRGN, traits::CloseGdiObject>>;
// A memory DC from CreateCompatibleDC (a DC from GetDC is released, not deleted: see ScopedGetDC).
using UniqueMemoryDC = UniqueResource<traits::Simple<HDC, DeleteDC>>;
using UniqueGlobal = UniqueResource<traits::Simple<HGLOBAL, GlobalFree>>;
using UniqueLocal = UniqueResource<traits::Simple<HLOCAL, LocalFree>>;
using UniqueWindow = UniqueResource<traits::Simple<HWND, DestroyWindow>>;

}  // namespace veyra
