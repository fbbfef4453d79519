#include "shell/dragdrop/CIDropTarget.h"

#include <shlguid.h>

#include <new>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/shellutil/DroppedPaths.h"
#include "shell/dragdrop/DropBlocks.h"
#include "shell/dragdrop/DropDecision.h"

namespace veyra {

CIDropTarget::CIDropTarget(HWND targetWindow) noexcept : ComObject(IID_IDropTarget), m_targetWindow(targetWindow)
{
    if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper,
                                m_helper.put_void()))) {
        m_helper.reset();
    }
}

void CIDropTarget::AddAcceptedFormat(const FORMATETC& format)
{
    FORMATETC copy = format;
    copy.ptd = nullptr;
    m_acceptedFormats.push_back(copy);
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragEnter(IDataObject* dataObject, DWORD, POINTL point, DWORD* effect)
{
    if (!dataObject) {
        return E_INVALIDARG;
    }
    if (!effect) {
        return E_POINTER;
    }
    const ComPtr<CIDropTarget> self = ComPtr<CIDropTarget>::Copy(this);  // a callback may let the window go
    m_move = false;
    m_dataObject = ComPtr<IDataObject>::Copy(dataObject);
    if (m_helper) {
        POINT at{point.x, point.y};
        m_helper->DragEnter(m_targetWindow, dataObject, &at, *effect);
    }
    m_formatAccepted = false;
    m_acceptedIndex = -1;
    m_paths.clear();
    for (std::size_t index = 0; index < m_acceptedFormats.size(); ++index) {
        if (dataObject->QueryGetData(&m_acceptedFormats[index]) == S_OK) {
            m_formatAccepted = true;
            m_acceptedIndex = static_cast<int>(index);
            break;
        }
    }
    if (m_formatAccepted) {
        // Once per drag: the steps run at every pointer move, over lists of any length.
        GetDroppedPaths(dataObject, m_paths);
    }
    DragOverStep(point, *effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragOver(DWORD, POINTL point, DWORD* effect)
{
    if (!effect) {
        return E_POINTER;
    }
    const ComPtr<CIDropTarget> self = ComPtr<CIDropTarget>::Copy(this);
    if (m_helper) {
        POINT at{point.x, point.y};
        m_helper->DragOver(&at, *effect);
    }
    DragOverStep(point, *effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragLeave()
{
    if (m_helper) {
        m_helper->DragLeave();
    }
    EndDrag();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::Drop(IDataObject* dataObject, DWORD, POINTL point, DWORD* effect)
{
    if (!dataObject) {
        return E_INVALIDARG;
    }
    if (!effect) {
        return E_POINTER;
    }
    const ComPtr<CIDropTarget> self = ComPtr<CIDropTarget>::Copy(this);
    if (!m_dataObject) {
        m_dataObject = ComPtr<IDataObject>::Copy(dataObject);
    }
    if (m_helper) {
        POINT at{point.x, point.y};
        m_helper->Drop(dataObject, &at, *effect);
    }
    // The drop's own step decides: a move seen earlier in the drag does not turn this copy into a move.
    if (DragOverStep(point, *effect) && m_formatAccepted && m_callbacks) {
        try {
            const std::wstring target = m_currentTargetPath;
            m_callbacks->DropOnTarget(dataObject, m_paths, target, m_move ? 1 : 0);
        } catch (...) {
            *effect = DROPEFFECT_NONE;
        }
    }
    EndDrag();
    return S_OK;
}

void CIDropTarget::EndDrag() noexcept
{
    if (m_callbacks) {
        try {
            m_callbacks->DragEnded();
        } catch (...) {  // no exception leaves a COM method
        }
    }
    m_formatAccepted = false;
    m_acceptedIndex = -1;
    m_dataObject.reset();
    m_paths.clear();
}

bool CIDropTarget::DragOverStep(POINTL point, DWORD& effect)
{
    try {
        return DecideStep(point, effect);
    } catch (...) {
        effect = DROPEFFECT_NONE;  // no exception leaves a COM method
        return false;
    }
}

bool CIDropTarget::DecideStep(POINTL point, DWORD& effect)
{
    if (!m_formatAccepted || !m_callbacks) {  // without its window nobody could perform the drop
        effect = DROPEFFECT_NONE;
        return false;
    }
    POINT client{point.x, point.y};
    ScreenToClient(m_targetWindow, &client);
    m_currentTargetPath = m_defaultTargetPath;
    int noMove = 0;
    m_callbacks->DragOverTarget(m_dataObject.get(), m_paths, client, effect, m_currentTargetPath, noMove);
    const std::wstring insert =
        m_currentTargetPath.empty() ? std::wstring() : CSandBoxFileSystem::Instance().GetDisplayName(m_currentTargetPath);
    const DropStep step = DecideDropStep(m_currentTargetPath, insert, effect, noMove != 0);
    SetDescription(step.type, step.message, step.insert);
    m_move = step.move;
    effect = step.reportedEffect;
    return effect != DROPEFFECT_NONE;
}

void CIDropTarget::SetDescription(DropImage type, const std::wstring& message, const std::wstring& insert) const noexcept
{
    if (!m_dataObject) {
        return;
    }
    UniqueGlobal block = BuildDropDescription(type, message, insert);
    FORMATETC format = {DropDescriptionFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (!block || format.cfFormat == 0) {
        return;
    }
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block.get();
    if (SUCCEEDED(m_dataObject->SetData(&format, &medium, TRUE))) {
        static_cast<void>(block.release());  // the data object owns it now
    }
}

}  // namespace veyra
