#pragma once
// Test-side readers for the skin package: the stored zip entries and the layouts in them (XmlLite), kept
// independent of the skin library so the package is checked against its format, not against the reader
// that ships.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace veyra::test {

struct PackageEntry {
    std::string name;
    unsigned method = 0;
    unsigned flags = 0;
    unsigned crc = 0;
    std::string data;  // the stored bytes
};

// The entries of a stored zip, or an error text when the archive is malformed or an entry is not
// stored as the library expects (local header, sizes and CRC checked).
struct PackageContents {
    std::vector<PackageEntry> entries;
    std::string error;
    [[nodiscard]] const PackageEntry* Find(const std::string& name) const;
};
PackageContents ReadStoredZip(const std::wstring& path);

using Attributes = std::map<std::wstring, std::wstring>;

struct LayoutImage {
    std::wstring path;
    std::vector<Attributes> parts;  // nine-part pieces in document order, each with its element name as "part"
};

struct LayoutControl {
    std::wstring kind;  // element name
    int depth = 0;      // 0 for a child of the window
    Attributes attributes;
};

struct Layout {
    std::wstring rootName;
    std::map<std::wstring, LayoutImage> images;
    Attributes window;
    std::vector<LayoutControl> controls;  // document order
    std::string error;                    // XmlLite failure, empty when the layout parsed

    [[nodiscard]] const LayoutControl* FindById(int id) const;
};
Layout ParseLayout(const std::string& bytes);

// "l,t,r,b" -> four numbers; nothing when malformed.
struct Bound {
    int left, top, right, bottom;
};
std::optional<Bound> ParseBound(const std::wstring& text);

// Width and height from a PNG's header; nothing when the bytes are no PNG.
std::optional<std::pair<unsigned, unsigned>> PngSize(const std::string& bytes);

unsigned Crc32(const std::string& bytes);

}  // namespace veyra::test
