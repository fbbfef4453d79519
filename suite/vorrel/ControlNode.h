#pragma once
// The state every skin control shares, apart from its COM face: kind, identifier, rectangle (client
// coordinates of the skinned window at every depth), style and state bits, texts, images, the event
// sinks advised on it and its place in the tree. A parent holds a reference on each child; the parent and
// window pointers are borrowed. Controls belong to the thread of their window; only the text and the
// tooltip may be set from another thread (they are under a lock and the repaint is requested with
// InvalidateRect; the window's thread picks the tooltip up when it paints).
//
// Scrolling: a node that scrolls (a list, a panel with control style 1) shows its children moved up by
// twice its scroll position; the children's rectangles stay where the program placed them ("content"
// coordinates), so painting, hit testing, invalidation and tooltips add the offsets of the scrolling
// ancestors.

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

inline constexpr UINT kAnchorLeft = 1, kAnchorTop = 2, kAnchorRight = 4, kAnchorBottom = 8;
// "left,top,right" and the like; unknown words are ignored.
UINT ParseAnchor(const std::wstring& text) noexcept;


class SkinWindow;

// The device context under a Graphics, carrying its translation and clip, for GDI drawing (texts, the
// program's outer drawing); the context's state is put back when it goes.
class GraphicsDc {
public:
    explicit GraphicsDc(Gdiplus::Graphics& graphics);
    ~GraphicsDc();
    GraphicsDc(const GraphicsDc&) = delete;
    GraphicsDc& operator=(const GraphicsDc&) = delete;
    [[nodiscard]] HDC get() const noexcept { return m_hdc; }

private:
    Gdiplus::Graphics& m_graphics;
    HDC m_hdc = nullptr;
    int m_saved = 0;
};

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
    // The frame every control paints: theme colours, background picture, `image` stretched over the
    // control (none for a control that draws its own image another way), cover and border.
    void PaintFrame(Gdiplus::Graphics& graphics, Image* image);
    // Called when the node joins or leaves a window (the edit makes its EDIT child here).
    virtual void OnWindowChanged() {}
    // The list stacks its rows after a change.
    virtual void Arrange() {}
    // A click (press and release) on this control; `hit` is the deepest control under the cursor.
    // The default raises event 1 with WM_COMMAND and the identifier.
    virtual void OnClick(ControlNode* hit);
    // Paints what lies over the children (the scroll bar).
    virtual void PaintOver(Gdiplus::Graphics& graphics);
    // The children that are drawn and hit, bottom first (a list flattens its expanded rows here).
    virtual void DrawnChildren(std::vector<ControlNode*>& out) const;
    // Whether a press or hover can land on this control (labels give theirs to their parent).
    [[nodiscard]] virtual bool TakesMouse() const noexcept { return true; }
    // Called on the nearest list (or any ancestor) when `removed` leaves the subtree below it.
    virtual void OnDescendantRemoved(ControlNode*) noexcept {}
    // The EDIT child follows a new identifier.
    virtual void OnIdChanged() {}
    // A mouse press on the control, before its state changes; `hit` is the deepest control under it.
    virtual void OnPress(ControlNode*) {}
    // Fields of the kind for the control-tree dump ("\tkey=value" each).
    [[nodiscard]] virtual std::string DumpFields() const { return {}; }
    // The program's drawing of an outer-drawn control into `hdc` (false for the other kinds).
    virtual bool DrawOuter(HDC) { return false; }

    // Scrolling (positions in units of 2 pixels).
    [[nodiscard]] virtual bool Scrolls() const noexcept { return false; }
    [[nodiscard]] int ScrollOffset() const noexcept { return Scrolls() ? 2 * m_scrollPosition : 0; }
    [[nodiscard]] int ScrollRange() const;  // the largest position
    void SetScrollPosition(int position);
    // Sum of the scroll offsets of the ancestors: content y minus this is window y.
    [[nodiscard]] int ViewOffset() const noexcept;
    // The rectangle as shown in the window (moved by the ancestors' scrolling).
    [[nodiscard]] RECT ShownRect() const noexcept;
    // The scroll bar strip at the right edge, in this node's own coordinates; empty when nothing scrolls.
    [[nodiscard]] RECT ScrollBarRect() const;
    [[nodiscard]] RECT ScrollThumbRect() const;
    // The nearest list at or above this node.
    [[nodiscard]] ControlNode* ListAbove() noexcept;

    [[nodiscard]] ControlKind Kind() const noexcept { return m_kind; }
    [[nodiscard]] bool IsContainer() const noexcept;
    [[nodiscard]] bool Visible() const noexcept { return (m_style & vorrelUI::kStyleVisible) != 0; }
    [[nodiscard]] bool Disabled() const noexcept { return (m_style & vorrelUI::kStyleDisabled) != 0; }
    [[nodiscard]] std::wstring Text() const;
    // The text as the user sees it (an edit's live text).
    [[nodiscard]] virtual std::wstring ShownText() const { return Text(); }
    void SetTextSafely(const std::wstring& text);  // any thread
    [[nodiscard]] std::wstring Tooltip() const;
    void SetTooltipSafely(const std::wstring& text);  // any thread

    // Tree.
    bool AddChild(ControlNode* child);
    bool RemoveChild(ControlNode* child);
    void RemoveAllChildren();
    void SetWindow(SkinWindow* window);
    // Tells the whole subtree that its window's host came or went.
    void HostChanged();
    ControlNode* FindById(USHORT id) noexcept;
    // The deepest visible, enabled control that takes the mouse at the point (this node or a
    // descendant), or nullptr; the point is in this node's coordinates (its parent's content).
    ControlNode* HitTest(POINT point);
    void Invalidate() const noexcept;
    // From any thread: another thread than the host's asks for the whole window, without walking the tree.
    void InvalidateFromAnyThread() const noexcept;
    void Translate(int dx, int dy) noexcept;  // with every descendant

    // Raises event 1 or 2 to every sink advised on this control.
    void RaiseCommand(UINT message, WPARAM wParam, LPARAM lParam);
    void RaiseState(DWORD set, DWORD cleared);
    // Sets and clears state bits; raises event 2 with what really changed when `raise`.
    void ChangeState(DWORD set, DWORD clear, bool raise);
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
    std::vector<const void*> m_registeredAs;  // the index keys this node was registered under
    std::wstring m_imageName;
    LONG_PTR m_userValue = 0;
    void* m_ownerData = nullptr;
    INT m_option = 0;
    USHORT m_optionPair[2] = {};
    veyra::ComPtr<Image> m_image;
    veyra::ComPtr<Image> m_background;
    veyra::ComPtr<Image> m_cover;
    int m_scrollPosition = 0;
    bool m_childRow = false;  // a row inside a list row (set by the list)
    UINT m_anchor = 0;        // kAnchor* bits from the layout; 0: not laid out again on resizing
    RECT m_layoutRect{};      // the layout's bound, the base of anchoring
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
    [[nodiscard]] std::wstring ReadLocked(const std::wstring& field) const;
    void WriteLocked(std::wstring& field, const std::wstring& text);

    mutable std::mutex m_textLock;
    std::wstring m_text;
    std::wstring m_tooltip;
};

// A row of a list holds child rows: its panels that reach its right edge and are at least three quarters
// as wide as itself (other panels are cells of the row).
[[nodiscard]] bool IsChildRowOf(const ControlNode& row, const ControlNode& child) noexcept;

}  // namespace vorrel
