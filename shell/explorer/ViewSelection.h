#pragma once
// The selection of an icon view and how clicks, ranges, hover and the drop highlight change it: the
// selected items in the order they were chosen, the focus, the anchor of Shift ranges, the hover item,
// the drop highlight and the focus mark. A state is shown only by the item's cover image, which the host
// sets. Items are borrowed from the view, which calls Forget before it deletes one. The view calls it on
// the UI thread under its items lock.

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace veyra {

class NsIcon;

// The items of a view in display order; the view owns them.
using ItemList = std::vector<std::unique_ptr<NsIcon>>;

inline constexpr wchar_t kCoverNormal[] = L"IDI_IMAGE_COVER_NORMAL";
inline constexpr wchar_t kCoverClick[] = L"IDI_IMAGE_COVER_CLICK";
inline constexpr wchar_t kCoverLeave[] = L"IDI_IMAGE_COVER_LEAVE";
inline constexpr wchar_t kCoverHover[] = L"IDI_IMAGE_COVER_HOVER";
inline constexpr wchar_t kCoverTaskbar[] = L"IDI_TASKBAR_COVER_NORMAL";

// What the selection asks of its view.
class ViewSelectionHost {
public:
    // Shows `image` (a skin image name) behind the item and refreshes it.
    virtual void SetCover(NsIcon* item, const wchar_t* image) = 0;
    // The item's index in the view's display order, or -1.
    virtual int DisplayIndexOf(NsIcon* item) = 0;
    virtual void SelectionChanged() = 0;

protected:
    ~ViewSelectionHost() = default;
};

enum class ClickModifier { None, Shift, Control };

class ViewSelection {
public:
    explicit ViewSelection(ViewSelectionHost& host) noexcept : m_host(host) {}
    ViewSelection(const ViewSelection&) = delete;
    ViewSelection& operator=(const ViewSelection&) = delete;

    [[nodiscard]] bool IsSelected(const NsIcon* item) const noexcept;
    // Every selected item gets `normal`; the focus item, when there is one, `leave` and the focus mark.
    void Clear(const wchar_t* normal, const wchar_t* leave);
    // The marked focus item gets `image` and the focus goes.
    void DropFocusMark(const wchar_t* image);
    // Adds the item (it becomes the focus); 0 for none. Never removes anything.
    int Select(NsIcon* item, int keepFocusMark, const wchar_t* image);
    // Selects exactly the items whose display index lies between the anchor's and the item's.
    int SelectRange(NsIcon* item, const wchar_t* image, const ItemList& items);
    void SelectAll(const ItemList& items, int flag, const wchar_t* image);
    // A left press on an item (not none) with the modifier held.
    void Click(NsIcon* item, ClickModifier modifier, const ItemList& items);
    // A right press on an item (not none): an unselected one becomes the only selected item.
    void RightClick(NsIcon* item);

    int Hover(NsIcon* item, const wchar_t* image);
    void Unhover(const wchar_t* image);
    void SetDropHighlight(NsIcon* item, const wchar_t* image);
    void ClearDropHighlight(const wchar_t* image);

    // The item leaves the view: no pointer to it stays. It gets no cover: it is about to go.
    void Forget(const NsIcon* item) noexcept;
    // After items left: the selected ones and the hover get `normal`, the selection empties, focus and
    // hover clear.
    void Reset(const wchar_t* normal);
    // Every item went: nothing is referenced any more.
    void ForgetAll() noexcept;

    void SetFocus(NsIcon* item) noexcept { m_focus = item; }
    [[nodiscard]] const std::vector<NsIcon*>& Selected() const noexcept { return m_selected; }
    [[nodiscard]] NsIcon* Focus() const noexcept { return m_focus; }
    [[nodiscard]] NsIcon* Anchor() const noexcept { return m_anchor; }
    [[nodiscard]] NsIcon* HoverItem() const noexcept { return m_hover; }
    [[nodiscard]] NsIcon* DropHighlight() const noexcept { return m_dropHighlight; }
    [[nodiscard]] int FocusMark() const noexcept { return m_focusMark; }

private:
    void Append(NsIcon* item, const wchar_t* image);

    ViewSelectionHost& m_host;
    std::vector<NsIcon*> m_selected;
    std::unordered_set<const NsIcon*> m_selectedSet;
    NsIcon* m_hover = nullptr;
    NsIcon* m_focus = nullptr;
    NsIcon* m_anchor = nullptr;
    NsIcon* m_dropHighlight = nullptr;
    int m_focusMark = 0;
};

// The index of the first item after `focus` (from the first item without one) whose caption begins
// with `prefix` ignoring case, wrapping round to the focus itself; -1 when none does.
[[nodiscard]] int FindTypeAheadMatch(const ItemList& items, int focus, const std::wstring& prefix);

}  // namespace veyra
