#pragma once
// The file-conflict box: raised on a copy's or move's worker thread when the target exists, it runs the
// worker's own loop until the user picks replace, skip or keep both (panels 9002-9004), skip (9006) or
// stop (9007, the close button, WM_CLOSE); the check box 9005 adds the apply-to-all bit. The box writes
// the context's source and target paths back as view paths. Its window going always ends the loop.
// Lives on the worker thread; the caller frees it after its loop.

#include <windows.h>

#include <span>

#include "core/fileops/FileOperationContext.h"
#include "shell/dialogs/SkinnedBox.h"

namespace veyra::dialogs {

class NsReplaceMessageBox final : public SkinnedBox<NsReplaceMessageBox> {
public:
    static constexpr USHORT kTitle = 9000;
    static constexpr USHORT kReplacePanel = 9002;
    static constexpr USHORT kSkipPanel = 9003;
    static constexpr USHORT kKeepBothPanel = 9004;
    static constexpr USHORT kRemember = 9005;
    static constexpr USHORT kSkipButton = 9006;
    static constexpr USHORT kCancelButton = 9007;
    static constexpr USHORT kClose = 9008;

    // `answer` is the caller's word (bits are only added to it); `context` the asking operation's.
    NsReplaceMessageBox(unsigned* answer, FileOperationContext& context) noexcept;

    // The box over `parent`, registered (flags 8) and centred; false when it cannot be made.
    [[nodiscard]] bool CreateBox(HWND parent) noexcept;

    static std::span<const SkinEventSink::Entry> Events();
    static std::span<const MappedWindow::Entry> Messages();

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LONG OnCommandEvent(const ULONG_PTR* arguments);
    LONG OnStateEvent(const ULONG_PTR* arguments);
    bool SetUp() noexcept;
    bool FillPanels() noexcept;
    bool FillPanel(vorrelUI::Ivorrel_panel* panel, USHORT id, const std::wstring& text) noexcept;
    void Finish(unsigned bits) noexcept;

    unsigned* m_answer;
    FileOperationContext& m_context;
    bool m_severalItems;
    bool m_ready = false;
    ComPtr<vorrelUI::Ivorrel_panel> m_panels[3];
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_cancelButton;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_skipButton;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_remember;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_closeButton;
    ComPtr<vorrelUI::Ivorrel_label> m_title;
};

}  // namespace veyra::dialogs
