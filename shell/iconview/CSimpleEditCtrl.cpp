#include "shell/iconview/CSimpleEditCtrl.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>

#include "base/FixedPath.h"
#include "core/GlobalInfo.h"
#include "core/shellutil/DesktopMetrics.h"
#include "shell/iconview/NsIcon.h"

namespace veyra {

const wchar_t kForbiddenNameTip[] = L"文件名不能包含下列任何字符：\r\n\\ / : * ? \" < > |";

namespace {

constexpr UINT_PTR kSubclassId = 0x5245;  // "RE"
constexpr wchar_t kForbiddenCharacters[] = L"\\/:*?\"<>|";
constexpr int kTaskbarHeight = 40;
constexpr int kVistaLineHeight = 17;
constexpr int kClassicLineHeight = 21;
constexpr UINT_PTR kTipToolId = 1;
constexpr UINT_PTR kTipTimer = 1;
constexpr UINT kTipShownMs = 5000;
// The box is sized to its text plus 10 pixels, which is all the room the text has: the edit adds no
// margins of its own (Wine: the label font's default margins, even 2 pixels a side, wrap a one-line
// "ab" onto a second line the one-line box does not show).
constexpr int kTextMargin = 0;

bool IsControlCharacter(wchar_t c) noexcept
{
    return c < 0x20 || c == 0x7F;
}

bool IsForbidden(wchar_t c) noexcept
{
    return IsControlCharacter(c) || wcschr(kForbiddenCharacters, c) != nullptr;
}

// Control characters that the edit takes as commands (backspace, select all, copy, paste, cut, undo)
// rather than as text.
bool IsEditCommand(wchar_t c) noexcept
{
    return c == 0x08 || c == 0x01 || c == 0x03 || c == 0x16 || c == 0x18 || c == 0x1A;
}

std::wstring ClipboardText(HWND owner)
{
    std::wstring text;
    if (!OpenClipboard(owner)) {
        return text;
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        const size_t bytes = GlobalSize(data);
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            text.assign(locked, wcsnlen(locked, bytes / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace

int RemoveForbiddenNameCharacters(std::wstring& text)
{
    const size_t before = text.size();
    std::erase_if(text, IsForbidden);
    return text.size() != before ? 1 : 0;
}

CSimpleEditCtrl::CSimpleEditCtrl(vorrelUI::Ivorrel_panel* viewPanel, NsIcon* item, int aboveTaskbar)
    : m_oldName(item ? item->Record().caption : std::wstring()),
      m_isVista(g_globalInfo.IsVistaOrLater() ? 1 : 0),
      m_aboveTaskbar(aboveTaskbar),
      m_viewPanel(ComPtr<vorrelUI::Ivorrel_panel>::Copy(viewPanel)),
      m_item(item)
{
}

CSimpleEditCtrl::~CSimpleEditCtrl()
{
    if (m_hwnd) {
        const HWND hwnd = m_hwnd;
        RemoveWindowSubclass(hwnd, &CSimpleEditCtrl::SubclassProc, kSubclassId);
        m_hwnd = nullptr;
        DestroyWindow(hwnd);
    }
}

bool CSimpleEditCtrl::Create(HWND parent, const RECT& rect, DWORD style)
{
    if (m_hwnd) {
        return false;
    }
    const HWND hwnd = CreateWindowExW(0, L"EDIT", nullptr, style | WS_CHILD, rect.left, rect.top,
                                      rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) {
        return false;
    }
    if (!SetWindowSubclass(hwnd, &CSimpleEditCtrl::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        DestroyWindow(hwnd);
        return false;
    }
    m_hwnd = hwnd;
    return true;
}

std::span<const CSimpleEditCtrl::Entry> CSimpleEditCtrl::Messages()
{
    static const Entry entries[] = {
        {WM_CHAR, &CSimpleEditCtrl::OnChar},
        {WM_KEYDOWN, &CSimpleEditCtrl::OnKeyDown},
        {WM_CLOSE, &CSimpleEditCtrl::OnClose},
        {WM_PASTE, &CSimpleEditCtrl::OnPaste},
        {EM_REPLACESEL, &CSimpleEditCtrl::OnReplaceSelection},
        {kReflectedCommand, &CSimpleEditCtrl::OnReflectedCommand},
        {WM_SETFONT, &CSimpleEditCtrl::OnSetFont},
        {WM_TIMER, &CSimpleEditCtrl::OnTimer},
        {WM_NCDESTROY, &CSimpleEditCtrl::OnNcDestroy},
    };
    return entries;
}

LRESULT CALLBACK CSimpleEditCtrl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR data) noexcept
{
    auto* self = reinterpret_cast<CSimpleEditCtrl*>(data);
    try {
        for (const Entry& entry : Messages()) {
            if (entry.message == message) {
                return (self->*entry.handler)(wParam, lParam);
            }
        }
    } catch (...) {
        // Out of memory in a handler: the message gets the edit's own handling.
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CSimpleEditCtrl::Default(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return DefSubclassProc(m_hwnd, message, wParam, lParam);
}

LRESULT CSimpleEditCtrl::OnChar(WPARAM wParam, LPARAM lParam)
{
    const auto c = static_cast<wchar_t>(wParam);
    if (IsEditCommand(c)) {
        return Default(WM_CHAR, wParam, lParam);
    }
    if (IsControlCharacter(c)) {
        return 0;  // Enter's and Tab's characters among them: a name holds no line breaks
    }
    if (IsForbidden(c)) {
        ShowRefusal();
        return 0;
    }
    return Default(WM_CHAR, wParam, lParam);
}

LRESULT CSimpleEditCtrl::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    if (wParam == VK_RETURN) {
        Commit();
        return 0;
    }
    return Default(WM_KEYDOWN, wParam, lParam);
}

LRESULT CSimpleEditCtrl::OnClose(WPARAM, LPARAM)
{
    DestroyWindow(m_hwnd);
    return 0;
}

// Pasted text is filtered like typed text, or a paste could bring "..\x" or an alternate stream in.
LRESULT CSimpleEditCtrl::OnPaste(WPARAM, LPARAM)
{
    std::wstring text = ClipboardText(m_hwnd);
    if (RemoveForbiddenNameCharacters(text)) {
        ShowRefusal();
    }
    Default(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
}

LRESULT CSimpleEditCtrl::OnReplaceSelection(WPARAM wParam, LPARAM lParam)
{
    const auto* given = reinterpret_cast<const wchar_t*>(lParam);
    std::wstring text = given ? given : L"";
    if (RemoveForbiddenNameCharacters(text)) {
        ShowRefusal();
    }
    return Default(EM_REPLACESEL, wParam, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CSimpleEditCtrl::OnReflectedCommand(WPARAM wParam, LPARAM lParam)
{
    if (!m_item) {
        return 0;
    }
    switch (HIWORD(wParam)) {
    case EN_SETFOCUS:
        m_lineCount = EditLineCount();
        SizeBox();
        return 0;
    case EN_KILLFOCUS:
        Commit();
        return 0;
    case EN_CHANGE: {
        const int count = EditLineCount();
        const bool resize = count != m_lineCount || count == 1;
        m_lineCount = count;
        m_item->Record().lineCount = count;
        if (resize) {
            SizeBox();
        }
        return 0;
    }
    default:
        return Default(kReflectedCommand, wParam, lParam);
    }
}

LRESULT CSimpleEditCtrl::OnSetFont(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = Default(WM_SETFONT, wParam, lParam);
    SendMessageW(m_hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(kTextMargin, kTextMargin));
    return result;
}

LRESULT CSimpleEditCtrl::OnTimer(WPARAM wParam, LPARAM lParam)
{
    if (wParam != kTipTimer) {
        return Default(WM_TIMER, wParam, lParam);
    }
    KillTimer(m_hwnd, kTipTimer);
    HideRefusal();
    return 0;
}

LRESULT CSimpleEditCtrl::OnNcDestroy(WPARAM wParam, LPARAM lParam)
{
    HideRefusal();
    m_tip.reset();
    RemoveWindowSubclass(m_hwnd, &CSimpleEditCtrl::SubclassProc, kSubclassId);
    const HWND hwnd = m_hwnd;
    m_hwnd = nullptr;
    return DefSubclassProc(hwnd, WM_NCDESTROY, wParam, lParam);
}

std::wstring CSimpleEditCtrl::Text() const
{
    wchar_t buffer[kMaxPathChars] = {};
    GetWindowTextW(m_hwnd, buffer, kMaxPathChars);
    return buffer;
}

int CSimpleEditCtrl::EditLineCount() const noexcept
{
    return static_cast<int>(SendMessageW(m_hwnd, EM_GETLINECOUNT, 0, 0));
}

void CSimpleEditCtrl::Commit()
{
    if (m_committed || !m_hwnd) {
        return;
    }
    m_committed = true;
    std::wstring text = Text();
    // Whatever reached the text some other way (a WM_SETTEXT) never makes it into a name.
    RemoveForbiddenNameCharacters(text);
    WPARAM changed = 0;
    if (StrCmpIW(text.c_str(), m_oldName.c_str()) != 0) {
        m_newName = std::move(text);
        changed = 1;
    }
    PostMessageW(GetParent(m_hwnd), WM_NS_RENAME_DONE, changed, 0);
}

void CSimpleEditCtrl::ShowRefusal()
{
    ++m_refusals;
    EDITBALLOONTIP balloon{};
    balloon.cbStruct = sizeof(balloon);
    balloon.pszTitle = L"";
    balloon.pszText = kForbiddenNameTip;
    balloon.ttiIcon = TTI_NONE;
    if (SendMessageW(m_hwnd, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&balloon))) {
        return;
    }
    // Wine answers 0 and shows nothing (so does Windows without common controls 6, which the program
    // does not declare): the same text in a balloon of our own at the caret.
    if (!m_tip) {
        m_tip.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr,
                                    GetModuleHandleW(nullptr), nullptr));
        if (!m_tip) {
            return;
        }
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.hwnd = m_hwnd;
        tool.uId = kTipToolId;
        tool.lpszText = const_cast<wchar_t*>(kForbiddenNameTip);
        SendMessageW(m_tip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(m_tip.get(), TTM_SETMAXTIPWIDTH, 0, 400);
    }
    POINT caret{};
    GetCaretPos(&caret);
    ClientToScreen(m_hwnd, &caret);
    SendMessageW(m_tip.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(caret.x, caret.y + kVistaLineHeight));
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_hwnd;
    tool.uId = kTipToolId;
    SendMessageW(m_tip.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SetTimer(m_hwnd, kTipTimer, kTipShownMs, nullptr);
}

void CSimpleEditCtrl::HideRefusal() noexcept
{
    if (!m_tip) {
        return;
    }
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_hwnd;
    tool.uId = kTipToolId;
    SendMessageW(m_tip.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

void CSimpleEditCtrl::SizeBox()
{
    if (!m_item || !m_viewPanel || !m_hwnd) {
        return;
    }
    int scrollOffset = 0;
    ComPtr<vorrelUI::Ivorrel_scroll> scroll;
    if (SUCCEEDED(m_viewPanel->GetScroll(scroll.put())) && scroll) {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_POS;
        if (SUCCEEDED(scroll->GetScrollInfo(&info)) && info.nPos > 0) {
            scrollOffset = 2 * info.nPos;
        }
    }
    const RECT& cell = m_item->Record().cellRect;
    RECT box{cell.left - 2, cell.top + kLabelTop - scrollOffset, cell.right + 2, 0};
    const int lineHeight = m_isVista ? kVistaLineHeight : kClassicLineHeight;
    box.bottom = m_isVista ? box.top + m_lineCount * lineHeight + 4 : box.top + m_lineCount * (lineHeight - 2);
    // One line more or less is one line of the box's own pitch, so a box that shrinks back to one line is
    // as tall as one that started with one (before Vista the lines are 2 pixels closer than their height).
    const int linePitch = m_isVista ? lineHeight : lineHeight - 2;
    if (m_lineCount == 1 || m_lineCount == 2) {
        const int measure = MeasureLabelWidth(m_hwnd, Text().c_str());
        const LONG width = box.right - box.left;
        if (m_lineCount == 2 && measure < width) {
            box.bottom -= linePitch;
            m_lineCount = 1;
        } else if (m_lineCount == 1 && measure > width) {
            box.bottom += linePitch;
            m_lineCount = 2;
        }
        if (m_lineCount == 1 && measure >= 0) {
            const LONG textWidth = measure + 10;
            box.left += (width - textWidth) / 2;
            box.right = box.left + textWidth;
            box.bottom += 1;
        }
    }
    RECT panel{};
    if (SUCCEEDED(m_viewPanel->GetRect(&panel))) {
        const LONG limit = panel.bottom - (m_aboveTaskbar ? kTaskbarHeight : 0);
        if (box.bottom >= limit) {
            const LONG up = box.bottom - (limit - 1);
            box.top -= up;
            box.bottom -= up;
        }
    }
    MoveWindow(m_hwnd, box.left, box.top, box.right - box.left, box.bottom - box.top, TRUE);
    // A box that shrank back to one line still shows the line it scrolled to while the text wrapped.
    if (const LRESULT firstVisible = SendMessageW(m_hwnd, EM_GETFIRSTVISIBLELINE, 0, 0); m_lineCount == 1 && firstVisible > 0) {
        SendMessageW(m_hwnd, EM_LINESCROLL, 0, -firstVisible);
    }
    UpdateWindow(m_hwnd);
}

}  // namespace veyra
