#include "shell/dragdrop/CEnumFormatEtc.h"

#include <new>
#include <utility>

namespace veyra {

CEnumFormatEtc::CEnumFormatEtc(std::vector<FORMATETC> formats, ULONG position)
    : ComObject(IID_IEnumFORMATETC), m_formats(std::move(formats)), m_position(position)
{
    for (FORMATETC& format : m_formats) {
        format.ptd = nullptr;
    }
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Next(ULONG count, FORMATETC* formats, ULONG* fetched)
{
    if (count == 0) {
        return E_INVALIDARG;
    }
    if (!formats || (!fetched && count != 1)) {
        return E_POINTER;
    }
    if (fetched) {
        *fetched = 0;
    }
    if (m_position >= m_formats.size()) {
        return S_FALSE;
    }
    ULONG copied = 0;
    while (copied < count && m_position < m_formats.size()) {
        formats[copied++] = m_formats[m_position++];
    }
    if (fetched) {
        *fetched = copied;
    }
    return copied == count ? S_OK : S_FALSE;
}

// Skipping exactly what remains lands on the end and succeeds; only skipping past it answers S_FALSE.
HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Skip(ULONG count)
{
    const ULONG remaining = m_position < m_formats.size() ? static_cast<ULONG>(m_formats.size()) - m_position : 0;
    if (count > remaining) {
        m_position = static_cast<ULONG>(m_formats.size());
        return S_FALSE;
    }
    m_position += count;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Reset()
{
    m_position = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Clone(IEnumFORMATETC** clone)
{
    if (!clone) {
        return E_POINTER;
    }
    try {
        *clone = new CEnumFormatEtc(m_formats, m_position);
    } catch (const std::bad_alloc&) {
        *clone = nullptr;
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

}  // namespace veyra
