#include "Engine.h"

#include "suite/vorrel/Controls.h"
#include "suite/vorrel/MessageBoxWindow.h"
#include "suite/vorrel/Resources.h"
#include "suite/vorrel/SkinWindow.h"
#include "suite/vorrel/ThemeStore.h"

namespace vorrel {

bool IsCreatableClass(REFCLSID clsid) noexcept
{
    return IsEqualCLSID(clsid, vorrelUI::CLSID_vorrel_engine) || IsEqualCLSID(clsid, vorrelUI::CLSID_vorrel_respack) ||
           IsEqualCLSID(clsid, vorrelUI::CLSID_vorrel_winfactory) ||
           IsEqualCLSID(clsid, vorrelUI::CLSID_vorrel_outercontrol);
}

HRESULT CreateClassInstance(REFCLSID clsid, IUnknown* outer, REFIID iid, void** out) noexcept
{
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (IsEqualCLSID(clsid, vorrelUI::CLSID_vorrel_outercontrol)) {
        return CreateOuterDrawnControl(outer, iid, out);
    }
    if (outer) {
        return CLASS_E_NOAGGREGATION;
    }
    if (IsEqualCLSID(clsid, vorrelUI::CLSID_vorrel_engine)) {
        return CreateObject<Engine>(iid, out);
    }
    if (IsEqualCLSID(clsid, vorrelUI::CLSID_vorrel_respack)) {
        return CreateObject<ResourcePack>(iid, out);
    }
    if (IsEqualCLSID(clsid, vorrelUI::CLSID_vorrel_winfactory)) {
        return CreateObject<WindowFactory>(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT Engine::QueryInterface(REFIID iid, void** out)
{
    return AnswerInterface(static_cast<vorrelUI::Ivorrel_engine*>(this), iid,
                           {&IID_IUnknown, &vorrelUI::IID_Ivorrel_engine}, out);
}

HRESULT Engine::CreateControl(GUID category, IID iid, LPCWSTR themeName, void** control)
{
    return CreateControlOfCategory(category, iid, themeName ? themeName : L"", control);
}

HRESULT Engine::GetThemeCenterPath(LPWSTR buffer, UINT capacity)
{
    return CopyOut(ThemeStore::Instance().ThemeCenterPath(), buffer, capacity);
}

HRESULT Engine::GetResRegistry(vorrelUI::Ivorrel_resregistry** registry)
{
    if (!registry) {
        return E_POINTER;
    }
    ResourceRegistry& instance = ResourceRegistry::Instance();
    instance.AddRef();
    *registry = &instance;
    return S_OK;
}

HRESULT Engine::GetTheme(vorrelUI::Ivorrel_theme** theme)
{
    if (!theme) {
        return E_POINTER;
    }
    *theme = nullptr;
    return CreateObject<ThemeObject>(vorrelUI::IID_Ivorrel_theme, reinterpret_cast<void**>(theme));
}

HRESULT Engine::RunMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, UINT_PTR, UINT_PTR, UINT_PTR,
                              INT* result)
{
    return ShowEngineMessageBox(owner, text, caption, type, result);
}

HRESULT ThemeObject::QueryInterface(REFIID iid, void** out)
{
    return AnswerInterface(static_cast<vorrelUI::Ivorrel_theme*>(this), iid,
                           {&IID_IUnknown, &vorrelUI::IID_Ivorrel_theme}, out);
}

HRESULT ThemeObject::GetFont(LPCWSTR themeName, LOGFONTW* font)
{
    if (!font) {
        return E_POINTER;
    }
    const Style style = ThemeStore::Instance().Find(themeName ? themeName : L"");
    *font = LOGFONTW{};
    font->lfHeight = style.height;
    font->lfWeight = style.weight;
    font->lfCharSet = DEFAULT_CHARSET;
    font->lfPitchAndFamily = FF_SWISS;
    style.face.copy(font->lfFaceName, LF_FACESIZE - 1);
    return S_OK;
}

HRESULT ThemeObject::GetColor(LPCWSTR themeName, UINT part, COLORREF* color)
{
    if (!color) {
        return E_POINTER;
    }
    const Style style = ThemeStore::Instance().Find(themeName ? themeName : L"");
    const std::optional<COLORREF> value = part == vorrelUI::kColorText ? std::optional(style.text)
                                          : part == vorrelUI::kColorBack ? style.back
                                          : part == vorrelUI::kColorBorder ? style.border
                                                                           : std::nullopt;
    if (!value) {
        return S_FALSE;  // the style leaves it transparent
    }
    *color = *value;
    return S_OK;
}

HRESULT ThemeObject::GetThemeFile(LPWSTR buffer, UINT capacity)
{
    return CopyOut(ThemeStore::Instance().LastThemeFile(), buffer, capacity);
}

HRESULT ThemeObject::LoadTheme(LPCWSTR path)
{
    if (!path || !*path) {
        return E_INVALIDARG;
    }
    return ThemeStore::Instance().LoadThemeFile(path) ? S_OK : HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
}

}  // namespace vorrel
