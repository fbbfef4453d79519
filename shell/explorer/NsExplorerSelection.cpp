// NsExplorer: selection, mouse, keys, type-ahead, hover and tooltips. UI thread; the items lock is held
// only while the loader thread could be looking items up.

#include <cwchar>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/shellutil/PathText.h"
#include "shell/explorer/NsExplorer.h"
#include "shell/protocol/WindowProtocol.h"

namespace veyra {

namespace {

bool KeyHeld(int key) noexcept
{
    return GetKeyState(key) < 0;
}

std::wstring Formatted(const wchar_t* format, const std::wstring& first, const std::wstring& second)
{
    wchar_t text[1024];
    const int length = _snwprintf(text, std::size(text) - 1, format, first.c_str(), second.c_str());
    text[std::size(text) - 1] = L'\0';
    return length < 0 ? std::wstring(text) : std::wstring(text, static_cast<size_t>(length));
}

}  // namespace

int NsExplorer::IsSelected(NsIcon* item)
{
    ScopedLock lock(m_itemsLock);
    return m_selection.IsSelected(item) ? 1 : 0;
}

void NsExplorer::ClearSelection(const wchar_t* normalImage, const wchar_t* leaveImage)
{
    ScopedLock lock(m_itemsLock);
    m_selection.Clear(normalImage, leaveImage);
}

void NsExplorer::DropFocusMark(const wchar_t* image)
{
    ScopedLock lock(m_itemsLock);
    m_selection.DropFocusMark(image);
}

int NsExplorer::Select(NsIcon* item, int keepFocusMark, const wchar_t* image)
{
    ScopedLock lock(m_itemsLock);
    return m_selection.Select(item, keepFocusMark, image);
}

int NsExplorer::SelectRange(NsIcon* item, const wchar_t* image)
{
    ScopedLock lock(m_itemsLock);
    return m_selection.SelectRange(item, image, m_items);
}

void NsExplorer::SelectAll(int flag, const wchar_t* image)
{
    {
        ScopedLock lock(m_itemsLock);
        m_selection.SelectAll(m_items, flag, image);
    }
    if (flag == 1 && m_panel) {
        static_cast<void>(m_panel->Refresh());
    }
}

void NsExplorer::SelectByIndex(int index)
{
    NsIcon* item = ItemAt(index);
    if (!item) {
        return;
    }
    ClearSelection(kCoverNormal, kCoverLeave);
    static_cast<void>(Select(item, 0, kCoverClick));
    EnsureVisible(item);
}

int NsExplorer::CurrentIndex()
{
    ScopedLock lock(m_itemsLock);
    NsIcon* current = m_selection.Focus() ? m_selection.Focus() : m_selection.HoverItem();
    return current ? IndexOfItem(current) : -1;
}

int NsExplorer::OnArrowKey(UINT key)
{
    const int target = ArrowKeyTarget(key, CurrentIndex(), ItemCount(), m_columns);
    if (target < 0) {
        return 0;
    }
    SelectByIndex(target);
    return 1;
}

void NsExplorer::TypeAhead(wchar_t character)
{
    m_typeAheadPrefix.push_back(character);
    NsIcon* match = nullptr;
    {
        ScopedLock lock(m_itemsLock);
        const int found = FindTypeAheadMatch(m_items, IndexOfItem(m_selection.Focus()), m_typeAheadPrefix);
        match = found >= 0 ? m_items[static_cast<size_t>(found)].get() : nullptr;
    }
    if (!match) {
        return;
    }
    ClearSelection(kCoverNormal, kCoverLeave);
    EnsureVisible(match);
    static_cast<void>(Select(match, 0, kCoverClick));
    if (m_panel) {
        static_cast<void>(m_panel->Refresh());
    }
}

void NsExplorer::SelectNamed(const std::wstring& path)
{
    if (path.empty()) {
        return;
    }
    NsIcon* named = nullptr;
    {
        ScopedLock lock(m_itemsLock);
        for (const auto& item : m_items) {
            if (_wcsicmp(item->Record().path.c_str(), path.c_str()) == 0) {
                named = item.get();
                break;
            }
        }
    }
    if (named) {
        EnsureVisible(named);
        static_cast<void>(Select(named, 0, kCoverClick));
    }
}

std::vector<NsIcon*> NsExplorer::SelectedItems()
{
    ScopedLock lock(m_itemsLock);
    return m_selection.Selected();
}

NsIcon* NsExplorer::FocusItem()
{
    ScopedLock lock(m_itemsLock);
    return m_selection.Focus();
}

NsIcon* NsExplorer::AnchorItem()
{
    ScopedLock lock(m_itemsLock);
    return m_selection.Anchor();
}

NsIcon* NsExplorer::HoverItem()
{
    ScopedLock lock(m_itemsLock);
    return m_selection.HoverItem();
}

NsIcon* NsExplorer::DropHighlightItem()
{
    ScopedLock lock(m_itemsLock);
    return m_selection.DropHighlight();
}

int NsExplorer::FocusMark()
{
    ScopedLock lock(m_itemsLock);
    return m_selection.FocusMark();
}

int NsExplorer::OnLButtonDown(POINT* point)
{
    if (point && m_selection.Selected().size() == 1 && PointOnFocusLabel(point)) {
        static_cast<void>(BeginRename());
    }
    NsIcon* item = ItemFromPoint(point);
    if (!item) {
        ClearSelection(kCoverNormal, kCoverLeave);
        return 0;
    }
    const ClickModifier modifier = KeyHeld(VK_SHIFT)     ? ClickModifier::Shift
                                   : KeyHeld(VK_CONTROL) ? ClickModifier::Control
                                                         : ClickModifier::None;
    {
        ScopedLock lock(m_itemsLock);
        m_selection.Click(item, modifier, m_items);
    }
    m_pressedOnItem = 1;
    return 1;
}

int NsExplorer::OnRButtonDown(POINT* point, int* outShortcutFlag)
{
    if (m_renameEditor && m_renameEditor->Handle()) {
        PostMessageW(m_renameEditor->Handle(), WM_KILLFOCUS, 0, 0);
    }
    NsIcon* item = ItemFromPoint(point);
    if (!item) {
        ClearSelection(kCoverNormal, kCoverLeave);
        return 0;
    }
    {
        ScopedLock lock(m_itemsLock);
        m_selection.RightClick(item);
    }
    if (outShortcutFlag) {
        *outShortcutFlag = item->Record().isShortcut;
    }
    return 1;
}

int NsExplorer::OnLButtonUp(POINT*)
{
    m_pressedOnItem = 0;
    return 1;
}

int NsExplorer::OnLButtonDblClk(POINT* point)
{
    if (!ItemFromPoint(point)) {
        return 0;
    }
    const int result = OpenSelection();
    ClearSelection(kCoverNormal, kCoverLeave);
    return result;
}

int NsExplorer::OnMouseMove(UINT, POINT*)
{
    if (HasViewMode(m_viewMode, kViewNamespace)) {
        return 0;
    }
    {
        ScopedLock lock(m_itemsLock);
        for (NsIcon* item : m_selection.Selected()) {
            if (item->Record().path == kComputerItemPath) {
                return 0;
            }
        }
    }
    if (!m_pressedOnItem) {
        return 1;  // no band selection: a drag from an empty spot selects nothing
    }
    std::vector<std::wstring> paths;
    CollectSelectedPaths(paths);
    return BeginDrag(paths) ? 1 : 0;
}

int NsExplorer::Hover(NsIcon* item, const wchar_t* image)
{
    if (!item) {
        return 0;
    }
    {
        ScopedLock lock(m_itemsLock);
        static_cast<void>(m_selection.Hover(item, image));
    }
    SetItemTooltip(item);
    return 1;
}

void NsExplorer::Unhover(const wchar_t* image)
{
    ScopedLock lock(m_itemsLock);
    m_selection.Unhover(image);
}

void NsExplorer::SetDropHighlight(NsIcon* item, const wchar_t* image)
{
    ScopedLock lock(m_itemsLock);
    m_selection.SetDropHighlight(item, image);
}

void NsExplorer::ClearDropHighlight(const wchar_t* image)
{
    ScopedLock lock(m_itemsLock);
    m_selection.ClearDropHighlight(image);
}

void NsExplorer::PostDropHighlight(HWND window, NsIcon* item)
{
    PostMessageW(window, WM_NS_DRAG_HIGHLIGHT, reinterpret_cast<WPARAM>(item), static_cast<LPARAM>(m_dragNumber));
}

int NsExplorer::ApplyDropHighlight(WPARAM wParam, LPARAM lParam)
{
    auto* item = reinterpret_cast<NsIcon*>(wParam);
    if (static_cast<std::uint32_t>(lParam) != m_dragNumber || !HoldsItem(item)) {
        return 0;  // a drag that ended, an item that went, or a foreign pointer
    }
    SetDropHighlight(item, kCoverClick);
    return 1;
}

void NsExplorer::EndDropHighlight()
{
    ++m_dragNumber;
    ClearDropHighlight(kCoverNormal);
}

void NsExplorer::SetItemTooltip(NsIcon* item)
{
    if (!item) {
        return;
    }
    const FileItemRecord& record = item->Record();
    std::wstring text;
    if (record.isShortcut) {
        text = Formatted(L"位置：%s (%s)", record.caption, record.path);
    } else if (record.path == kComputerItemPath) {
        text = L"显示连接到此计算机的驱动器和硬件";
    } else if (record.kind == kFileKindDrive) {
        std::wstring freeText, totalText;
        if (item->GetDriveSpaceText(freeText, totalText)) {
            text = Formatted(L"可用空间：%s\n总大小：%s", freeText, totalText);
        }
    } else {
        std::wstring resolved;
        int deleted = 0;
        if (CSandBoxFileSystem::Instance().ResolvePath(record.path, resolved, m_ownerKey, deleted) != SBFS_EXISTS) {
            resolved.clear();
        }
        if (GetFileDetails(resolved, item)) {
            text = record.caption + L"\n大小：" + item->m_tipTexts[1] + L"\n修改日期： " + item->m_tipTexts[2] +
                   L"\n类型：" + item->m_tipTexts[3];
        }
    }
    item->SetTooltipText(text);
}

int NsExplorer::GetFileDetails(const std::wstring& path, NsIcon* item)
{
    if (path.empty() || !item) {
        return 0;
    }
    std::wstring size, date, type;
    if (!GetFileSizeAndDate(path.c_str(), size, date) || !GetFileTypeName(path.c_str(), type)) {
        return 0;
    }
    item->m_tipTexts[0] = path;
    item->m_tipTexts[1] = std::move(size);
    item->m_tipTexts[2] = std::move(date);
    item->m_tipTexts[3] = std::move(type);
    return 1;
}

}  // namespace veyra
