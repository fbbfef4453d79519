#pragma once
// What the modeless and the modal message box share: the layout NsMessageBox.xml built into a hidden
// popup, its buttons made at run time for the type's set, the type's icon, the texts, and the button
// events. The two forms differ only in how an answer or a close ends them. The box lives on the thread
// that opens it.

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "shell/dialogs/BoxTexts.h"
#include "shell/dialogs/SkinnedBox.h"

namespace veyra::dialogs {

class NsMessageBoxBase : public SkinnedBox<NsMessageBoxBase> {
public:
    // Control ids of the layout.
    static constexpr USHORT kTitle = 8000;
    static constexpr USHORT kBody = 8001;
    static constexpr USHORT kMessage = 8002;
    static constexpr USHORT kIcon = 8003;
    static constexpr USHORT kClose = 8007;

    void SetText(const std::wstring& text) noexcept;
    void SetCaption(const std::wstring& text) noexcept;

    static std::span<const SkinEventSink::Entry> Events();
    static std::span<const MappedWindow::Entry> Messages();

protected:
    NsMessageBoxBase(int ownerKey, int type, BoxMode mode) noexcept;

    // Creates the box hidden over `parent` with its content, registers it (`hostFlags`) and centres it
    // over the desktop window. False when the window or any part of its content cannot be made: then
    // no window is left and nothing is registered.
    [[nodiscard]] bool Open(HWND parent, int hostFlags, const std::wstring& text1, const std::wstring& text2,
                            const std::wstring& text3) noexcept;

    // A button was pressed (its answer), the box was asked to close, its window is going.
    virtual void OnAnswer(int answer) = 0;
    virtual void OnCloseRequest() = 0;
    virtual void OnWindowGone() = 0;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LONG OnSkinEvent(const ULONG_PTR* arguments);
    bool SetUp() noexcept;
    bool AddButtons() noexcept;

    int m_type;
    BoxMode m_mode;
    bool m_ready = false;
    std::wstring m_texts[3];
    ComPtr<vorrelUI::Ivorrel_panel> m_body;
    ComPtr<vorrelUI::Ivorrel_label> m_message;
    ComPtr<vorrelUI::Ivorrel_label> m_title;
    ComPtr<vorrelUI::Ivorrel_itemcontrol> m_icon;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_closeButton;
    std::vector<BoxButton> m_buttonSet;
    std::vector<ComPtr<vorrelUI::Ivorrel_imagebutton>> m_buttons;
};

}  // namespace veyra::dialogs
