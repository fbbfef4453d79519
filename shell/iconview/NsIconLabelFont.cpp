#include "shell/iconview/NsIconLabelFont.h"

#include "base/UniqueResource.h"

namespace veyra {

HFONT IconLabelFont() noexcept
{
    static const UniqueFont font(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                             DEFAULT_PITCH | FF_SWISS, kLabelFontFace));
    return font.get();
}

HDC IconLabelMeasureDc() noexcept
{
    static const UniqueMemoryDC dc = [] {
        UniqueMemoryDC made(CreateCompatibleDC(nullptr));
        if (made && IconLabelFont()) {
            SelectObject(made.get(), IconLabelFont());  // both kept for the process: never selected out
        }
        return made;
    }();
    return dc.get();
}

}  // namespace veyra
