#pragma once
// The format enumerator a data object hands out: its own copy of the formats and a position. Lives as
// long as its references; used on the thread that asked for it.

#include <objidl.h>

#include <vector>
#include "shell/dragdrop/ComObject.h"

namespace veyra {

class CEnumFormatEtc final : public ComObject<IEnumFORMATETC> {
public:
    explicit CEnumFormatEtc(std::vector<FORMATETC> formats, ULONG position = 0);

    // IEnumFORMATETC
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** clone) override;

private:
    ~CEnumFormatEtc() override = default;

    std::vector<FORMATETC> m_formats;  // target devices are never carried: every entry has none
    ULONG m_position;
};

}  // namespace veyra
