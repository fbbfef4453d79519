#pragma once
// A parsed XML file as a small element tree, read with the platform's XmlLite (UTF-8 or UTF-16, by its
// byte-order mark or declaration). Used for layouts, resource lists and theme files; any thread.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorrel {

struct XmlElement {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    std::vector<std::unique_ptr<XmlElement>> children;

    // The attribute's value, or `fallback` when absent (names compare exactly).
    [[nodiscard]] const std::wstring* Attribute(std::wstring_view attributeName) const noexcept;
    [[nodiscard]] std::wstring AttributeOr(std::wstring_view attributeName, std::wstring_view fallback) const;
    // The first child element of that name, or nullptr.
    [[nodiscard]] const XmlElement* Child(std::wstring_view childName) const noexcept;
};

// Parses a whole document; nullptr (and the parser's HRESULT in `result`) when it is not well formed.
std::unique_ptr<XmlElement> ParseXml(const std::string& bytes, long* result = nullptr);

// Numbers as the files write them: decimal or 0x-hex; false for anything else.
bool ParseNumber(std::wstring_view text, long long& value) noexcept;
// "l,t,r,b" into a RECT-like quadruple; false unless four numbers.
bool ParseQuad(std::wstring_view text, long (&values)[4]) noexcept;

}  // namespace vorrel
