#include "tests/shell/dragdrop/DragTestSupport.h"

#include <cstring>

#include "core/shellutil/DroppedPaths.h"
#include "shell/dragdrop/DragState.h"
#include "shell/protocol/WindowProtocol.h"

namespace veyra::test {

ComPtr<CIDataObject> MakeFileDataObject(const std::vector<std::wstring>& paths)
{
    ComPtr<CIDataObject> data = ComPtr<CIDataObject>::Adopt(new CIDataObject());
    UniqueGlobal block = BuildFileDropBlock(paths);
    if (block) {
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = block.get();
        if (SUCCEEDED(data->SetData(&format, &medium, TRUE))) {
            static_cast<void>(block.release());
        }
    }
    return data;
}

HRESULT SetGlobalData(IDataObject* data, CLIPFORMAT format, const void* bytes, size_t size)
{
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, size ? size : 1));
    if (!block) {
        return E_OUTOFMEMORY;
    }
    if (void* at = GlobalLock(block.get())) {
        std::memcpy(at, bytes, size);
        GlobalUnlock(block.get());
    }
    FORMATETC entry = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block.get();
    const HRESULT result = data->SetData(&entry, &medium, TRUE);
    if (SUCCEEDED(result)) {
        static_cast<void>(block.release());
    }
    return result;
}

std::optional<DropDescriptionRecord> ReadDescription(IDataObject* data)
{
    FORMATETC format = {DropDescriptionFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium))) {
        return std::nullopt;
    }
    std::optional<DropDescriptionRecord> record;
    if (medium.tymed == TYMED_HGLOBAL && GlobalSize(medium.hGlobal) == sizeof(DropDescriptionRecord)) {
        if (const void* at = GlobalLock(medium.hGlobal)) {
            record.emplace();
            std::memcpy(&*record, at, sizeof(DropDescriptionRecord));
            GlobalUnlock(medium.hGlobal);
        }
    }
    ReleaseStgMedium(&medium);
    return record;
}

void RecordingCallbacks::DragOverTarget(IDataObject*, const std::vector<std::wstring>& paths, POINT clientPoint,
                                        DWORD& effect, std::wstring& targetPath, int& noMove)
{
    stepPaths = paths;
    steps.push_back(clientPoint);
    ++stepCount;
    offered.push_back(effect);
    effect = answerEffect;
    if (!answerTarget.empty()) {
        targetPath = answerTarget;
    }
    noMove = answerNoMove;
}

void RecordingCallbacks::Clear()
{
    answerEffect = DROPEFFECT_COPY;
    answerTarget.clear();
    answerNoMove = 0;
    steps.clear();
    offered.clear();
    drops.clear();
    stepPaths.clear();
    stepCount = 0;
    ended = 0;
}

void RecordingCallbacks::DropOnTarget(IDataObject* dataObject, const std::vector<std::wstring>& paths,
                                      const std::wstring& targetPath, int move)
{
    DropCall call{targetPath, move, paths, {}, InternalDragFlag, DragSourceWindow};
    GetDroppedPaths(dataObject, call.readBack);
    drops.push_back(std::move(call));
}

}  // namespace veyra::test

namespace veyra::test {

RecordingWindow::RecordingWindow(int x, int y, int width, int height, DWORD style)
{
    WindowPlacement placement;
    placement.style = style;
    placement.x = x;
    placement.y = y;
    placement.width = width;
    placement.height = height;
    static_cast<void>(Create(WindowClass{L"VeyraDragTestWindow"}, L"drag test", placement));
}

LRESULT RecordingWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_USER && message < 0xC000) {
        received.push_back(message);
        return 0;
    }
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        HostWindowEntry entry{};
        if (CheckRegistration(data, entry) == RecordCheck::Accepted ||
            CheckUnregistration(data, entry) == RecordCheck::Accepted) {
            registrations.emplace_back(data->dwData, entry.window);
            return 1;
        }
    }
    return DefaultProc(message, wParam, lParam);
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace veyra::test
