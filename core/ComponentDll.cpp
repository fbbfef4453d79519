#include "core/ComponentDll.h"

#include <mutex>
#include <vector>

#include "base/ComPtr.h"

namespace veyra {

namespace {

using DllGetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

struct LoadedComponent {
    HMODULE module;
    DllCanUnloadNowFunction canUnloadNow;
};

std::mutex s_componentsLock;
std::vector<LoadedComponent> s_components;  // in load order

template <typename Function>
Function Export(HMODULE module, const char* name) noexcept
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

HRESULT CreateInstanceFromDll(const wchar_t* dllPath, REFCLSID classId, REFIID interfaceId, void** object) noexcept
{
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    HMODULE module = dllPath ? LoadLibraryW(dllPath) : nullptr;
    if (!module) {
        return E_FAIL;
    }
    auto getClassObject = Export<DllGetClassObjectFunction>(module, "DllGetClassObject");
    auto canUnloadNow = Export<DllCanUnloadNowFunction>(module, "DllCanUnloadNow");
    if (!getClassObject || !canUnloadNow) {
        return E_FAIL;  // the module stays loaded, unlisted
    }
    try {
        std::lock_guard lock(s_componentsLock);
        s_components.push_back({module, canUnloadNow});
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    ComPtr<IClassFactory> factory;
    const HRESULT factoryResult = getClassObject(classId, IID_IClassFactory, factory.put_void());
    if (factoryResult != S_OK || !factory) {
        return factoryResult == S_OK ? E_FAIL : factoryResult;
    }
    const HRESULT created = factory->CreateInstance(nullptr, interfaceId, object);
    if (SUCCEEDED(created) && !*object) {
        return E_FAIL;
    }
    return created;
}

void FreeUnusedComponentDlls() noexcept
{
    std::lock_guard lock(s_componentsLock);
    std::erase_if(s_components, [](const LoadedComponent& component) {
        if (component.canUnloadNow() != S_OK) {
            return false;
        }
        FreeLibrary(component.module);
        return true;
    });
}

}  // namespace veyra
