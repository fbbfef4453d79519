#pragma once
// The event sink every skinned window carries for Ivorrel_events. The window class lists its handlers
// in a static table of entries (source 1, interface, dispatch identifier, parameter count, handler);
// Invoke finds the entry and calls the handler with the arguments in their declared order, each as a
// ULONG_PTR (numbers as unsigned 32-bit values, the sender as its IDispatch pointer). The sink is part of
// the window object: AddRef and Release do not count, and the object outlives its advises.
//
//   class NsSomeDlg : public veyra::skin::SkinEventSink<NsSomeDlg> {
//       static std::span<const Entry> Events();   // { {1, &DIID_Ivorrel_events, 1, 4, &NsSomeDlg::OnEvent} }
//   };

#include <windows.h>

#include <span>

#include "suite/contracts/VorrelInterfaces.h"

namespace veyra::skin {

inline constexpr UINT kMaxEventParameters = 8;

template <typename T>
class SkinEventSink : public IDispatch {
public:
    using Handler = LONG (T::*)(const ULONG_PTR* arguments);
    struct Entry {
        UINT source;
        const IID* iid;
        DISPID id;
        UINT parameterCount;
        Handler handler;
    };

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, vorrelUI::DIID_Ivorrel_events)) {
            *out = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO*, UINT*) override
    {
        for (const Entry& entry : T::Events()) {
            if (entry.source != kSource || entry.id != id || !IsEqualIID(*entry.iid, vorrelUI::DIID_Ivorrel_events)) {
                continue;
            }
            if (entry.parameterCount > kMaxEventParameters || !parameters ||
                parameters->cArgs < entry.parameterCount) {
                return E_FAIL;
            }
            ULONG_PTR arguments[kMaxEventParameters] = {};
            // rgvarg holds the arguments last first.
            for (UINT index = 0; index < entry.parameterCount; ++index) {
                const VARIANT& argument = parameters->rgvarg[parameters->cArgs - 1 - index];
                arguments[index] = argument.vt == VT_DISPATCH ? reinterpret_cast<ULONG_PTR>(argument.pdispVal)
                                                              : static_cast<ULONG_PTR>(static_cast<ULONG>(argument.lVal));
            }
            const LONG answer = (static_cast<T*>(this)->*entry.handler)(arguments);
            if (result) {
                VariantInit(result);
                result->vt = VT_I4;
                result->lVal = answer;
            }
            return S_OK;
        }
        return S_OK;  // no entry: nothing to do
    }

private:
    static constexpr UINT kSource = 1;
};

}  // namespace veyra::skin
