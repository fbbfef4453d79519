#pragma once
// The data object of a drag: formats with one medium each, set by the drag's starter and by drop targets
// (the drop description). Created by the drag start, held by OLE and the drop source, on the UI thread.

#include <objidl.h>

#include <vector>
#include "shell/dragdrop/ComObject.h"

namespace veyra {

class CIDropSource;

class CIDataObject final : public ComObject<IDataObject> {
public:
    // The drop source of the drag is only remembered (no reference): it holds this object, not the other way.
    explicit CIDataObject(CIDropSource* dropSource = nullptr) noexcept;

    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** enumerator) override;

private:
    ~CIDataObject() override;

    CIDropSource* m_dropSource;
    // Same index, same entry. Target devices are not kept (a caller's ptd is its own memory).
    std::vector<FORMATETC> m_formats;
    std::vector<STGMEDIUM> m_media;
};

// A copy of `source` for the clipboard format (handles duplicated, interfaces and the release object
// shared with a reference). S_OK, or DV_E_TYMED for a medium type that cannot be copied, E_OUTOFMEMORY.
[[nodiscard]] HRESULT CopyStgMedium(const STGMEDIUM& source, CLIPFORMAT format, STGMEDIUM& copy) noexcept;

}  // namespace veyra
