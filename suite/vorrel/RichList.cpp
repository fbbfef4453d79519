// The rich list: rows stacked from the top, child rows below their open folder row, a selection that
// a press sets, and scrolling when the rows reach below the list. A top-level row that the program
// placed lower than the stack would put it (a pane's second header at a fixed distance) keeps that
// distance from the list's top; rows placed at or above their stacked place are stacked.

#include <algorithm>
#include <map>

#include "suite/vorrel/ControlKinds.h"
#include "suite/vorrel/ControlObject.h"

namespace vorrel {

using namespace vorrelUI;

namespace {

class ListControl final : public ContainerObject<Ivorrel_list> {
public:
    explicit ListControl(std::wstring theme) : ContainerObject(ControlKind::List, std::move(theme)) {}
    bool AnswersInterface(REFIID iid) const noexcept override
    {
        return IsEqualIID(iid, IID_Ivorrel_container) || IsEqualIID(iid, IID_Ivorrel_list);
    }
    HRESULT STDMETHODCALLTYPE GetSelected(Ivorrel_control** row) override
    {
        if (!row) {
            return E_POINTER;
        }
        *row = nullptr;
        return m_selected ? HandOut(m_selected, row) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE CancelTracking() override
    {
        ClearState(this, kStateHover | kStatePressed);
        if (m_selected) {
            m_selected->m_state |= kStatePressed;  // the selection stays marked
        }
        Invalidate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AttachHeader(Ivorrel_control* header) override
    {
        ControlNode* node = ControlNode::From(header);
        if (!node) {
            return E_INVALIDARG;
        }
        m_header = veyra::ComPtr<Ivorrel_control>::Copy(node->Control());
        return S_OK;
    }
    [[nodiscard]] bool Scrolls() const noexcept override { return true; }

    void Arrange() override
    {
        LONG top = m_rect.top;
        for (ControlNode* row : m_children) {
            row->m_childRow = false;
            // First seen: where the program put it, measured from the list's top.
            const LONG requested = m_requestedTops.try_emplace(row, row->m_rect.top - m_rect.top).first->second;
            if (row->Visible()) {
                top = Place(row, std::max(top, m_rect.top + requested));
            }
        }
        SetScrollPosition(m_scrollPosition);
    }
    void DrawnChildren(std::vector<ControlNode*>& out) const override
    {
        for (ControlNode* row : m_children) {
            Flatten(row, out);
        }
    }
    void OnPress(ControlNode* hit) override
    {
        ControlNode* row = RowOf(hit);
        if (m_selected == row) {
            return;
        }
        if (m_selected) {
            m_selected->m_state &= ~kStatePressed;
            m_selected->Invalidate();
        }
        m_selected = row;  // a press beside the rows clears the selection
        if (row) {
            row->m_state |= kStatePressed;
            row->Invalidate();
        }
    }
    void OnClick(ControlNode*) override {}  // the press was the list's event
    void OnDescendantRemoved(ControlNode* removed) noexcept override
    {
        if (Inside(m_selected, removed)) {
            m_selected = nullptr;
        }
        m_requestedTops.erase(removed);
    }

private:
    static bool Inside(const ControlNode* node, const ControlNode* subtree) noexcept
    {
        for (const ControlNode* up = node; up; up = up->m_parent) {
            if (up == subtree) {
                return true;
            }
        }
        return false;
    }
    static bool Open(const ControlNode* row) noexcept { return (row->m_state & kStateExpanded) != 0; }

    // Stacks a row at `top` with its own height; an open row's child rows follow it. A row keeps its
    // indent but never starts left of the list, and reaches the list's right edge.
    LONG Place(ControlNode* row, LONG top)
    {
        const LONG height = row->m_rect.bottom - row->m_rect.top;
        row->Translate(std::max<LONG>(0, m_rect.left - row->m_rect.left), top - row->m_rect.top);
        row->m_rect.right = m_rect.right;
        top += height;
        for (ControlNode* child : row->m_children) {
            child->m_childRow = IsChildRowOf(*row, *child);
            if (child->m_childRow && child->Visible() && Open(row)) {
                top = Place(child, top);
            }
        }
        return top;
    }
    static void Flatten(ControlNode* row, std::vector<ControlNode*>& out)
    {
        if (!row->Visible()) {
            return;
        }
        out.push_back(row);
        if (!Open(row)) {
            return;
        }
        for (ControlNode* child : row->m_children) {
            if (child->m_childRow) {
                Flatten(child, out);
            }
        }
    }
    // The row that holds `hit`: the innermost list row or child row on its way up.
    ControlNode* RowOf(ControlNode* hit) const noexcept
    {
        for (ControlNode* node = hit; node && node != this; node = node->m_parent) {
            if (node->m_childRow || node->m_parent == this) {
                return node;
            }
        }
        return nullptr;
    }
    static void ClearState(ControlNode* node, DWORD bits)
    {
        node->m_state &= ~bits;
        for (ControlNode* child : node->m_children) {
            ClearState(child, bits);
        }
    }

    std::map<const ControlNode*, LONG> m_requestedTops;  // top-level rows, by the node (erased when it goes)
    ControlNode* m_selected = nullptr;  // a row below the list (held through the tree; cleared when it goes)
    veyra::ComPtr<Ivorrel_control> m_header;  // it lives in another container: the list holds it too
};

}  // namespace

ControlNode* MakeListNode(const std::wstring& theme)
{
    return MakeNode<ListControl>(theme);
}

}  // namespace vorrel
