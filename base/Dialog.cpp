#include "Dialog.h"

namespace veyra {

namespace {
constexpr wchar_t kObjectProperty[] = L"veyra.dialog";
}

INT_PTR Dialog::RunModal(HINSTANCE instance, int templateId, HWND owner)
{
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, &Dialog::StaticProc,
                           reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless(HINSTANCE instance, int templateId, HWND owner)
{
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), owner, &Dialog::StaticProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR Dialog::HandleMessage(UINT, WPARAM, LPARAM)
{
    return FALSE;
}

INT_PTR CALLBACK Dialog::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        self->m_hwnd = hwnd;
        SetPropW(hwnd, kObjectProperty, self);
    }
    auto* self = static_cast<Dialog*>(GetPropW(hwnd, kObjectProperty));
    if (!self) {
        return FALSE;
    }
    INT_PTR result = FALSE;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        RemovePropW(hwnd, kObjectProperty);
        self->m_hwnd = nullptr;
        self->OnFinalMessage();
    }
    return result;
}

}  // namespace veyra
