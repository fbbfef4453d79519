#include "shell/dialogs/SkinnedBox.h"

#include <string>

#include "shell/skin/SkinBinding.h"

namespace veyra::dialogs {

using namespace vorrelUI;

namespace {
constexpr DWORD kExtraStyleBits = 0xC000;  // the boxes' extra bits without the UI optimisation
}

bool BuildLayout(HWND host, const wchar_t* layout, ComPtr<Ivorrel_window>& window, ComPtr<Ivorrel_container>& root) noexcept
{
    try {
        wchar_t folder[MAX_PATH] = {};
        skin::GetSkinDirectory(folder);
        if (!host || !folder[0]) {
            return false;
        }
        const std::wstring path = std::wstring(folder) + L"\\KavoSandBox\\" + layout;
        ComPtr<Ivorrel_winfactory> factory;
        return SUCCEEDED(skin::CreateWindowFactory(factory)) && factory &&
               SUCCEEDED(factory->CreateSkinWindow(path.c_str(), host, 0, window.put())) && window &&
               SUCCEEDED(window->GetRoot(root.put())) && root;
    } catch (...) {
        return false;
    }
}

ComPtr<Ivorrel_image> FindImage(const wchar_t* name) noexcept
{
    ComPtr<Ivorrel_image> image;
    if (skin::ResRegistryPtr) {
        (void)skin::ResRegistryPtr->FindImage(name, image.put());
    }
    return image;
}

USHORT SenderId(ULONG_PTR sender) noexcept
{
    auto* dispatch = reinterpret_cast<IDispatch*>(sender);
    ComPtr<Ivorrel_control> control;
    USHORT id = 0;
    if (dispatch && SUCCEEDED(dispatch->QueryInterface(IID_Ivorrel_control, control.put_void())) && control) {
        (void)control->GetId(&id);
    }
    return id;
}

void HideControl(Ivorrel_control* control) noexcept
{
    if (control) {
        control->ModifyStyle(0, kStyleVisible);
    }
}

void ShowControl(Ivorrel_control* control) noexcept
{
    if (control) {
        control->ModifyStyle(kStyleVisible, 0);
    }
}

DWORD BoxStyle() noexcept
{
    return UiOptimisationFlag ? 0 : kExtraStyleBits;
}

}  // namespace veyra::dialogs
