#include "shell/dragdrop/CDragSourceHelper.h"

#include <shlguid.h>

namespace veyra {

CDragSourceHelper::CDragSourceHelper() noexcept
{
    if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper2,
                                m_helper2.put_void()))) {
        m_helper2.reset();
        if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                    m_helper.put_void()))) {
            m_helper.reset();
        }
    }
}

HRESULT CDragSourceHelper::InitializeFromBitmap(UniqueBitmap& bitmap, POINT cursor, POINT imageOrigin,
                                                IDataObject* dataObject, bool allowDescription,
                                                COLORREF colorKey) noexcept
{
    if (!HasHelper()) {
        return E_FAIL;
    }
    if (allowDescription && m_helper2) {
        m_helper2->SetFlags(DSH_ALLOWDROPDESCRIPTIONTEXT);
    }
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap.get(), sizeof(info), &info) == 0) {
        return E_INVALIDARG;
    }
    SHDRAGIMAGE image{};
    image.sizeDragImage = SIZE{info.bmWidth, info.bmHeight};
    image.ptOffset = POINT{cursor.x - imageOrigin.x, cursor.y - imageOrigin.y};
    image.hbmpDragImage = bitmap.get();
    image.crColorKey = colorKey;
    const HRESULT result = m_helper2 ? m_helper2->InitializeFromBitmap(&image, dataObject)
                                     : m_helper->InitializeFromBitmap(&image, dataObject);
    if (SUCCEEDED(result)) {
        static_cast<void>(bitmap.release());  // the helper owns it now
    }
    return result;
}

}  // namespace veyra
