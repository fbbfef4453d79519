#pragma once
// The shell's drag-image service for one drag: the newer helper interface when the system has it, else
// the older one, else none (the drag then runs without an image). UI thread, COM initialised.

#include <windows.h>

#include <shobjidl.h>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"

namespace veyra {

class CDragSourceHelper {
public:
    CDragSourceHelper() noexcept;

    [[nodiscard]] bool HasHelper() const noexcept { return m_helper2 || m_helper; }

    // Gives the helper the drag image. `bitmap` is handed over on success (the helper then owns it) and
    // stays with the caller otherwise. E_FAIL without a helper.
    [[nodiscard]] HRESULT InitializeFromBitmap(UniqueBitmap& bitmap, POINT cursor, POINT imageOrigin,
                                               IDataObject* dataObject, bool allowDescription,
                                               COLORREF colorKey) noexcept;

private:
    ComPtr<IDragSourceHelper2> m_helper2;
    ComPtr<IDragSourceHelper> m_helper;
};

}  // namespace veyra
