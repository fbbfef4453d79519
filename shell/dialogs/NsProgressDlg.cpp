#include "shell/dialogs/NsProgressDlg.h"

#include <memory>
#include <new>

#include "shell/protocol/WindowProtocol.h"
#include "shell/skin/SkinBinding.h"

namespace veyra::dialogs {

using namespace vorrelUI;

namespace {

constexpr wchar_t kDialogClass[] = L"VeyraProgressDialog";
constexpr wchar_t kLayout[] = L"NsProgress.xml";
constexpr DWORD kDetailStyle = 0x4000;

// Waits for the worker while handling what other threads send to this one: the worker sends its
// change notices (and its show request) synchronously and would otherwise hold the wait up.
void WaitHandlingSends(HANDLE thread, DWORD limitMs) noexcept
{
    const ULONGLONG end = GetTickCount64() + limitMs;
    for (;;) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const ULONGLONG now = GetTickCount64();
        if (now >= end) {
            return;
        }
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &thread, static_cast<DWORD>(end - now), QS_SENDMESSAGE,
                                                       MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED || woke == WAIT_TIMEOUT) {
            return;
        }
    }
}

}  // namespace

NsProgressDlg::NsProgressDlg(int ownerKey) noexcept : SkinnedBox(ownerKey) {}

void NsProgressDlg::SetOperation(NsOperate* operation) noexcept
{
    m_operation = RefPtr<NsOperate>::Copy(operation);
}

bool NsProgressDlg::CreateHidden(HWND parent) noexcept
{
    m_parent = parent;
    return CreateBox(kDialogClass, parent);
}

std::span<const skin::SkinEventSink<NsProgressDlg>::Entry> NsProgressDlg::Events()
{
    static const SkinEventSink::Entry entries[] = {
        {1, &DIID_Ivorrel_events, 1, 4, &NsProgressDlg::OnSkinEvent},
    };
    return entries;
}

std::span<const MappedWindow<NsProgressDlg>::Entry> NsProgressDlg::Messages()
{
    static const MappedWindow::Entry entries[] = {
        {WM_CREATE, &NsProgressDlg::OnCreate},
        {WM_CLOSE, &NsProgressDlg::OnClose},
        {WM_TIMER, &NsProgressDlg::OnTimer},
        {WM_SHOWWINDOW, &NsProgressDlg::OnShowWindow},
        {WM_DESTROY, &NsProgressDlg::OnDestroy},
        {WM_MOVE, &NsProgressDlg::OnMoved},
        {WM_NS_HOST_MOVED, &NsProgressDlg::OnHostMoved},
        {WM_LBUTTONDOWN, &NsProgressDlg::OnCaptionDown},
        {WM_MOUSEMOVE, &NsProgressDlg::OnCaptionMove},
        {WM_LBUTTONUP, &NsProgressDlg::OnCaptionUp},
    };
    return entries;
}

LRESULT NsProgressDlg::OnCreate(WPARAM, LPARAM)
{
    m_created = true;
    StartFiltering();
    // A dialog that cannot show its content or start its worker closes itself (and lets go of the
    // operation) instead of staying hidden and registered.
    if (!SetUp()) {
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return 0;
    }
    AttachAndPlace(m_parent, HostKind::kModelessBox);
    if (!StartWorker()) {
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return 0;
    }
    SetTimer(Handle(), kTimer, kTimerMs, nullptr);
    return 0;
}

bool NsProgressDlg::SetUp() noexcept
{
    if (!BuildSkin(kLayout) || !skin::FindControlAs(m_skin.get(), kBody, IID_Ivorrel_panel, m_body) ||
        !skin::FindControlAs(m_skin.get(), kSummary, IID_Ivorrel_label, m_summary) ||
        !skin::FindControlAs(m_skin.get(), kDetail, IID_Ivorrel_label, m_detail) ||
        !skin::FindControlAs(m_skin.get(), kBar, IID_Ivorrel_progress, m_bar) ||
        !skin::FindControlAs(m_skin.get(), kCancel, IID_Ivorrel_imagebutton, m_cancelButton) ||
        !skin::FindControlAs(m_skin.get(), kClose, IID_Ivorrel_imagebutton, m_closeButton)) {
        return false;
    }
    for (Ivorrel_control* control : {static_cast<Ivorrel_control*>(m_summary.get()),
                                     static_cast<Ivorrel_control*>(m_detail.get()),
                                     static_cast<Ivorrel_control*>(m_bar.get()),
                                     static_cast<Ivorrel_control*>(m_cancelButton.get()),
                                     static_cast<Ivorrel_control*>(m_closeButton.get())}) {
        DWORD cookie = 0;
        (void)skin::AdviseEvents(control, static_cast<IDispatch*>(this), &cookie);
    }
    m_summary->SetText(L"");
    m_detail->SetText(L"");
    m_detail->ModifyControlStyle(kDetailStyle, 0);
    m_bar->SetRange(0, 100);
    m_bar->SetPosition(0);
    ComPtr<Ivorrel_image> image = skin::RegisteredImage(L"IDI_BTN_FIRST");
    m_cancelButton->SetImage(image.get());
    if (!UiOptimisationFlag) {
        HideControl(m_closeButton.get());
    }
    m_skin->Show(TRUE);
    return true;
}

bool NsProgressDlg::StartWorker() noexcept
{
    if (!m_operation) {
        return false;
    }
    m_progress = MakeRef<OperationProgress>();
    if (!m_progress) {
        return false;
    }
    m_operation->progressWindow = Handle();
    m_operation->progressDialog = m_progress;
    m_worker.reset(m_operation->Start());
    return static_cast<bool>(m_worker);
}

void NsProgressDlg::Refresh() noexcept
{
    if (!m_progress) {
        return;
    }
    const int position = m_progress->Percent();
    if (position != m_shownPosition) {
        m_shownPosition = position;
        m_bar->SetPosition(position);
        m_bar->Redraw(FALSE);
    }
    try {
        ProgressTexts texts = m_progress->Texts();
        bool changed = false;
        if (texts.title != m_shownTexts.title) {
            m_skin->SetCaption(texts.title.c_str());
            changed = true;
        }
        if (texts.summary != m_shownTexts.summary) {
            m_summary->SetText(texts.summary.c_str());
            changed = true;
        }
        if (texts.detail != m_shownTexts.detail) {
            m_detail->SetText(texts.detail.c_str());
            m_detail->SetTooltip(texts.detail.c_str());
            changed = true;
        }
        if (changed) {
            m_shownTexts = std::move(texts);
            m_body->Redraw(FALSE);
        }
    } catch (...) {
        // Out of memory: the texts stay as they were until the next tick.
    }
}

LRESULT NsProgressDlg::OnTimer(WPARAM wParam, LPARAM)
{
    if (wParam == kTimer) {
        Refresh();
    }
    return 0;
}

LRESULT NsProgressDlg::OnShowWindow(WPARAM wParam, LPARAM lParam)
{
    // The worker shows the window after it wrote the texts: they show at once, not a tick later.
    if (wParam && m_skin) {
        Refresh();
    }
    return DefaultProc(WM_SHOWWINDOW, wParam, lParam);
}

LONG NsProgressDlg::OnSkinEvent(const ULONG_PTR* arguments)
{
    const WPARAM wParam = static_cast<WPARAM>(arguments[1]);
    if (static_cast<UINT>(arguments[0]) != WM_COMMAND || HIWORD(wParam) != 0) {
        return 0;
    }
    if (LOWORD(wParam) == kCancel && m_progress) {
        m_progress->Cancel();
    } else if (LOWORD(wParam) == kClose) {
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
    }
    return 0;
}

LRESULT NsProgressDlg::OnClose(WPARAM, LPARAM)
{
    DetachOnce();
    if (m_operation) {
        m_operation->Cancel();
    }
    if (m_worker) {
        WaitHandlingSends(m_worker.get(), kCloseWaitMs);
        m_worker.reset();
    }
    KillTimer(Handle(), kTimer);
    DestroyWindow(Handle());
    return 0;
}

LRESULT NsProgressDlg::OnDestroy(WPARAM wParam, LPARAM lParam)
{
    return OnDestroyed(wParam, lParam);
}

void NsProgressDlg::OnFinalMessage()
{
    if (m_created) {
        delete this;
    }
}

void StartProgressDialog(NsOperate* operation, HWND parent, int ownerKey) noexcept
{
    if (!operation) {
        return;
    }
    auto dialog = std::unique_ptr<NsProgressDlg>(new (std::nothrow) NsProgressDlg(ownerKey));
    if (!dialog) {
        return;
    }
    dialog->SetOperation(operation);
    if (dialog->CreateHidden(parent)) {
        (void)dialog.release();  // the window owns it now and frees it at its final message
    }
}

}  // namespace veyra::dialogs
