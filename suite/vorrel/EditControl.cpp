// The edit: an EDIT child window of the skinned window over the control's rectangle. Enter in it is
// the control's event 1 (WM_KEYDOWN, VK_RETURN); its window identifier follows the control's.

#include <windows.h>

#include <commctrl.h>

#include "suite/vorrel/ControlKinds.h"
#include "suite/vorrel/ControlObject.h"

namespace vorrel {

using namespace vorrelUI;

namespace {

constexpr UINT_PTR kEditSubclassId = 0x656474;  // "edt"

class EditControl final : public ContainerObject<Ivorrel_edit> {
public:
    explicit EditControl(std::wstring theme) : ContainerObject(ControlKind::Edit, std::move(theme)) {}
    ~EditControl() override { DropEdit(); }
    bool AnswersInterface(REFIID iid) const noexcept override
    {
        return IsEqualIID(iid, IID_Ivorrel_container) || IsEqualIID(iid, IID_Ivorrel_edit);
    }
    HRESULT STDMETHODCALLTYPE SetEditText(LPCWSTR text) override
    {
        std::wstring value = text ? text : L"";
        if (m_limit && value.size() > m_limit) {
            value.resize(m_limit);
        }
        SetTextSafely(value);
        if (m_edit) {
            SetWindowTextW(m_edit.get(), value.c_str());
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEditText(LPWSTR buffer, UINT capacity) override
    {
        if (!buffer || capacity == 0) {
            return E_POINTER;
        }
        return CopyOut(ShownText(), buffer, capacity);
    }
    HRESULT STDMETHODCALLTYPE GetEditWindow(HWND* hwnd) override
    {
        return hwnd ? (*hwnd = m_edit.get(), m_edit ? S_OK : S_FALSE) : E_POINTER;
    }
    // What the user sees: the EDIT's own text while it exists.
    [[nodiscard]] std::wstring ShownText() const override
    {
        if (!m_edit) {
            return Text();
        }
        const int length = GetWindowTextLengthW(m_edit.get());
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(m_edit.get(), text.data(), length + 1)));
        return text;
    }
    void SetLimit(UINT characters)
    {
        m_limit = characters;
        if (m_edit) {
            SendMessageW(m_edit.get(), EM_LIMITTEXT, m_limit, 0);
        }
    }
    void OnIdChanged() override
    {
        if (m_edit) {
            SetWindowLongPtrW(m_edit.get(), GWLP_ID, m_id);
        }
    }
    void OnWindowChanged() override
    {
        HWND host = m_window ? m_window->Host() : nullptr;
        if (!host) {
            DropEdit();
            return;
        }
        const RECT shown = ShownRect();
        const RECT r = {shown.left + 4, shown.top + 3, shown.right - 4, shown.bottom - 3};
        if (!m_edit || ::GetParent(m_edit.get()) != host) {
            DropEdit();
            m_edit.reset(CreateWindowExW(0, L"EDIT", Text().c_str(), WS_CHILD | ES_AUTOHSCROLL | ES_LEFT, r.left, r.top,
                                         r.right - r.left, r.bottom - r.top, host, reinterpret_cast<HMENU>(m_id),
                                         nullptr, nullptr));
            if (!m_edit) {
                return;
            }
            SetWindowSubclass(m_edit.get(), &EditProc, kEditSubclassId, reinterpret_cast<DWORD_PTR>(this));
            m_font.reset(CreateEditFont());
            SendMessageW(m_edit.get(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
            if (m_limit) {
                SendMessageW(m_edit.get(), EM_LIMITTEXT, m_limit, 0);
            }
        } else {
            MoveWindow(m_edit.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        }
        ShowWindow(m_edit.get(), Visible() ? SW_SHOWNA : SW_HIDE);
        EnableWindow(m_edit.get(), !Disabled());
    }
    void Paint(Gdiplus::Graphics& graphics) override
    {
        ControlNode::Paint(graphics);
        Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
        Gdiplus::Pen frame(Gdiplus::Color(255, 0xB8, 0xC4, 0xD2));
        graphics.FillRectangle(&white, ToGdiplusRect(m_rect));
        graphics.DrawRectangle(&frame, Gdiplus::Rect(m_rect.left, m_rect.top, m_rect.right - m_rect.left - 1,
                                                    m_rect.bottom - m_rect.top - 1));
    }

private:
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) noexcept
    {
        auto* self = reinterpret_cast<EditControl*>(data);
        if (message == WM_GETDLGCODE && wParam == VK_RETURN) {
            // Enter is the edit's (a dialog's message filter would take it for the default button).
            return DefSubclassProc(hwnd, message, wParam, lParam) | DLGC_WANTMESSAGE;
        }
        if (message == WM_CHAR && wParam == L'\r') {
            return 0;  // no beep: Enter was the event
        }
        if (message == WM_KEYDOWN && wParam == VK_RETURN) {
            // The handler may destroy the window and release the control: keep it until we return.
            veyra::ComPtr<Ivorrel_control> keep = veyra::ComPtr<Ivorrel_control>::Copy(self->Control());
            try {
                self->RaiseCommand(WM_KEYDOWN, VK_RETURN, lParam);
            } catch (...) {
            }
            return 0;
        }
        if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(hwnd, &EditProc, kEditSubclassId);
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    void DropEdit() noexcept
    {
        if (m_edit) {
            RemoveWindowSubclass(m_edit.get(), &EditProc, kEditSubclassId);
            m_edit.reset();
        }
    }
    static HFONT CreateEditFont()
    {
        LOGFONTW font{};
        font.lfHeight = -12;
        font.lfCharSet = DEFAULT_CHARSET;
        wcscpy(font.lfFaceName, L"微软雅黑");
        return CreateFontIndirectW(&font);
    }

    veyra::UniqueWindow m_edit;
    veyra::UniqueFont m_font;
    UINT m_limit = 0;
};

}  // namespace

ControlNode* MakeEditNode(const std::wstring& theme)
{
    return MakeNode<EditControl>(theme);
}

void SetEditLimit(ControlNode* node, UINT characters)
{
    if (node && node->Kind() == ControlKind::Edit) {
        static_cast<EditControl*>(node)->SetLimit(characters);
    }
}

}  // namespace vorrel
