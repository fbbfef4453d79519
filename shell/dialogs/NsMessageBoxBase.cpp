#include "shell/dialogs/NsMessageBoxBase.h"

#include "shell/skin/SkinBinding.h"

namespace veyra::dialogs {

using namespace vorrelUI;

namespace {
constexpr wchar_t kBoxClass[] = L"VeyraMessageBox";
constexpr wchar_t kLayout[] = L"NsMessageBox.xml";
}  // namespace

NsMessageBoxBase::NsMessageBoxBase(int ownerKey, int type, BoxMode mode) noexcept
    : SkinnedBox(ownerKey), m_type(type), m_mode(mode)
{
}

std::span<const skin::SkinEventSink<NsMessageBoxBase>::Entry> NsMessageBoxBase::Events()
{
    static const SkinEventSink::Entry entries[] = {
        {1, &DIID_Ivorrel_events, 1, 4, &NsMessageBoxBase::OnSkinEvent},
    };
    return entries;
}

std::span<const MappedWindow<NsMessageBoxBase>::Entry> NsMessageBoxBase::Messages()
{
    static const MappedWindow::Entry entries[] = {
        {WM_CREATE, &NsMessageBoxBase::OnCreate},
        {WM_CLOSE, &NsMessageBoxBase::OnClose},
        {WM_DESTROY, &NsMessageBoxBase::OnDestroy},
        {WM_MOVE, &NsMessageBoxBase::OnMoved},
        {WM_NS_HOST_MOVED, &NsMessageBoxBase::OnHostMoved},
        {WM_LBUTTONDOWN, &NsMessageBoxBase::OnCaptionDown},
        {WM_MOUSEMOVE, &NsMessageBoxBase::OnCaptionMove},
        {WM_LBUTTONUP, &NsMessageBoxBase::OnCaptionUp},
    };
    return entries;
}

bool NsMessageBoxBase::Open(HWND parent, int hostFlags, const std::wstring& text1, const std::wstring& text2,
                            const std::wstring& text3) noexcept
{
    try {
        m_texts[0] = text1;
        m_texts[1] = text2;
        m_texts[2] = text3;
    } catch (...) {
        return false;
    }
    if (!CreateBox(kBoxClass, parent)) {
        return false;
    }
    if (!m_ready) {
        DestroyWindow(Handle());
        return false;
    }
    AttachAndPlace(parent, hostFlags);
    return true;
}

LRESULT NsMessageBoxBase::OnCreate(WPARAM, LPARAM)
{
    StartFiltering();
    m_ready = SetUp();
    return 0;
}

bool NsMessageBoxBase::SetUp() noexcept
{
    if (!BuildSkin(kLayout) || !skin::FindControlAs(m_skin.get(), kBody, IID_Ivorrel_panel, m_body) ||
        !skin::FindControlAs(m_skin.get(), kMessage, IID_Ivorrel_label, m_message) ||
        !skin::FindControlAs(m_skin.get(), kTitle, IID_Ivorrel_label, m_title) ||
        !skin::FindControlAs(m_skin.get(), kIcon, IID_Ivorrel_itemcontrol, m_icon) ||
        !skin::FindControlAs(m_skin.get(), kClose, IID_Ivorrel_imagebutton, m_closeButton)) {
        return false;
    }
    DWORD cookie = 0;
    (void)skin::AdviseEvents(m_closeButton.get(), static_cast<IDispatch*>(this), &cookie);
    if (!UiOptimisationFlag) {
        HideControl(m_closeButton.get());
    }
    if (!AddButtons()) {
        return false;
    }
    ComPtr<Ivorrel_image> icon = skin::RegisteredImage(IconImageName(m_type));
    m_icon->SetImage(icon.get());
    m_body->Redraw(TRUE);
    m_skin->Show(TRUE);
    return true;
}

bool NsMessageBoxBase::AddButtons() noexcept
{
    try {
        m_buttonSet = ButtonSet(m_type, m_mode, m_texts[0], m_texts[1], m_texts[2]);
        if (m_buttonSet.empty()) {
            return false;
        }
        RECT body{};
        m_body->GetRect(&body);
        for (std::size_t index = 0; index < m_buttonSet.size(); ++index) {
            const BoxButton& spec = m_buttonSet[index];
            ComPtr<Ivorrel_imagebutton> button;
            if (!skin::CreateButtonControl(button)) {
                return false;
            }
            const RECT place = ButtonRect(body, static_cast<int>(index));
            button->SetId(spec.id);
            button->Move(&place, FALSE);
            button->SetText(spec.text.c_str());
            ComPtr<Ivorrel_image> image = skin::RegisteredImage(spec.image);
            button->SetImage(image.get());
            ShowControl(button.get());  // a created control starts hidden
            m_root->AddChild(button.get());
            DWORD cookie = 0;
            (void)skin::AdviseEvents(button.get(), static_cast<IDispatch*>(this), &cookie);
            m_buttons.push_back(std::move(button));
        }
        return true;
    } catch (...) {
        return false;
    }
}

void NsMessageBoxBase::SetText(const std::wstring& text) noexcept
{
    if (m_message) {
        m_message->SetText(text.c_str());
        m_message->SetTooltip(text.c_str());
    }
}

void NsMessageBoxBase::SetCaption(const std::wstring& text) noexcept
{
    if (m_title) {
        m_title->SetText(text.c_str());
    }
}

LRESULT NsMessageBoxBase::OnClose(WPARAM, LPARAM)
{
    OnCloseRequest();
    return 0;
}

LRESULT NsMessageBoxBase::OnDestroy(WPARAM wParam, LPARAM lParam)
{
    OnDestroyed(wParam, lParam);
    OnWindowGone();
    return 0;
}

LONG NsMessageBoxBase::OnSkinEvent(const ULONG_PTR* arguments)
{
    const WPARAM wParam = static_cast<WPARAM>(arguments[1]);
    if (static_cast<UINT>(arguments[0]) != WM_COMMAND || HIWORD(wParam) != 0) {
        return 0;
    }
    const USHORT id = LOWORD(wParam);
    if (id == kClose) {
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return 0;
    }
    for (const BoxButton& button : m_buttonSet) {
        if (button.id == id) {
            OnAnswer(button.answer);
            break;
        }
    }
    return 0;
}

}  // namespace veyra::dialogs
