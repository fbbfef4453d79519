#pragma once
// The engine (control creation by layout category, the resource registry, the theme object, the message
// box), the theme object over the process's ThemeStore, and the class table DllGetClassObject serves.

#include <windows.h>

#include "suite/contracts/VorrelInterfaces.h"
#include "suite/vorrel/ComObject.h"

namespace vorrel {

bool IsCreatableClass(REFCLSID clsid) noexcept;
HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** out) noexcept;
bool ModuleInUse() noexcept;
// Reads the suite's theme centre file below the folder of `self` (DllMain).
void ReadThemeCentre(HMODULE self) noexcept;
HRESULT CreateClassInstance(REFCLSID clsid, IUnknown* outer, REFIID iid, void** out) noexcept;

class Engine final : public vorrelUI::Ivorrel_engine, public RefCounted {
public:
    VORREL_IUNKNOWN();
    HRESULT STDMETHODCALLTYPE CreateControl(GUID category, IID iid, LPCWSTR themeName, void** control) override;
    HRESULT STDMETHODCALLTYPE GetThemeCenterPath(LPWSTR buffer, UINT capacity) override;
    HRESULT STDMETHODCALLTYPE GetResRegistry(vorrelUI::Ivorrel_resregistry** registry) override;
    HRESULT STDMETHODCALLTYPE GetTheme(vorrelUI::Ivorrel_theme** theme) override;
    HRESULT STDMETHODCALLTYPE RunMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, UINT_PTR, UINT_PTR,
                                            UINT_PTR, INT* result) override;
};

class ThemeObject final : public vorrelUI::Ivorrel_theme, public RefCounted {
public:
    VORREL_IUNKNOWN();
    HRESULT STDMETHODCALLTYPE GetFont(LPCWSTR themeName, LOGFONTW* font) override;
    HRESULT STDMETHODCALLTYPE GetColor(LPCWSTR themeName, UINT part, COLORREF* color) override;
    HRESULT STDMETHODCALLTYPE GetThemeFile(LPWSTR buffer, UINT capacity) override;
    HRESULT STDMETHODCALLTYPE LoadTheme(LPCWSTR path) override;
};

}  // namespace vorrel
