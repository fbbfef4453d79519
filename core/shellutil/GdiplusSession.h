#pragma once
// GDI+ started for as long as the object lives. Every image function of the shell utilities needs one
// in the process (the program holds one for its whole life; each test program holds one too).

#include <windows.h>
#include <objidl.h>

#include <gdiplus.h>

namespace veyra {

class GdiplusSession {
public:
    GdiplusSession() noexcept
    {
        Gdiplus::GdiplusStartupInput input;
        m_started = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession()
    {
        if (m_started) {
            Gdiplus::GdiplusShutdown(m_token);
        }
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    [[nodiscard]] bool Started() const noexcept { return m_started; }

private:
    ULONG_PTR m_token = 0;
    bool m_started = false;
};

}  // namespace veyra
