#pragma once
// Scoped pairs of GDI calls: GetDC/ReleaseDC, BeginPaint/EndPaint, SelectObject with the old object put back.

#include <windows.h>

namespace veyra {

class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND hwnd) noexcept : m_hwnd(hwnd), m_hdc(GetDC(hwnd)) {}
    ~ScopedGetDC()
    {
        if (m_hdc) {
            ReleaseDC(m_hwnd, m_hdc);
        }
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    [[nodiscard]] HDC get() const noexcept { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

class ScopedPaint {
public:
    explicit ScopedPaint(HWND hwnd) noexcept : m_hwnd(hwnd) { BeginPaint(hwnd, &m_paint); }
    ~ScopedPaint() { EndPaint(m_hwnd, &m_paint); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    [[nodiscard]] HDC dc() const noexcept { return m_paint.hdc; }
    [[nodiscard]] const RECT& area() const noexcept { return m_paint.rcPaint; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_paint{};
};

class ScopedSelectObject {
public:
    ScopedSelectObject(HDC hdc, HGDIOBJ object) noexcept : m_hdc(hdc), m_old(SelectObject(hdc, object)) {}
    ~ScopedSelectObject()
    {
        if (m_old && m_old != HGDI_ERROR) {
            SelectObject(m_hdc, m_old);
        }
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_old;
};

}  // namespace veyra
