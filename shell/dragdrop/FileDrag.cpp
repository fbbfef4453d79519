#include "shell/dragdrop/FileDrag.h"

#include <ole2.h>

#include <new>

#include "base/ComPtr.h"
#include "core/shellutil/DesktopMetrics.h"
#include "shell/dragdrop/CDragSourceHelper.h"
#include "shell/dragdrop/CIDataObject.h"
#include "shell/dragdrop/CIDropSource.h"
#include "shell/dragdrop/DragState.h"
#include "shell/dragdrop/DropBlocks.h"

namespace veyra {

namespace {

// Clears the internal-drag values however the drag ends.
class InternalDragScope {
public:
    explicit InternalDragScope(HWND host) noexcept
    {
        DragSourceWindow = host;
        InternalDragFlag = 1;
    }
    ~InternalDragScope()
    {
        DragSourceWindow = nullptr;
        InternalDragFlag = 0;
    }
    InternalDragScope(const InternalDragScope&) = delete;
    InternalDragScope& operator=(const InternalDragScope&) = delete;
};

}  // namespace

int RunFileDrag(HWND host, const std::vector<std::wstring>& paths, FileDragImage image) noexcept
{
    if (paths.empty()) {
        return 0;
    }
    ComPtr<CIDropSource> source;
    ComPtr<CIDataObject> data;
    try {
        source = ComPtr<CIDropSource>::Adopt(new CIDropSource(IsCompositionEnabled() != 0));
        data = ComPtr<CIDataObject>::Adopt(new CIDataObject(source.get()));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    source->SetDataObject(data.get());
    RECT sourceRect{};
    if (const HWND parent = GetParent(host); parent && GetWindowRect(parent, &sourceRect)) {
        source->SetSourceRect(sourceRect.left, sourceRect.top, sourceRect.right, sourceRect.bottom);
    }

    if (image.bitmap) {
        CDragSourceHelper helper;
        // Wine: InitializeFromBitmap answers E_NOTIMPL; the drag then carries no picture.
        static_cast<void>(helper.InitializeFromBitmap(image.bitmap, image.placement.cursor, image.placement.origin,
                                                      data.get(), true, image.colorKey));
    }

    UniqueGlobal block = BuildFileDropBlock(paths);
    if (!block) {
        return 0;
    }
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block.get();
    if (FAILED(data->SetData(&format, &medium, TRUE))) {
        return 0;
    }
    static_cast<void>(block.release());  // the data object owns it now

    DWORD effect = DROPEFFECT_NONE;
    HRESULT result;
    {
        const InternalDragScope internal(host);
        result = DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY, &effect);
    }
    return result == DRAGDROP_S_DROP ? 1 : 0;
}

}  // namespace veyra
