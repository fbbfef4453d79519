#include "shell/skin/SkinLayouts.h"

namespace veyra::skin {

using namespace vorrelUI;

std::wstring LayoutPath(const wchar_t* file)
{
    wchar_t folder[MAX_PATH] = {};
    GetSkinDirectory(folder);
    return std::wstring(folder) + L"\\KavoSandBox\\" + file;
}

bool BuildLayout(const wchar_t* file, HWND host, ComPtr<Ivorrel_window>& window, ComPtr<Ivorrel_container>& root) noexcept
{
    if (!host) {
        return false;
    }
    try {
        const std::wstring layout = LayoutPath(file);
        ComPtr<Ivorrel_winfactory> factory;
        if (FAILED(CreateWindowFactory(factory)) || !factory ||
            FAILED(factory->CreateSkinWindow(layout.c_str(), host, 0, window.put())) || !window) {
            return false;
        }
        return SUCCEEDED(window->GetRoot(root.put())) && root;
    } catch (...) {
        return false;
    }
}

USHORT SenderId(ULONG_PTR sender) noexcept
{
    ComPtr<Ivorrel_control> control;
    USHORT id = 0;
    auto* dispatch = reinterpret_cast<IDispatch*>(sender);
    if (dispatch && SUCCEEDED(ConvertControl(dispatch, IID_Ivorrel_control, control)) && control) {
        static_cast<void>(control->GetId(&id));
    }
    return id;
}

ComPtr<Ivorrel_image> RegisteredImage(const wchar_t* name) noexcept
{
    ComPtr<Ivorrel_image> image;
    if (!ResRegistryPtr || FAILED(ResRegistryPtr->FindImage(name, image.put()))) {
        image.reset();
    }
    return image;
}

}  // namespace veyra::skin
