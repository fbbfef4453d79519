// A component DLL that misbehaves for the tests of CreateInstanceFromDll: for one class its factory
// answers S_OK without creating an object; for any other class DllGetClassObject answers S_OK without
// a factory. Built once with DllCanUnloadNow and once without it (two export lists).
#include <windows.h>
#include <unknwn.h>

namespace {

// {6F1B2D3A-1C4E-4B7A-9D2E-5A6B7C8D9E01}
constexpr CLSID kNullObjectClass = {0x6F1B2D3A, 0x1C4E, 0x4B7A, {0x9D, 0x2E, 0x5A, 0x6B, 0x7C, 0x8D, 0x9E, 0x01}};

class NullObjectFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override
    {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** object) noexcept override
    {
        *object = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) noexcept override { return S_OK; }
};

NullObjectFactory s_factory;

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID, void** object)
{
    *object = classId == kNullObjectClass ? static_cast<IClassFactory*>(&s_factory) : nullptr;
    return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_FALSE;
}
