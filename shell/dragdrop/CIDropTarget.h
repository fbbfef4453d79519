#pragma once
// The drop target of a view's host window. OLE calls it on the thread that registered it (the UI
// thread); it asks the window, through DropCallbacks, where a drop goes and what it does, shows the
// shell's drop description and hands the drop to the window. Owned by its references: the window keeps
// one through DropTargetRegistration, OLE another while registered.

#include <oleidl.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "shell/dragdrop/DropBlocks.h"
#include "shell/dragdrop/ComObject.h"

namespace veyra {

// Supplied by the window that owns the target; called on the UI thread from inside OLE's drag loop, so
// an implementation must not hold item pointers across calls. `paths` are the drag's file names, read
// once when the drag entered (empty when its file list holds none).
class DropCallbacks {
public:
    // Decides the effect at `clientPoint` (it enters as what the drag offers) and may replace the target
    // path (it enters as the window's folder). noMove 1: the drop would land where it came from.
    virtual void DragOverTarget(IDataObject* dataObject, const std::vector<std::wstring>& paths, POINT clientPoint,
                                DWORD& effect, std::wstring& targetPath, int& noMove) = 0;
    // Performs the drop; move is 1 when the target decided on a move.
    virtual void DropOnTarget(IDataObject* dataObject, const std::vector<std::wstring>& paths,
                              const std::wstring& targetPath, int move) = 0;
    // The drag left the window or was released over it (after DropOnTarget, when that was called):
    // whatever the steps showed goes.
    virtual void DragEnded() = 0;

protected:
    ~DropCallbacks() = default;
};

class CIDropTarget final : public ComObject<IDropTarget> {
public:
    explicit CIDropTarget(HWND targetWindow) noexcept;

    void AddAcceptedFormat(const FORMATETC& format);
    void SetDefaultTargetPath(std::wstring path) { m_defaultTargetPath = std::move(path); }
    // Borrowed; the window clears it (nullptr) before it goes away.
    void SetCallbacks(DropCallbacks* callbacks) noexcept { m_callbacks = callbacks; }

    [[nodiscard]] const std::wstring& CurrentTargetPath() const noexcept { return m_currentTargetPath; }
    [[nodiscard]] bool MoveFlag() const noexcept { return m_move; }

    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* dataObject, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* dataObject, DWORD keyState, POINTL point, DWORD* effect) override;

private:
    ~CIDropTarget() override = default;
    bool DragOverStep(POINTL point, DWORD& effect);
    bool DecideStep(POINTL point, DWORD& effect);
    void SetDescription(DropImage type, const std::wstring& message, const std::wstring& insert) const noexcept;
    void EndDrag() noexcept;

    bool m_formatAccepted = false;
    std::wstring m_defaultTargetPath;
    std::wstring m_currentTargetPath;
    ComPtr<IDropTargetHelper> m_helper;
    std::vector<FORMATETC> m_acceptedFormats;
    int m_acceptedIndex = -1;
    bool m_move = false;
    HWND m_targetWindow;
    ComPtr<IDataObject> m_dataObject;
    std::vector<std::wstring> m_paths;
    DropCallbacks* m_callbacks = nullptr;
};

}  // namespace veyra
