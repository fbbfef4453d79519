#pragma once
// The progress dialog of one copy, move or rename: created hidden by the desktop window when an
// operation is handed to it, it starts the operation's worker and shows, every 500 ms, the bar, the
// title and the two lines that the worker writes into the operation's progress state (the worker shows
// the window itself for large operations and closes it at its end). Cancel sets the progress state's
// flag; a close cancels too and waits at most a second for the worker. The worker touches only the
// reference-counted operation and progress state, never this object, so the window may go while the
// worker still runs. The object owns itself once its window exists and is freed at the window's final
// message. UI thread.

#include <windows.h>

#include <span>

#include "base/UniqueResource.h"
#include "core/fileops/NsOperate.h"
#include "shell/dialogs/SkinnedBox.h"

namespace veyra::dialogs {

class NsProgressDlg final : public SkinnedBox<NsProgressDlg> {
public:
    static constexpr USHORT kBar = 6001;
    static constexpr USHORT kCancel = 6002;
    static constexpr USHORT kBody = 6003;
    static constexpr USHORT kSummary = 6004;
    static constexpr USHORT kDetail = 6005;
    static constexpr USHORT kClose = 6006;
    static constexpr UINT_PTR kTimer = 4;
    static constexpr UINT kTimerMs = 500;
    static constexpr DWORD kCloseWaitMs = 1000;

    explicit NsProgressDlg(int ownerKey) noexcept;

    // Keeps a reference of its own to the operation to start.
    void SetOperation(NsOperate* operation) noexcept;
    // Creates the hidden window over `parent`; its creation starts the worker. True: the window owns
    // this object from now on (a set-up or start that fails closes the window, which frees it). False:
    // no window was made and the caller still owns the object.
    [[nodiscard]] bool CreateHidden(HWND parent) noexcept;

    static std::span<const SkinEventSink::Entry> Events();
    static std::span<const MappedWindow::Entry> Messages();

protected:
    void OnFinalMessage() override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowWindow(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LONG OnSkinEvent(const ULONG_PTR* arguments);
    bool SetUp() noexcept;
    bool StartWorker() noexcept;
    void Refresh() noexcept;

    HWND m_parent = nullptr;
    bool m_created = false;
    RefPtr<NsOperate> m_operation;
    RefPtr<OperationProgress> m_progress;
    UniqueHandle m_worker;
    int m_shownPosition = -1;
    ProgressTexts m_shownTexts;
    ComPtr<vorrelUI::Ivorrel_panel> m_body;
    ComPtr<vorrelUI::Ivorrel_label> m_summary;
    ComPtr<vorrelUI::Ivorrel_label> m_detail;
    ComPtr<vorrelUI::Ivorrel_progress> m_bar;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_cancelButton;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_closeButton;
};

// DesktopParts().startOperation: a new hidden progress dialog over `parent` that runs `operation`.
void StartProgressDialog(NsOperate* operation, HWND parent, int ownerKey) noexcept;

}  // namespace veyra::dialogs
