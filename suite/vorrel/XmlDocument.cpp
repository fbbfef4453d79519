#include "XmlDocument.h"

#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <cwchar>

#include "base/ComPtr.h"

namespace vorrel {

const std::wstring* XmlElement::Attribute(std::wstring_view attributeName) const noexcept
{
    for (const auto& [key, value] : attributes) {
        if (key == attributeName) {
            return &value;
        }
    }
    return nullptr;
}

std::wstring XmlElement::AttributeOr(std::wstring_view attributeName, std::wstring_view fallback) const
{
    const std::wstring* value = Attribute(attributeName);
    return value ? *value : std::wstring(fallback);
}

const XmlElement* XmlElement::Child(std::wstring_view childName) const noexcept
{
    for (const auto& child : children) {
        if (child->name == childName) {
            return child.get();
        }
    }
    return nullptr;
}

namespace {

HRESULT ReadAttributes(IXmlReader* reader, XmlElement& element)
{
    HRESULT hr = reader->MoveToFirstAttribute();
    while (hr == S_OK) {
        const wchar_t* name = nullptr;
        const wchar_t* value = nullptr;
        if (FAILED(hr = reader->GetLocalName(&name, nullptr)) || FAILED(hr = reader->GetValue(&value, nullptr))) {
            return hr;
        }
        element.attributes.emplace_back(name, value);
        hr = reader->MoveToNextAttribute();
    }
    if (FAILED(hr)) {
        return hr;
    }
    return reader->MoveToElement();
}

HRESULT ReadTree(IXmlReader* reader, std::unique_ptr<XmlElement>& root)
{
    std::vector<XmlElement*> open;
    XmlNodeType type;
    HRESULT hr;
    while ((hr = reader->Read(&type)) == S_OK) {
        if (type == XmlNodeType_EndElement) {
            if (!open.empty()) {
                open.pop_back();
            }
            continue;
        }
        if (type != XmlNodeType_Element) {
            continue;
        }
        auto element = std::make_unique<XmlElement>();
        const wchar_t* name = nullptr;
        if (FAILED(hr = reader->GetLocalName(&name, nullptr))) {
            return hr;
        }
        element->name = name;
        const bool empty = reader->IsEmptyElement();
        if (FAILED(hr = ReadAttributes(reader, *element))) {
            return hr;
        }
        XmlElement* raw = element.get();
        if (open.empty()) {
            if (root) {
                return static_cast<HRESULT>(WC_E_SYNTAX);  // a second root element
            }
            root = std::move(element);
        } else {
            open.back()->children.push_back(std::move(element));
        }
        if (!empty) {
            open.push_back(raw);
        }
    }
    return FAILED(hr) ? hr : (root ? S_OK : static_cast<HRESULT>(WC_E_SYNTAX));
}

// MinGW ships no import library for xmllite.dll, so its one entry point is bound at first use.
constexpr IID kXmlReaderId = {0x7279FC81, 0x709D, 0x4095, {0xB6, 0x3D, 0x69, 0xFE, 0x4B, 0x0D, 0x90, 0x30}};
using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

CreateXmlReaderFunction XmlReaderFactory() noexcept
{
    static const CreateXmlReaderFunction function = [] {
        HMODULE module = LoadLibraryW(L"xmllite.dll");  // kept for the life of the process
        return module ? reinterpret_cast<CreateXmlReaderFunction>(
                            reinterpret_cast<void*>(GetProcAddress(module, "CreateXmlReader")))
                      : nullptr;
    }();
    return function;
}

}  // namespace

std::unique_ptr<XmlElement> ParseXml(const std::string& bytes, long* result)
{
    long ignored;
    long& hr = result ? *result : ignored;
    veyra::ComPtr<IStream> stream = veyra::ComPtr<IStream>::Adopt(
        SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    veyra::ComPtr<IXmlReader> reader;
    if (!stream) {
        hr = E_OUTOFMEMORY;
        return nullptr;
    }
    const CreateXmlReaderFunction create = XmlReaderFactory();
    if (!create) {
        hr = HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (FAILED(hr = create(kXmlReaderId, reader.put_void(), nullptr)) ||
        FAILED(hr = reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit)) ||
        FAILED(hr = reader->SetInput(stream.get()))) {
        return nullptr;
    }
    std::unique_ptr<XmlElement> root;
    hr = ReadTree(reader.get(), root);
    if (FAILED(hr)) {
        return nullptr;
    }
    return root;
}

bool ParseNumber(std::wstring_view text, long long& value) noexcept
{
    while (!text.empty() && iswspace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && iswspace(text.back())) {
        text.remove_suffix(1);
    }
    if (text.empty() || text.size() > 24) {
        return false;
    }
    wchar_t buffer[32] = {};
    text.copy(buffer, text.size());
    wchar_t* end = nullptr;
    const bool hex = text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
    value = hex ? static_cast<long long>(wcstoull(buffer + 2, &end, 16)) : wcstoll(buffer, &end, 10);
    return end && *end == L'\0' && end != buffer + (hex ? 2 : 0);
}

bool ParseQuad(std::wstring_view text, long (&values)[4]) noexcept
{
    for (int index = 0; index < 4; ++index) {
        const size_t comma = text.find(L',');
        const std::wstring_view part = text.substr(0, comma);
        long long number = 0;
        if (!ParseNumber(part, number) || number < -100000 || number > 100000) {
            return false;
        }
        values[index] = static_cast<long>(number);
        if (index < 3 && comma == std::wstring_view::npos) {
            return false;
        }
        text = comma == std::wstring_view::npos ? std::wstring_view() : text.substr(comma + 1);
        if (index == 3 && comma != std::wstring_view::npos) {
            return false;
        }
    }
    return true;
}

}  // namespace vorrel
