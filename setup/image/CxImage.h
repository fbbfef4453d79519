#pragma once
// The installer's small image library: one picture decoded from a resource (PNG, JPEG, BMP, GIF: the
// format is found from the data when the caller passes CXIMAGE_FORMAT_UNKNOWN) and drawn into a DC.
// Decoding goes through GDI+ once, into a premultiplied 32-bit DIB section, so drawing needs only GDI
// and the decoder's stream need not outlive the load. Owned by the window that shows it; UI thread.

#include <windows.h>

#include <cstdint>

#include "base/UniqueResource.h"

enum ENUM_CXIMAGE_FORMATS : uint32_t {
    CXIMAGE_FORMAT_UNKNOWN = 0,
    CXIMAGE_FORMAT_BMP = 1,
    CXIMAGE_FORMAT_GIF = 2,
    CXIMAGE_FORMAT_JPG = 3,
    CXIMAGE_FORMAT_PNG = 4,
};

class CxImage {
public:
    CxImage() = default;
    CxImage(const CxImage&) = delete;
    CxImage& operator=(const CxImage&) = delete;

    // Decodes the resource `hRes` of `hModule` (nullptr: the program's own module). A format other than
    // CXIMAGE_FORMAT_UNKNOWN must match the data. Replaces any earlier picture; false leaves none.
    bool LoadResource(HRSRC hRes, uint32_t imagetype, HMODULE hModule = nullptr) noexcept;
    // Decodes a picture held in memory, with the same rules.
    bool Decode(const void* data, uint32_t size, uint32_t imagetype) noexcept;

    // Draws the picture with its top left at (x, y), stretched to cx x cy (-1: the picture's own size),
    // blending its alpha over what the DC holds. Returns 1, or 0 when there is no picture or GDI fails.
    long Draw(HDC hdc, long x, long y, long cx = -1, long cy = -1) const noexcept;

    [[nodiscard]] bool IsValid() const noexcept { return m_bitmap.valid(); }
    [[nodiscard]] uint32_t GetWidth() const noexcept { return m_width; }
    [[nodiscard]] uint32_t GetHeight() const noexcept { return m_height; }
    // The format the data turned out to be (CXIMAGE_FORMAT_UNKNOWN without a picture).
    [[nodiscard]] uint32_t GetType() const noexcept { return m_type; }

private:
    void Clear() noexcept;

    veyra::UniqueBitmap m_bitmap;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint32_t m_type = CXIMAGE_FORMAT_UNKNOWN;
};
