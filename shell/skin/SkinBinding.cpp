#include "SkinBinding.h"

#include <atomic>

namespace veyra::skin {

using namespace vorrelUI;

ComPtr<Ivorrel_engine> EnginePtr;
ComPtr<Ivorrel_resregistry> ResRegistryPtr;
ComPtr<Ivorrel_theme> ThemeLoaderPtr;
ComPtr<Ivorrel_respack> ImagePack;
ComPtr<Ivorrel_respack> MessageBoxPack;

namespace {

// The proxy object: set once, never released (its library is never freed).
std::atomic<Ivorrel_uiproxy*> s_proxy{nullptr};

constexpr LONG kMenuRightZone = 155;
constexpr LONG kMenuBottomZone = 120;
constexpr LONG kStripHeight = 40;
constexpr LONG kStripLeftInset = 40;

template <typename Interface>
int CreateKind(const GUID& category, const IID& iid, const wchar_t* theme, ComPtr<Interface>& out) noexcept
{
    out.reset();
    if (!EnginePtr) {
        return 0;
    }
    EnginePtr->CreateControl(category, iid, theme ? theme : L"", out.put_void());
    return out ? 1 : 0;
}

bool ControlRect(Ivorrel_control* control, RECT& rect) noexcept
{
    return control && SUCCEEDED(control->GetRect(&rect));
}

}  // namespace

HRESULT CreateFromModule(REFCLSID clsid, IUnknown* outer, REFIID iid, void** out) noexcept
{
    if (!out) {
        return E_POINTER;
    }
    if (auto* old = static_cast<IUnknown*>(*out)) {
        *out = nullptr;
        old->Release();
    }
    HMODULE module = GetModuleHandleW(L"vorrel.dll");
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get = module ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")))
                      : nullptr;
    if (!get) {
        return E_FAIL;
    }
    ComPtr<IClassFactory> factory;
    const HRESULT hr = get(clsid, IID_IClassFactory, factory.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    if (!factory) {
        return E_NOINTERFACE;
    }
    return factory->CreateInstance(outer, iid, out);
}

HRESULT CreateEngine() noexcept
{
    return CreateFromModule(CLSID_vorrel_engine, nullptr, IID_Ivorrel_engine, EnginePtr.put_void());
}

HRESULT CreateResourcePack(ComPtr<Ivorrel_respack>& pack) noexcept
{
    return CreateFromModule(CLSID_vorrel_respack, nullptr, IID_Ivorrel_respack, pack.put_void());
}

HRESULT CreateWindowFactory(ComPtr<Ivorrel_winfactory>& factory) noexcept
{
    return CreateFromModule(CLSID_vorrel_winfactory, nullptr, IID_Ivorrel_winfactory, factory.put_void());
}

int LoadVorrelUIProxy(const wchar_t* proxyPath, IUnknown* engine) noexcept
{
    if (s_proxy.load()) {
        return 1;
    }
    if (!proxyPath || !*proxyPath || !engine) {
        return 0;
    }
    HMODULE module = LoadLibraryW(proxyPath);  // never freed: the proxy object lives in it
    if (!module) {
        return 0;
    }
    auto resolve = [module](const char* name) {
        return reinterpret_cast<GetVorrelUIProxyFunction>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    };
    const auto getProxy = resolve("GetVorrelUIProxy");
    const auto getMini = resolve("GetMiniUICompatible");
    const auto getManager = resolve("GetChangeSkinManager");  // optional
    IUnknown* proxy = getProxy ? getProxy() : nullptr;
    IUnknown* mini = getMini ? getMini() : nullptr;
    if (getManager) {
        getManager();
    }
    if (!proxy || !mini) {
        return 0;
    }
    Ivorrel_uiproxy* typed = nullptr;
    if (FAILED(proxy->QueryInterface(IID_Ivorrel_uiproxy, reinterpret_cast<void**>(&typed))) || !typed) {
        return 0;
    }
    Ivorrel_uiproxy* expected = nullptr;
    if (!s_proxy.compare_exchange_strong(expected, typed)) {
        typed->Release();
        return 1;
    }
    typed->SetEngine(engine);
    return 1;
}

Ivorrel_uiproxy* GetCachedUIProxy() noexcept
{
    return s_proxy.load();
}

void GetSkinName(wchar_t (&buffer)[MAX_PATH]) noexcept
{
    buffer[0] = L'\0';
    if (Ivorrel_uiproxy* proxy = s_proxy.load(); proxy && FAILED(proxy->GetSkinName(buffer))) {
        buffer[0] = L'\0';
    }
}

void GetSkinDirectory(wchar_t (&buffer)[MAX_PATH]) noexcept
{
    buffer[0] = L'\0';
    if (Ivorrel_uiproxy* proxy = s_proxy.load(); proxy && FAILED(proxy->GetSkinDirectory(buffer))) {
        buffer[0] = L'\0';
    }
}

void ResetProxyForTest() noexcept
{
    if (Ivorrel_uiproxy* proxy = s_proxy.exchange(nullptr)) {
        proxy->Release();
    }
}

int CreatePanelControl(ComPtr<Ivorrel_panel>& out) noexcept
{
    return CreateKind(CATEGORY_panel, IID_Ivorrel_panel, L"sandbox_default", out);
}

int CreatePictureControl(ComPtr<Ivorrel_itemcontrol>& out) noexcept
{
    return CreateKind(CATEGORY_picture, IID_Ivorrel_itemcontrol, L"sandbox_default", out);
}

int CreateLabelControl(ComPtr<Ivorrel_label>& out, const wchar_t* theme) noexcept
{
    return CreateKind(CATEGORY_label, IID_Ivorrel_label, theme, out);
}

int CreateButtonControl(ComPtr<Ivorrel_imagebutton>& out) noexcept
{
    return CreateKind(CATEGORY_imagebutton, IID_Ivorrel_imagebutton, L"default", out);
}

int CreateCheckButtonControl(ComPtr<Ivorrel_imagebutton>& out) noexcept
{
    return CreateKind(CATEGORY_imagebutton, IID_Ivorrel_imagebutton, L"button_sandbox_checkradio", out);
}

int CreateListViewControl(ComPtr<Ivorrel_listview>& out) noexcept
{
    return CreateKind(CATEGORY_listview, IID_Ivorrel_listview, L"default", out);
}

int CreatePictureWithImage(ComPtr<Ivorrel_itemcontrol>& out, const wchar_t* theme, const wchar_t* imageName) noexcept
{
    if (!CreateKind(CATEGORY_picture, IID_Ivorrel_itemcontrol, theme, out)) {
        return 0;
    }
    ComPtr<Ivorrel_image> image;
    if (ImagePack && imageName) {
        ImagePack->GetImage(imageName, image.put());
    }
    out->SetImage(image.get());
    out->ModifyStyle(kStyleVisible, 0);
    return 1;
}

int CreatePictureWithText(ComPtr<Ivorrel_itemcontrol>& out, const wchar_t* theme, const wchar_t* text) noexcept
{
    if (!CreateKind(CATEGORY_picture, IID_Ivorrel_itemcontrol, theme, out)) {
        return 0;
    }
    out->SetText(text ? text : L"");
    out->ModifyStyle(kStyleVisible, 0);
    return 1;
}

int EngineMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) noexcept
{
    INT result = 0;
    if (!EnginePtr || FAILED(EnginePtr->RunMessageBox(owner, text, caption, type, 0, 0, 0, &result))) {
        return -1;
    }
    return result;
}

HRESULT AdviseEvents(IUnknown* control, IDispatch* sink, DWORD* cookie) noexcept
{
    if (!control || !sink || !cookie) {
        return E_POINTER;
    }
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = control->QueryInterface(IID_IConnectionPointContainer, container.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IConnectionPoint> point;
    if (FAILED(hr = container->FindConnectionPoint(DIID_Ivorrel_events, point.put()))) {
        return hr;
    }
    return point->Advise(sink, cookie);
}

int PointInControl(Ivorrel_control* control, int topInset, int bottomInset, POINT point) noexcept
{
    RECT r{};
    if (!ControlRect(control, r)) {
        return 0;
    }
    return point.x >= r.left && point.x <= r.right && point.y >= r.top + topInset && point.y <= r.bottom - bottomInset;
}

int PointInBottomStrip(Ivorrel_control* control, int rightInset, POINT point) noexcept
{
    RECT r{};
    if (!ControlRect(control, r)) {
        return 0;
    }
    return point.x >= r.left + kStripLeftInset && point.x <= r.right - rightInset && point.y >= r.bottom - kStripHeight &&
           point.y <= r.bottom;
}

UINT MenuAlignFlags(Ivorrel_control* control, POINT point) noexcept
{
    RECT r{};
    if (!ControlRect(control, r)) {
        return 0;
    }
    UINT flags = 0;
    if (r.right - point.x < kMenuRightZone) {
        flags |= TPM_RIGHTALIGN;
    }
    if (r.bottom - point.y < kMenuBottomZone) {
        flags |= TPM_BOTTOMALIGN;
    }
    return flags;
}

}  // namespace veyra::skin
