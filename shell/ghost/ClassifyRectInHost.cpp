#include "shell/ghost/ClassifyRectInHost.h"

namespace veyra {

namespace {

bool InHalfOpen(LONG value, LONG low, LONG high) noexcept
{
    return value >= low && value < high;
}

bool InHalfOpenAbove(LONG value, LONG low, LONG high) noexcept
{
    return value > low && value <= high;
}

}  // namespace

RECT WorkBandOf(const RECT& hostRect) noexcept
{
    return RECT{hostRect.left, hostRect.top + kHostTitleHeight, hostRect.right, hostRect.bottom - kHostTaskbarHeight};
}

int ClassifyRectInHost(const RECT& band, const RECT& window, RECT& out) noexcept
{
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    const bool overlapsHorizontally = InHalfOpen(window.left, band.left, band.right) ||
                                      InHalfOpenAbove(window.right, band.left, band.right);
    const bool overlapsVertically = InHalfOpen(window.top, band.top, band.bottom) ||
                                    InHalfOpenAbove(window.bottom, band.top, band.bottom);
    if (!overlapsHorizontally || !overlapsVertically) {
        return kRectOutside;
    }
    const bool topInBand = InHalfOpen(window.top, band.top, band.bottom);
    if (topInBand && InHalfOpen(window.left, band.left, band.right)) {
        const bool bottomInside = window.bottom <= band.bottom;
        if (window.right <= band.right && bottomInside) {
            out = RECT{0, 0, width, height};
            return kRectInside;
        }
        if (window.right >= band.right) {
            out = RECT{0, 0, band.right - window.left, bottomInside ? height : band.bottom - window.top};
            return kRectClipped;
        }
        out = RECT{0, 0, width, band.bottom - window.top};
        return kRectClipped;
    }
    if (topInBand && InHalfOpen(window.right, band.left, band.right)) {
        out = RECT{band.left - window.left, 0, width, window.bottom > band.bottom ? band.bottom - window.top : height};
        return kRectClipped;
    }
    out = RECT{window.left, band.top, window.right, band.top + height};
    return window.left >= band.left && window.right >= band.right ? kRectMovedDownRight : kRectMovedDown;
}

}  // namespace veyra
