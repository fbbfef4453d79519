#pragma once
// The program's side of the skin library: objects created from the loaded vorrel.dll without
// registration, the proxy binding, the process-wide engine and packs, the control factories and the
// geometry used on control rectangles. The process-wide objects are set once on the UI thread while
// the desktop window is created and only read afterwards.

#include <windows.h>

#include "base/ComPtr.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace veyra::skin {

// The process-wide objects (empty until set).
extern ComPtr<vorrelUI::Ivorrel_engine> EnginePtr;
extern ComPtr<vorrelUI::Ivorrel_resregistry> ResRegistryPtr;
extern ComPtr<vorrelUI::Ivorrel_theme> ThemeLoaderPtr;
extern ComPtr<vorrelUI::Ivorrel_respack> ImagePack;
extern ComPtr<vorrelUI::Ivorrel_respack> MessageBoxPack;

// Through "DllGetClassObject" of the loaded "vorrel.dll": E_FAIL without the module or the export,
// the export's failure as it is, E_NOINTERFACE for a null factory, else CreateInstance's result.
// Whatever *out held is released first (it must be null or an owned pointer).
[[nodiscard]] HRESULT CreateFromModule(REFCLSID clsid, IUnknown* outer, REFIID iid, void** out) noexcept;
[[nodiscard]] HRESULT CreateEngine() noexcept;  // into EnginePtr
[[nodiscard]] HRESULT CreateResourcePack(ComPtr<vorrelUI::Ivorrel_respack>& pack) noexcept;
[[nodiscard]] HRESULT CreateWindowFactory(ComPtr<vorrelUI::Ivorrel_winfactory>& factory) noexcept;

// 1 when the proxy is bound (at once when it already was), else 0. The library is never freed.
[[nodiscard]] int LoadVorrelUIProxy(const wchar_t* proxyPath, IUnknown* engine) noexcept;
[[nodiscard]] vorrelUI::Ivorrel_uiproxy* GetCachedUIProxy() noexcept;
// The proxy's skin name and folder into 260-character buffers; "" when the proxy is not bound.
void GetSkinName(wchar_t (&buffer)[MAX_PATH]) noexcept;
void GetSkinDirectory(wchar_t (&buffer)[MAX_PATH]) noexcept;
// Forgets the proxy (tests only: the library itself stays loaded).
void ResetProxyForTest() noexcept;

// Control factories: 1 when the control was created, else 0.
[[nodiscard]] int CreatePanelControl(ComPtr<vorrelUI::Ivorrel_panel>& out) noexcept;
[[nodiscard]] int CreatePictureControl(ComPtr<vorrelUI::Ivorrel_itemcontrol>& out) noexcept;
[[nodiscard]] int CreateLabelControl(ComPtr<vorrelUI::Ivorrel_label>& out, const wchar_t* theme) noexcept;
[[nodiscard]] int CreateButtonControl(ComPtr<vorrelUI::Ivorrel_imagebutton>& out) noexcept;
[[nodiscard]] int CreateCheckButtonControl(ComPtr<vorrelUI::Ivorrel_imagebutton>& out) noexcept;
[[nodiscard]] int CreateListViewControl(ComPtr<vorrelUI::Ivorrel_listview>& out) noexcept;
[[nodiscard]] int CreatePictureWithImage(ComPtr<vorrelUI::Ivorrel_itemcontrol>& out, const wchar_t* theme,
                                         const wchar_t* imageName) noexcept;
[[nodiscard]] int CreatePictureWithText(ComPtr<vorrelUI::Ivorrel_itemcontrol>& out, const wchar_t* theme,
                                        const wchar_t* text) noexcept;

// A typed pointer from any control pointer; E_NOINTERFACE leaves it empty.
template <typename T>
HRESULT ConvertControl(IUnknown* control, REFIID iid, ComPtr<T>& out) noexcept
{
    out.reset();
    return control ? control->QueryInterface(iid, out.put_void()) : E_POINTER;
}

// The library's own modal message box (engine position 7) over `owner`: the button's answer (IDYES,
// IDNO, IDOK, IDCANCEL, ...), or -1 without an engine or when the library cannot show one.
[[nodiscard]] int EngineMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) noexcept;

// Advises `sink` on the control's Ivorrel_events connection point.
[[nodiscard]] HRESULT AdviseEvents(IUnknown* control, IDispatch* sink, DWORD* cookie) noexcept;

// Geometry on a control's rectangle (borders included).
[[nodiscard]] int PointInControl(vorrelUI::Ivorrel_control* control, int topInset, int bottomInset, POINT point) noexcept;
[[nodiscard]] int PointInBottomStrip(vorrelUI::Ivorrel_control* control, int rightInset, POINT point) noexcept;
[[nodiscard]] UINT MenuAlignFlags(vorrelUI::Ivorrel_control* control, POINT point) noexcept;

}  // namespace veyra::skin
