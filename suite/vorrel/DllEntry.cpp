// vorrel.dll's entry points: DllMain reads the suite's theme centre file; DllGetClassObject hands out the
// factories of the engine, the resource pack, the window factory and the aggregatable outer-drawn control.

#include <windows.h>

#include "suite/vorrel/Engine.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) noexcept
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        vorrel::ReadThemeCentre(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept
{
    return vorrel::GetClassFactory(clsid, iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() noexcept
{
    return vorrel::ModuleInUse() ? S_FALSE : S_OK;
}
