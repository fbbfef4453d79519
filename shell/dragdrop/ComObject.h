#pragma once
// The IUnknown of the drag-and-drop objects: a plain reference count (each object lives on the UI
// thread), QueryInterface for IUnknown and the one interface, and delete at the last Release.

#include <unknwn.h>

namespace veyra {

template <typename Interface>
class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == m_iid) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        return QueryOtherInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    explicit ComObject(const IID& iid) noexcept : m_iid(iid) {}
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // Interfaces beyond the one; the answer for the rest is E_NOINTERFACE.
    virtual HRESULT QueryOtherInterface(REFIID, void** object)
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }

private:
    const IID& m_iid;
    ULONG m_references = 1;
};

}  // namespace veyra
