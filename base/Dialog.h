#pragma once
// Base of dialogs built from dialog resources. Like Window, the static procedure stores the object's
// pointer (at WM_INITDIALOG, from the creation parameter) and forgets it at WM_NCDESTROY.
// Handlers return TRUE when they handled the message; MappedDialog<T> dispatches through a table.

#include <windows.h>

#include <span>

namespace veyra {

class Dialog {
public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    // Runs the dialog modally; returns EndDialog's result, or -1 when it cannot be shown.
    INT_PTR RunModal(HINSTANCE instance, int templateId, HWND owner);
    // Creates the dialog modeless; the caller's loop must pass its messages through IsDialogMessageW.
    [[nodiscard]] bool CreateModeless(HINSTANCE instance, int templateId, HWND owner);

    [[nodiscard]] HWND Handle() const noexcept { return m_hwnd; }

protected:
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // After WM_NCDESTROY, when the object is done with its window: a modeless dialog that owns its own
    // life deletes itself here.
    virtual void OnFinalMessage() {}

private:
    static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND m_hwnd = nullptr;
};

template <typename T>
class MappedDialog : public Dialog {
protected:
    using Handler = INT_PTR (T::*)(WPARAM, LPARAM);
    struct Entry {
        UINT message;
        Handler handler;
    };

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        for (const Entry& entry : T::Messages()) {
            if (entry.message == message) {
                return (static_cast<T*>(this)->*entry.handler)(wParam, lParam);
            }
        }
        return FALSE;
    }
};

}  // namespace veyra
