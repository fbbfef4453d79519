#include "shell/dragdrop/CIDataObject.h"

#include <ole2.h>

#include <cstring>
#include <cwchar>
#include <new>

#include "shell/dragdrop/CEnumFormatEtc.h"

namespace veyra {

namespace {

// OleDuplicateData copies by the clipboard format it is told; a GDI object or metafile must be named as
// such whatever format the entry carries, or its handle would be copied as global memory.
CLIPFORMAT DuplicationFormat(DWORD tymed, CLIPFORMAT format) noexcept
{
    switch (tymed) {
    case TYMED_GDI:
        return format == CF_PALETTE ? CF_PALETTE : CF_BITMAP;
    case TYMED_MFPICT:
        return CF_METAFILEPICT;
    case TYMED_ENHMF:
        return CF_ENHMETAFILE;
    default:
        return format;
    }
}

// A file medium names its file by a string, not a handle: it is copied as one.
LPOLESTR CopyFileName(LPCOLESTR name) noexcept
{
    if (!name) {
        return nullptr;
    }
    const size_t bytes = (wcslen(name) + 1) * sizeof(OLECHAR);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (copy) {
        std::memcpy(copy, name, bytes);
    }
    return copy;
}

}  // namespace

HRESULT CopyStgMedium(const STGMEDIUM& source, CLIPFORMAT format, STGMEDIUM& copy) noexcept
{
    copy = STGMEDIUM{};
    switch (source.tymed) {
    case TYMED_HGLOBAL:
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
        copy.hGlobal = static_cast<HGLOBAL>(OleDuplicateData(source.hGlobal, DuplicationFormat(source.tymed, format), 0));
        if (!copy.hGlobal) {
            return E_OUTOFMEMORY;
        }
        break;
    case TYMED_FILE:
        copy.lpszFileName = CopyFileName(source.lpszFileName);
        if (!copy.lpszFileName) {
            return E_OUTOFMEMORY;
        }
        break;
    case TYMED_ISTREAM:
        copy.pstm = source.pstm;
        if (copy.pstm) {
            copy.pstm->AddRef();
        }
        break;
    case TYMED_ISTORAGE:
        copy.pstg = source.pstg;
        if (copy.pstg) {
            copy.pstg->AddRef();
        }
        break;
    default:
        return DV_E_TYMED;
    }
    copy.tymed = source.tymed;
    copy.pUnkForRelease = source.pUnkForRelease;
    if (copy.pUnkForRelease) {
        copy.pUnkForRelease->AddRef();
    }
    return S_OK;
}

CIDataObject::CIDataObject(CIDropSource* dropSource) noexcept : ComObject(IID_IDataObject), m_dropSource(dropSource) {}

CIDataObject::~CIDataObject()
{
    for (STGMEDIUM& medium : m_media) {
        ReleaseStgMedium(&medium);
    }
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!format) {
        return E_INVALIDARG;
    }
    if (!medium) {
        return E_POINTER;
    }
    for (std::size_t index = 0; index < m_formats.size(); ++index) {
        const FORMATETC& stored = m_formats[index];
        if ((stored.tymed & format->tymed) && stored.dwAspect == format->dwAspect && stored.cfFormat == format->cfFormat) {
            return CopyStgMedium(m_media[index], stored.cfFormat, *medium);
        }
    }
    return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CIDataObject::QueryGetData(FORMATETC* format)
{
    if (!format) {
        return E_INVALIDARG;
    }
    if (!(format->dwAspect & DVASPECT_CONTENT)) {
        return DV_E_DVASPECT;
    }
    HRESULT verdict = DV_E_TYMED;
    for (const FORMATETC& stored : m_formats) {
        if (stored.tymed & format->tymed) {
            if (stored.cfFormat == format->cfFormat) {
                return S_OK;
            }
            verdict = DV_E_CLIPFORMAT;
        } else {
            verdict = DV_E_TYMED;
        }
    }
    return verdict;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical)
{
    if (!canonical) {
        return E_INVALIDARG;
    }
    return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE CIDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release)
{
    if (!format || !medium) {
        return E_INVALIDARG;
    }
    for (std::size_t index = 0; index < m_formats.size(); ++index) {
        const FORMATETC& stored = m_formats[index];
        if (stored.tymed == format->tymed && stored.dwAspect == format->dwAspect && stored.cfFormat == format->cfFormat) {
            ReleaseStgMedium(&m_media[index]);
            m_formats.erase(m_formats.begin() + static_cast<std::ptrdiff_t>(index));
            m_media.erase(m_media.begin() + static_cast<std::ptrdiff_t>(index));
            break;
        }
    }
    STGMEDIUM kept{};
    if (release) {
        kept = *medium;
    } else if (const HRESULT copied = CopyStgMedium(*medium, format->cfFormat, kept); FAILED(copied)) {
        return copied;
    }
    FORMATETC copy = *format;
    copy.ptd = nullptr;
    try {
        m_formats.reserve(m_formats.size() + 1);
        m_media.reserve(m_media.size() + 1);
    } catch (const std::bad_alloc&) {
        if (!release) {
            ReleaseStgMedium(&kept);
        }
        return E_OUTOFMEMORY;
    }
    m_formats.push_back(copy);
    m_media.push_back(kept);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator)
{
    if (!enumerator) {
        return E_POINTER;
    }
    *enumerator = nullptr;
    if (direction != DATADIR_GET) {
        return E_NOTIMPL;
    }
    try {
        *enumerator = new CEnumFormatEtc(m_formats);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CIDataObject::DUnadvise(DWORD)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CIDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace veyra
