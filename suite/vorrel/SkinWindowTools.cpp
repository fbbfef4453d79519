// Tooltips of a skinned window: one tooltip window, made on the host's thread, with one tool per shown
// control that has a tip, at the rectangle where the control is shown (after moves, scrolling and
// clipping by its containers). The tools are brought in step with the tree whenever the window paints,
// so a tip set from another thread only asks for a repaint.

#include <windows.h>

#include <commctrl.h>

#include "suite/vorrel/ControlNode.h"
#include "suite/vorrel/SkinWindow.h"

namespace vorrel {

void SkinWindow::CollectTools(ControlNode* node, int offset, const RECT& clip, std::map<ControlNode*, Tool>& wanted) const
{
    if (!node->Visible()) {
        return;
    }
    RECT shown = node->m_rect;
    OffsetRect(&shown, 0, -offset);
    if (!IntersectRect(&shown, &shown, &clip)) {
        return;
    }
    if (std::wstring tip = node->Tooltip(); !tip.empty()) {
        wanted.emplace(node, Tool{shown, std::move(tip)});
    }
    std::vector<ControlNode*> children;
    node->DrawnChildren(children);
    for (ControlNode* child : children) {
        CollectTools(child, offset + node->ScrollOffset(), shown, wanted);
    }
}

void SkinWindow::SyncTools()
{
    if (!m_host || !m_root) {
        return;
    }
    std::map<ControlNode*, Tool> wanted;
    CollectTools(m_root, 0, m_root->m_rect, wanted);
    if (wanted.empty() && m_tools.empty()) {
        return;
    }
    if (!m_tooltip) {
        m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                    m_host, nullptr, nullptr, nullptr);
        if (!m_tooltip) {
            return;
        }
    }
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = m_host;
    for (auto it = m_tools.begin(); it != m_tools.end();) {
        if (wanted.count(it->first)) {
            ++it;
            continue;
        }
        info.uId = reinterpret_cast<UINT_PTR>(it->first);
        SendMessageW(m_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        it = m_tools.erase(it);
    }
    for (auto& [node, tool] : wanted) {
        info.uFlags = TTF_SUBCLASS;
        info.uId = reinterpret_cast<UINT_PTR>(node);
        info.rect = tool.rect;
        info.lpszText = tool.text.data();
        const auto known = m_tools.find(node);
        if (known == m_tools.end()) {
            SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        } else {
            if (!EqualRect(&known->second.rect, &tool.rect)) {
                SendMessageW(m_tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
            }
            if (known->second.text != tool.text) {
                SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
            }
        }
        m_tools[node] = std::move(tool);
    }
}

void SkinWindow::DropTool(ControlNode* node) noexcept
{
    if (!m_tooltip || m_tools.empty()) {
        return;
    }
    // The control and everything below it, while they are still alive.
    std::vector<ControlNode*> pending{node};
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = m_host;
    while (!pending.empty()) {
        ControlNode* gone = pending.back();
        pending.pop_back();
        if (m_tools.erase(gone)) {
            info.uId = reinterpret_cast<UINT_PTR>(gone);
            SendMessageW(m_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        }
        pending.insert(pending.end(), gone->m_children.begin(), gone->m_children.end());
    }
}

}  // namespace vorrel
