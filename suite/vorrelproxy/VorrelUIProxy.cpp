// Utils\VorrelUIProxy.dll: tells where the active skin lies. Its one proxy object is handed the engine
// once and answers the skin's name ("default") and folder (<suite>\Config\newui\themes\default, the
// suite being the folder above Utils). Objects live until the process ends; any thread.

#include <windows.h>

#include <atomic>
#include <string>

#include "base/ComPtr.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace {

constexpr wchar_t kSkinName[] = L"default";
constexpr wchar_t kSkinBelowSuite[] = L"\\Config\\newui\\themes\\default";

HMODULE s_module = nullptr;

std::wstring SuiteFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(s_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::wstring folder(path, length);
    for (int level = 0; level < 2; ++level) {  // the file name, then Utils
        const size_t slash = folder.find_last_of(L'\\');
        folder.resize(slash == std::wstring::npos ? 0 : slash);
    }
    return folder;
}

HRESULT Copy260(const std::wstring& text, LPWSTR buffer)
{
    if (!buffer) {
        return E_POINTER;
    }
    if (text.empty() || text.size() >= MAX_PATH) {
        buffer[0] = L'\0';
        return E_FAIL;
    }
    text.copy(buffer, text.size());
    buffer[text.size()] = L'\0';
    return S_OK;
}

// Static objects: counting does nothing, they outlive every caller.
template <typename Interface, const IID* Id>
class StaticObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) {
            return E_POINTER;
        }
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, *Id) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

class UiProxy final : public StaticObject<vorrelUI::Ivorrel_uiproxy, &vorrelUI::IID_Ivorrel_uiproxy> {
public:
    HRESULT STDMETHODCALLTYPE GetVersion(DWORD* version) override { return version ? (*version = 0x00050000, S_OK) : E_POINTER; }
    HRESULT STDMETHODCALLTYPE SetEngine(IUnknown* engine) override
    {
        if (!engine) {
            return E_INVALIDARG;
        }
        IUnknown* expected = nullptr;
        engine->AddRef();  // kept for the life of the process
        if (!m_engine.compare_exchange_strong(expected, engine)) {
            engine->Release();
            return S_FALSE;  // handed once; later engines are not taken
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEngine(IUnknown** engine) override
    {
        if (!engine) {
            return E_POINTER;
        }
        *engine = m_engine.load();
        if (*engine) {
            (*engine)->AddRef();
        }
        return *engine ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetSkinName(LPWSTR buffer260) override { return Copy260(kSkinName, buffer260); }
    HRESULT STDMETHODCALLTYPE GetSkinDirectory(LPWSTR buffer260) override
    {
        const std::wstring suite = SuiteFolder();
        return Copy260(suite.empty() ? std::wstring() : suite + kSkinBelowSuite, buffer260);
    }

private:
    std::atomic<IUnknown*> m_engine{nullptr};
};

class MiniCompatible final : public StaticObject<vorrelUI::Ivorrel_minicompat, &vorrelUI::IID_Ivorrel_minicompat> {
public:
    HRESULT STDMETHODCALLTYPE IsCompatible(BOOL* compatible) override { return compatible ? (*compatible = TRUE, S_OK) : E_POINTER; }
};

class SkinManager final : public StaticObject<vorrelUI::Ivorrel_skinmanager, &vorrelUI::IID_Ivorrel_skinmanager> {
public:
    HRESULT STDMETHODCALLTYPE GetSkinCount(UINT* count) override { return count ? (*count = 1, S_OK) : E_POINTER; }
};

UiProxy s_proxy;
MiniCompatible s_miniCompatible;
SkinManager s_skinManager;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) noexcept
{
    if (reason == DLL_PROCESS_ATTACH) {
        s_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" IUnknown* WINAPI GetVorrelUIProxy() noexcept
{
    return &s_proxy;
}

extern "C" IUnknown* WINAPI GetMiniUICompatible() noexcept
{
    return &s_miniCompatible;
}

extern "C" IUnknown* WINAPI GetChangeSkinManager() noexcept
{
    return &s_skinManager;
}
