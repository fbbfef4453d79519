// The stand-in IPC service: one COM class served by DllGetClassObject, unloadable once no object and no
// lock is left.
#include <windows.h>

#include <new>

#include "suite/contracts/IpcService.h"

namespace {

using veyra::suite::CLSID_KavoIpcService;
using veyra::suite::IID_IKavoIpcService;
using veyra::suite::IKavoIpcService;

// The one interface `self` offers besides IUnknown.
template <typename Interface>
HRESULT QueryOwnInterface(Interface* self, REFIID own, REFIID iid, void** object) noexcept
{
    if (!object) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == own) {
        *object = self;
        self->AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

volatile LONG s_liveObjects = 0;
volatile LONG s_serverLocks = 0;

class IpcService final : public IKavoIpcService {
public:
    IpcService() noexcept { InterlockedIncrement(&s_liveObjects); }
    ~IpcService() { InterlockedDecrement(&s_liveObjects); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override
    {
        return QueryOwnInterface<IKavoIpcService>(this, IID_IKavoIpcService, iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return InterlockedIncrement(&m_references); }
    ULONG STDMETHODCALLTYPE Release() noexcept override
    {
        const ULONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            delete this;
        }
        return left;
    }
    // Nothing to connect in the stand-in: it only records the call.
    HRESULT STDMETHODCALLTYPE Connect(LONG flags) noexcept override
    {
        const DWORD value = static_cast<DWORD>(flags);
        RegSetKeyValueW(HKEY_CURRENT_USER, veyra::suite::kIpcServiceRecordKey, L"ConnectFlags", REG_DWORD, &value,
                        sizeof(value));
        return S_OK;
    }

private:
    volatile LONG m_references = 1;
};

class IpcServiceFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override
    {
        return QueryOwnInterface<IClassFactory>(this, IID_IClassFactory, iid, object);
    }
    // The factory is a static object: its references only keep the module in use.
    ULONG STDMETHODCALLTYPE AddRef() noexcept override
    {
        InterlockedIncrement(&s_serverLocks);
        return 2;
    }
    ULONG STDMETHODCALLTYPE Release() noexcept override
    {
        InterlockedDecrement(&s_serverLocks);
        return 1;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) noexcept override
    {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer) {
            return CLASS_E_NOAGGREGATION;
        }
        auto* service = new (std::nothrow) IpcService();
        if (!service) {
            return E_OUTOFMEMORY;
        }
        const HRESULT result = service->QueryInterface(iid, object);
        service->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override
    {
        if (lock) {
            InterlockedIncrement(&s_serverLocks);
        } else {
            InterlockedDecrement(&s_serverLocks);
        }
        return S_OK;
    }
};

IpcServiceFactory s_factory;

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (classId != CLSID_KavoIpcService) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return s_factory.QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return s_liveObjects == 0 && s_serverLocks == 0 ? S_OK : S_FALSE;
}
