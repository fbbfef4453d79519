#pragma once
// The in-place rename box a view opens over an item's caption: an EDIT control whose messages pass
// through this object's map first. It refuses the characters a file name cannot hold (typed or pasted),
// grows and shrinks between one and two lines, and posts WM_NS_RENAME_DONE to its parent when the user
// leaves it. The view creates it, deletes it before another rename or when it handles the notice, and
// calls ForgetItem when the item goes first. Its own EN_* notifications come back from the host as
// reflected WM_COMMAND. UI thread only.

#include <windows.h>

#include <span>
#include <string>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace veyra {

class NsIcon;

// Posted to the edit's parent: wParam 1 when the name changed, else 0; lParam 0.
inline constexpr UINT WM_NS_RENAME_DONE = WM_USER + 13;
// Notifications that a host sends back to the child control that raised them.
inline constexpr UINT kReflectBase = WM_USER + 0x1C00;
inline constexpr UINT kReflectedCommand = kReflectBase + WM_COMMAND;

// The style a view creates the box with: WS_CHILD, WS_VISIBLE, WS_BORDER, ES_CENTER, ES_MULTILINE and
// ES_AUTOVSCROLL (without it the edit refuses a character that wraps past the box's one line).
inline constexpr DWORD kRenameBoxStyle = 0x50800045;

// The refusal text the box shows at the caret.
extern const wchar_t kForbiddenNameTip[];

// `text` without the nine characters a file name cannot hold and without control characters; 1 when
// anything was taken out.
int RemoveForbiddenNameCharacters(std::wstring& text);

class CSimpleEditCtrl {
public:
    // `viewPanel`: the view's panel (counted while the box lives); `item`: the item whose caption is
    // edited (not owned); `aboveTaskbar`: 1 on the desktop, whose bottom 40 pixels the taskbar covers.
    CSimpleEditCtrl(vorrelUI::Ivorrel_panel* viewPanel, NsIcon* item, int aboveTaskbar);
    virtual ~CSimpleEditCtrl();
    CSimpleEditCtrl(const CSimpleEditCtrl&) = delete;
    CSimpleEditCtrl& operator=(const CSimpleEditCtrl&) = delete;

    // Creates the EDIT child of `parent` (the view's host window) with `style` and subclasses it.
    [[nodiscard]] bool Create(HWND parent, const RECT& rect, DWORD style);
    [[nodiscard]] HWND Handle() const noexcept { return m_hwnd; }

    // The view's item is gone: the box no longer sizes by it or writes its line count.
    void ForgetItem() noexcept { m_item = nullptr; }
    [[nodiscard]] NsIcon* Item() const noexcept { return m_item; }

    [[nodiscard]] const std::wstring& NewName() const noexcept { return m_newName; }
    [[nodiscard]] const std::wstring& OldName() const noexcept { return m_oldName; }
    [[nodiscard]] int LineCount() const noexcept { return m_lineCount; }
    // How many refusals were shown, and the program's own tip window (when the edit showed none).
    [[nodiscard]] int RefusalCount() const noexcept { return m_refusals; }
    [[nodiscard]] HWND TipWindow() const noexcept { return m_tip.get(); }

    void SizeBox();

private:
    using Handler = LRESULT (CSimpleEditCtrl::*)(WPARAM, LPARAM);
    struct Entry {
        UINT message;
        Handler handler;
    };
    static std::span<const Entry> Messages();
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data) noexcept;

    LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
    LRESULT OnReplaceSelection(WPARAM wParam, LPARAM lParam);
    LRESULT OnReflectedCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    void Commit();
    void ShowRefusal();
    void HideRefusal() noexcept;
    [[nodiscard]] std::wstring Text() const;
    [[nodiscard]] int EditLineCount() const noexcept;

    int m_lineCount = 0;
    std::wstring m_newName;
    std::wstring m_oldName;
    int m_isVista;
    int m_aboveTaskbar;
    ComPtr<vorrelUI::Ivorrel_panel> m_viewPanel;
    NsIcon* m_item;
    HWND m_hwnd = nullptr;
    bool m_committed = false;  // leaving the box after Enter must not post a second notice
    int m_refusals = 0;
    UniqueWindow m_tip;
};

}  // namespace veyra
