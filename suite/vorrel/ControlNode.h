#pragma once
// The state every skin control shares, apart from its COM face: kind, identifier, rectangle (client
// coordinates of the skinned window at every depth), style and state bits, texts, images, the event
// sinks advised on it and its place in the tree. A parent holds a reference on each child; the parent and
// window pointers are borrowed. Controls belong to the thread of their window; only the text may be
// set from another thread (it is under a lock and the repaint is requested with InvalidateRect).

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"
#include "suite/contracts/VorrelInterfaces.h"
#include "suite/vorrel/Resources.h"

namespace vorrel {

enum class ControlKind { Label, Button, Panel, Picture, List, Edit, Progress, ListView, ListHeader, OuterDrawn };

const wchar_t* KindName(ControlKind kind) noexcept;

class SkinWindow;

class ControlNode {
public:
    ControlNode(ControlKind kind, std::wstring themeName);
    virtual ~ControlNode();
    ControlNode(const ControlNode&) = delete;
    ControlNode& operator=(const ControlNode&) = delete;

    // The node behind a control pointer of this library (also through an aggregating outer object);
    // nullptr for anything else.
    static ControlNode* From(IUnknown* control) noexcept;

    // Made known to From() under the control pointer it hands out (by the COM face's constructor).
    void Register(const void* controlPointer);

    virtual vorrelUI::Ivorrel_control* Control() noexcept = 0;
    virtual void Paint(Gdiplus::Graphics& graphics);
    // Called when the node joins or leaves a window (the edit makes its EDIT child here).
    virtual void OnWindowChanged() {}
    // The list stacks its rows after a change.
    virtual void Arrange() {}
    // A click (press and release) on this control; `hit` is the deepest control under the cursor.
    // The default raises event 1 with WM_COMMAND and the identifier.
    virtual void OnClick(ControlNode* hit);
    // Paints what lies over the children (covers).
    virtual void PaintOver(Gdiplus::Graphics& graphics);

    [[nodiscard]] ControlKind Kind() const noexcept { return m_kind; }
    [[nodiscard]] bool IsContainer() const noexcept;
    [[nodiscard]] bool Visible() const noexcept { return (m_style & vorrelUI::kStyleVisible) != 0; }
    [[nodiscard]] bool Disabled() const noexcept { return (m_style & vorrelUI::kStyleDisabled) != 0; }
    [[nodiscard]] std::wstring Text() const;
    void SetTextSafely(const std::wstring& text);  // any thread

    // Tree.
    bool AddChild(ControlNode* child);
    bool RemoveChild(ControlNode* child);
    void RemoveAllChildren();
    void SetWindow(SkinWindow* window);
    ControlNode* FindById(USHORT id) noexcept;
    // The deepest visible, enabled control at the point (this node or a descendant), or nullptr.
    ControlNode* HitTest(POINT point) noexcept;
    void Invalidate() const noexcept;
    void Translate(int dx, int dy) noexcept;  // with every descendant

    // Raises event 1 or 2 to every sink advised on this control.
    void RaiseCommand(UINT message, WPARAM wParam, LPARAM lParam);
    void RaiseState(DWORD state, DWORD changed);
    [[nodiscard]] bool HasSinks() const noexcept { return !m_sinks.empty(); }

    // Drawing helpers for the kinds.
    void DrawText(Gdiplus::Graphics& graphics, const RECT& area, const std::wstring& text, UINT extraFormat = 0) const;
    void DrawImage(Gdiplus::Graphics& graphics, Image* image, const RECT& area, int frame = 0, int frames = 1) const;
    veyra::ComPtr<Image> LookupImage(const std::wstring& name) const;

    ControlKind m_kind;
    USHORT m_id = 0;
    RECT m_rect{};
    DWORD m_style = 0;
    DWORD m_controlStyle = 0;
    DWORD m_state = 0;
    std::wstring m_theme;
    std::wstring m_tooltip;
    std::wstring m_imageName;
    LONG_PTR m_userValue = 0;
    void* m_ownerData = nullptr;
    INT m_option = 0;
    USHORT m_optionPair[2] = {};
    veyra::ComPtr<Image> m_image;
    veyra::ComPtr<Image> m_background;
    veyra::ComPtr<Image> m_cover;
    ControlNode* m_parent = nullptr;
    std::vector<ControlNode*> m_children;  // each holds a reference (Control()->AddRef)
    SkinWindow* m_window = nullptr;
    struct Sink {
        DWORD cookie;
        veyra::ComPtr<IDispatch> dispatch;
    };
    std::vector<Sink> m_sinks;
    DWORD m_nextCookie = 1;

private:
    void RaiseEvent(DISPID id, std::initializer_list<LONG> values);

    mutable std::mutex m_textLock;
    std::wstring m_text;
};

}  // namespace vorrel
