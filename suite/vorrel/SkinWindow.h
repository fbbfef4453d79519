#pragma once
// A skinned window: a layout built into the program's own window. The factory subclasses that window
// (HostHook.h, so the program's procedure still sees every message), removes its frame from
// the client area, sizes it to the layout's bound and paints the control tree double-buffered. Mouse
// input is hit-tested to controls (hover, press, click events, the wheel and scroll bars) and then
// passed on. Tooltips are kept in step with the tree when it paints; anchored controls are laid out
// again when the host is resized. The object belongs to the thread of the host window; it lets go of
// the host when the host is destroyed.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <map>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "suite/contracts/VorrelInterfaces.h"
#include "suite/vorrel/ComObject.h"
#include "suite/vorrel/XmlDocument.h"

namespace vorrel {

class ControlNode;
class ResourcePack;

class SkinWindow final : public vorrelUI::Ivorrel_window, public RefCounted {
public:
    SkinWindow();
    ~SkinWindow() override;

    // Builds the layout file into `host`.
    HRESULT Build(const std::wstring& layoutPath, HWND host);

    VORREL_IUNKNOWN();
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE GetHostWindow(HWND* hwnd) override;
    HRESULT STDMETHODCALLTYPE GetLayoutPath(LPWSTR buffer, UINT capacity) override;
    HRESULT STDMETHODCALLTYPE GetBound(RECT* bound) override;
    HRESULT STDMETHODCALLTYPE GetRoot(vorrelUI::Ivorrel_container** root) override;
    HRESULT STDMETHODCALLTYPE FindControl(USHORT id, vorrelUI::Ivorrel_control** control) override;
    HRESULT STDMETHODCALLTYPE Invalidate() override;
    HRESULT STDMETHODCALLTYPE ReleaseControls() override;
    HRESULT STDMETHODCALLTYPE SetFocusControl(vorrelUI::Ivorrel_control* control) override;
    HRESULT STDMETHODCALLTYPE ForgetControl(vorrelUI::Ivorrel_control* control) override;
    HRESULT STDMETHODCALLTYPE Show(BOOL show) override;
    HRESULT STDMETHODCALLTYPE SetCaption(LPCWSTR text) override;
    HRESULT STDMETHODCALLTYPE DumpControlTree(LPCWSTR path) override;

    // For the controls.
    [[nodiscard]] HWND Host() const noexcept { return m_host; }
    [[nodiscard]] ResourcePack* Pack() const noexcept { return m_pack.get(); }
    void InvalidateArea(const RECT& area) const noexcept;
    void Forget(ControlNode* node) noexcept;

    // The control tree as text: one line per control, indented by depth (UTF-8; ControlTreeDump.cpp).
    [[nodiscard]] std::string TreeText() const;

    // Every message of the host, before the host's own procedure (HostHook.cpp calls it).
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void BuildChildren(const XmlElement& element, ControlNode* parent);
    void ApplyAttributes(const XmlElement& element, ControlNode* node);
    void Paint();
    void PaintNode(Gdiplus::Graphics& graphics, ControlNode* node, const RECT& dirty);
    void Relayout(int width, int height);
    // Input (SkinWindowInput.cpp).
    LRESULT HandleMouse(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnMouseMove(POINT point);
    void OnButtonDown(POINT point);
    void OnButtonUp(POINT point);
    bool OnWheel(POINT screenPoint, int delta);
    void OnCaptureLost();
    void SetHover(ControlNode* hit);
    bool StartBarDrag(POINT point);
    void HoldMouse() noexcept;
    ControlNode* PressTarget(ControlNode* hit) const noexcept;
    // Tooltips (SkinWindowTools.cpp).
    struct Tool {
        RECT rect;
        std::wstring text;
    };
    void SyncTools();
    void CollectTools(ControlNode* node, int offset, const RECT& clip, std::map<ControlNode*, Tool>& wanted) const;
    void DropTool(ControlNode* node) noexcept;
    void Detach() noexcept;
    void DumpIfAsked();
    HRESULT DumpOnRequest(const std::wstring& path);

    HWND m_host = nullptr;
    std::wstring m_layoutPath;
    RECT m_bound{};
    std::wstring m_theme;
    bool m_shown = false;
    veyra::ComPtr<ResourcePack> m_pack;
    ControlNode* m_root = nullptr;  // one reference
    // Borrowed: Forget() clears them before a control leaves the tree.
    ControlNode* m_hover = nullptr;    // the deepest control under the cursor; its ancestors are hovered too
    ControlNode* m_pressed = nullptr;  // the control a press landed on, until the button goes up
    ControlNode* m_focus = nullptr;
    ControlNode* m_barDrag = nullptr;  // a scrolling control whose bar thumb is being dragged
    LONG m_barGrab = 0;                // cursor distance below the thumb's top
    bool m_captured = false;
    HWND m_tooltip = nullptr;
    std::map<ControlNode*, Tool> m_tools;
    // The box asked to be repainted since the last paint: a change inside it asks nothing more.
    mutable RECT m_pendingPaint{};
};

class WindowFactory final : public vorrelUI::Ivorrel_winfactory, public RefCounted {
public:
    VORREL_IUNKNOWN();
    HRESULT STDMETHODCALLTYPE CreateSkinWindow(LPCWSTR layoutPath, HWND parent, UINT flags,
                                               vorrelUI::Ivorrel_window** window) override;
};

}  // namespace vorrel
