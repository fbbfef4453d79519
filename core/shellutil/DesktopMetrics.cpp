#include "core/shellutil/DesktopMetrics.h"

#include <shlwapi.h>

#include "base/FixedPath.h"
#include "base/ScopedGdi.h"
#include "base/UniqueResource.h"

namespace veyra {

int MeasureLabelWidth(HWND window, const wchar_t* text) noexcept
{
    if (!text) {
        return 0;
    }
    const ScopedGetDC dc(window);
    const UniqueFont font(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"微软雅黑"));
    if (!dc.get() || !font) {
        return 0;
    }
    const ScopedSelectObject select(dc.get(), font.get());
    RECT area = {0, 0, 72, 17};
    if (DrawTextW(dc.get(), text, -1, &area, DT_CALCRECT) == 0) {
        return 0;
    }
    return area.right - area.left;
}

int IsCompositionEnabled() noexcept
{
    using DwmIsCompositionEnabledFunction = HRESULT(WINAPI*)(BOOL*);
    wchar_t path[kMaxPathChars] = {};
    const UINT length = GetSystemDirectoryW(path, kMaxPathChars);
    if (length == 0 || length >= kMaxPathChars || !PathAppendW(path, L"dwmapi.dll")) {
        return 0;
    }
    UniqueModule library(LoadLibraryW(path));
    auto isEnabled = library ? reinterpret_cast<DwmIsCompositionEnabledFunction>(reinterpret_cast<void*>(
                                   GetProcAddress(library.get(), "DwmIsCompositionEnabled")))
                             : nullptr;
    BOOL enabled = FALSE;
    if (!isEnabled || FAILED(isEnabled(&enabled))) {
        return 0;
    }
    static_cast<void>(library.release());  // stays loaded after a successful call
    return enabled ? 1 : 0;
}

}  // namespace veyra
