#include "shell/explorer/ViewSelection.h"

#include <shlwapi.h>

#include <algorithm>
#include <string>

#include "shell/iconview/NsIcon.h"

namespace veyra {

bool ViewSelection::IsSelected(const NsIcon* item) const noexcept
{
    return item && m_selectedSet.count(item) != 0;
}

void ViewSelection::Clear(const wchar_t* normal, const wchar_t* leave)
{
    for (NsIcon* item : m_selected) {
        m_host.SetCover(item, normal);
    }
    m_selected.clear();
    m_selectedSet.clear();
    if (m_focus) {
        m_host.SetCover(m_focus, leave);
        m_focusMark = 1;
    }
    m_host.SelectionChanged();
}

void ViewSelection::DropFocusMark(const wchar_t* image)
{
    if (m_focus && m_focusMark) {
        m_host.SetCover(m_focus, image);
        m_focus = nullptr;
        m_focusMark = 0;
    }
}

void ViewSelection::Append(NsIcon* item, const wchar_t* image)
{
    m_selected.push_back(item);
    m_selectedSet.insert(item);
    m_focus = item;
    m_host.SetCover(item, image);
}

int ViewSelection::Select(NsIcon* item, int keepFocusMark, const wchar_t* image)
{
    if (!item) {
        return 0;
    }
    if (keepFocusMark != 1) {
        DropFocusMark(kCoverNormal);
    }
    if (IsSelected(item)) {
        return 1;
    }
    Append(item, image);
    m_host.SelectionChanged();
    return 1;
}

int ViewSelection::SelectRange(NsIcon* item, const wchar_t* image, const ItemList& items)
{
    if (!item) {
        return 0;
    }
    if (!m_anchor) {
        m_anchor = m_selected.empty() ? item : m_selected.front();
    }
    NsIcon* anchor = m_anchor;
    Clear(kCoverNormal, kCoverLeave);
    DropFocusMark(kCoverNormal);
    const int anchorIndex = m_host.DisplayIndexOf(anchor);
    const int itemIndex = m_host.DisplayIndexOf(item);
    if (anchorIndex < 0 || itemIndex < 0) {
        Append(item, image);  // an anchor no longer shown: the item alone
        m_host.SelectionChanged();
        return 0;
    }
    const int first = std::min(anchorIndex, itemIndex), last = std::max(anchorIndex, itemIndex);
    for (const auto& owned : items) {
        NsIcon* candidate = owned.get();
        const int index = candidate == anchor ? anchorIndex : candidate == item ? itemIndex
                                                                                : m_host.DisplayIndexOf(candidate);
        if (index >= first && index <= last && !IsSelected(candidate)) {
            Append(candidate, image);
        }
    }
    m_focus = item;
    m_host.SelectionChanged();
    return 1;
}

void ViewSelection::SelectAll(const ItemList& items, int flag, const wchar_t* image)
{
    Clear(kCoverNormal, kCoverLeave);
    if (flag == 1) {
        for (const auto& item : items) {
            if (!IsSelected(item.get())) {
                Append(item.get(), image);
            }
        }
    }
    m_host.SelectionChanged();
}

void ViewSelection::Click(NsIcon* item, ClickModifier modifier, const ItemList& items)
{
    switch (modifier) {
    case ClickModifier::Shift:
        static_cast<void>(SelectRange(item, kCoverClick, items));
        return;
    case ClickModifier::Control:
        if (m_anchor) {
            m_anchor = item;
        }
        static_cast<void>(Select(item, 1, kCoverClick));
        return;
    case ClickModifier::None:
        if (IsSelected(item)) {
            m_focus = item;  // the selection stays, so several items can be dragged
            return;
        }
        if (m_anchor) {
            m_anchor = item;
        }
        Clear(kCoverNormal, kCoverLeave);
        static_cast<void>(Select(item, 0, kCoverClick));
        return;
    }
}

void ViewSelection::RightClick(NsIcon* item)
{
    if (!IsSelected(item)) {
        Clear(kCoverNormal, kCoverLeave);
        static_cast<void>(Select(item, 0, kCoverClick));
    }
}

int ViewSelection::Hover(NsIcon* item, const wchar_t* image)
{
    if (!item) {
        return 0;
    }
    m_host.SetCover(item, image);
    m_hover = item;
    return 1;
}

void ViewSelection::Unhover(const wchar_t* image)
{
    if (m_hover && m_hover != m_focus && !IsSelected(m_hover)) {
        m_host.SetCover(m_hover, image);
        m_hover = nullptr;
    }
}

void ViewSelection::SetDropHighlight(NsIcon* item, const wchar_t* image)
{
    if (!item || item == m_dropHighlight) {
        return;
    }
    ClearDropHighlight(kCoverNormal);
    m_dropHighlight = item;
    m_host.SetCover(item, image);
}

void ViewSelection::ClearDropHighlight(const wchar_t* image)
{
    if (m_dropHighlight) {
        m_host.SetCover(m_dropHighlight, image);
        m_dropHighlight = nullptr;
    }
}

void ViewSelection::Forget(const NsIcon* item) noexcept
{
    if (!item) {
        return;
    }
    if (m_selectedSet.erase(item)) {
        m_selected.erase(std::remove(m_selected.begin(), m_selected.end(), item), m_selected.end());
    }
    for (NsIcon** reference : {&m_hover, &m_focus, &m_anchor, &m_dropHighlight}) {
        if (*reference == item) {
            *reference = nullptr;
        }
    }
    if (!m_focus) {
        m_focusMark = 0;
    }
}

void ViewSelection::Reset(const wchar_t* normal)
{
    for (NsIcon* item : m_selected) {
        m_host.SetCover(item, normal);
    }
    // A hover forgotten here is never taken off by Unhover: its cover goes now.
    if (m_hover && !IsSelected(m_hover)) {
        m_host.SetCover(m_hover, normal);
    }
    m_selected.clear();
    m_selectedSet.clear();
    m_focus = nullptr;
    m_hover = nullptr;
    m_focusMark = 0;
}

void ViewSelection::ForgetAll() noexcept
{
    m_selected.clear();
    m_selectedSet.clear();
    m_hover = m_focus = m_anchor = m_dropHighlight = nullptr;
    m_focusMark = 0;
}

int FindTypeAheadMatch(const ItemList& items, int focus, const std::wstring& prefix)
{
    const int count = static_cast<int>(items.size());
    if (prefix.empty() || count == 0) {
        return -1;
    }
    const auto matches = [&](int index) {
        const std::wstring& caption = items[static_cast<size_t>(index)]->Record().caption;
        return StrCmpNIW(caption.c_str(), prefix.c_str(), static_cast<int>(prefix.size())) == 0;
    };
    const int start = focus >= 0 && focus < count ? focus + 1 : 0;
    for (int index = start; index < count; ++index) {
        if (matches(index)) {
            return index;
        }
    }
    for (int index = 0; index < start; ++index) {  // round to the focus itself
        if (matches(index)) {
            return index;
        }
    }
    return -1;
}

}  // namespace veyra
