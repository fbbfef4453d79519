#include "tests/resources/SkinPackageReader.h"

#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <array>
#include <cwchar>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"

namespace veyra::test {
namespace {

constexpr unsigned kEndOfDirectory = 0x06054b50;
constexpr unsigned kDirectoryEntry = 0x02014b50;
constexpr unsigned kLocalHeader = 0x04034b50;
constexpr size_t kEndRecordSize = 22;

unsigned Read16(const std::string& bytes, size_t at)
{
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

unsigned Read32(const std::string& bytes, size_t at)
{
    return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

std::string ReadWholeFile(const std::wstring& path)
{
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > 64 * 1024 * 1024) {
        return {};
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
        return {};
    }
    return bytes;
}

size_t FindEndRecord(const std::string& bytes)
{
    if (bytes.size() < kEndRecordSize) {
        return std::string::npos;
    }
    for (size_t at = bytes.size() - kEndRecordSize;; --at) {
        if (Read32(bytes, at) == kEndOfDirectory) {
            return at;
        }
        if (at == 0 || bytes.size() - at > kEndRecordSize + 0xFFFF) {
            return std::string::npos;
        }
    }
}

// One central-directory entry at `at` with its data taken through the local header; the error text says
// what is wrong.
std::string ReadEntry(const std::string& bytes, size_t& at, PackageEntry& entry)
{
    if (at + 46 > bytes.size() || Read32(bytes, at) != kDirectoryEntry) {
        return "central directory entry expected";
    }
    entry.flags = Read16(bytes, at + 8);
    entry.method = Read16(bytes, at + 10);
    entry.crc = Read32(bytes, at + 16);
    const unsigned packedSize = Read32(bytes, at + 20);
    const unsigned size = Read32(bytes, at + 24);
    const unsigned nameLength = Read16(bytes, at + 28);
    const size_t local = Read32(bytes, at + 42);
    if (at + 46 + nameLength > bytes.size()) {
        return "entry name runs past the directory";
    }
    entry.name = bytes.substr(at + 46, nameLength);
    at += 46 + nameLength + Read16(bytes, at + 30) + Read16(bytes, at + 32);
    if (packedSize != size) {
        return entry.name + ": packed size differs from size";
    }
    if (local + 30 > bytes.size() || Read32(bytes, local) != kLocalHeader ||
        bytes.compare(local + 30, Read16(bytes, local + 26), entry.name) != 0) {
        return entry.name + ": local header does not match the directory";
    }
    const size_t data = local + 30 + Read16(bytes, local + 26) + Read16(bytes, local + 28);
    if (data + size > bytes.size()) {
        return entry.name + ": data runs past the archive";
    }
    entry.data = bytes.substr(data, size);
    return {};
}

// MinGW ships no import library for xmllite.dll, so its one entry point is taken at run time.
HRESULT CreateReader(ComPtr<IXmlReader>& reader)
{
    using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    static const HMODULE module = LoadLibraryW(L"xmllite.dll");
    const auto create =
        module ? reinterpret_cast<CreateXmlReaderFunction>(reinterpret_cast<void*>(GetProcAddress(module, "CreateXmlReader"))) : nullptr;
    return create ? create(__uuidof(IXmlReader), reader.put_void(), nullptr) : E_FAIL;
}

std::wstring Value(IXmlReader* reader)
{
    const wchar_t* value = nullptr;
    return SUCCEEDED(reader->GetValue(&value, nullptr)) && value ? value : L"";
}

Attributes ReadAttributes(IXmlReader* reader)
{
    Attributes attributes;
    for (HRESULT hr = reader->MoveToFirstAttribute(); hr == S_OK; hr = reader->MoveToNextAttribute()) {
        const wchar_t* name = nullptr;
        if (SUCCEEDED(reader->GetLocalName(&name, nullptr)) && name) {
            attributes[name] = Value(reader);
        }
    }
    reader->MoveToElement();
    return attributes;
}

// Files an element by where it stands (the path of element names above it); image parts are taken by
// the caller, which knows the image being read.
void TakeElement(Layout& layout, const std::vector<std::wstring>& path, const std::wstring& name, Attributes attributes)
{
    const size_t depth = path.size();  // of the new element's parent path
    if (depth == 0) {
        layout.rootName = name;
    } else if (depth == 3 && path[1] == L"resources" && path[2] == L"images" && name == L"image") {
        layout.images[attributes[L"id"]].path = attributes[L"path"];
    } else if (depth == 1 && name == L"window") {
        layout.window = std::move(attributes);
    } else if (depth >= 2 && path[1] == L"window") {
        layout.controls.push_back({name, static_cast<int>(depth) - 2, std::move(attributes)});
    }
}

}  // namespace

const PackageEntry* PackageContents::Find(const std::string& name) const
{
    for (const auto& entry : entries) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

PackageContents ReadStoredZip(const std::wstring& path)
{
    PackageContents contents;
    const std::string bytes = ReadWholeFile(path);
    const size_t end = FindEndRecord(bytes);
    if (end == std::string::npos) {
        contents.error = "no end-of-directory record (missing or not a zip)";
        return contents;
    }
    const unsigned count = Read16(bytes, end + 10);
    size_t at = Read32(bytes, end + 16);
    for (unsigned index = 0; index < count && contents.error.empty(); ++index) {
        PackageEntry entry;
        contents.error = ReadEntry(bytes, at, entry);
        contents.entries.push_back(std::move(entry));
    }
    return contents;
}

const LayoutControl* Layout::FindById(int id) const
{
    const std::wstring text = std::to_wstring(id);
    for (const auto& control : controls) {
        const auto found = control.attributes.find(L"id");
        if (found != control.attributes.end() && found->second == text) {
            return &control;
        }
    }
    return nullptr;
}

Layout ParseLayout(const std::string& bytes)
{
    Layout layout;
    ComPtr<IStream> stream = ComPtr<IStream>::Adopt(
        SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    ComPtr<IXmlReader> reader;
    if (!stream || FAILED(CreateReader(reader)) ||
        FAILED(reader->SetInput(stream.get()))) {
        layout.error = "XmlLite reader could not be set up";
        return layout;
    }
    std::vector<std::wstring> path;
    std::wstring lastImage;
    XmlNodeType type{};
    HRESULT hr = S_OK;
    while ((hr = reader->Read(&type)) == S_OK) {
        if (type == XmlNodeType_EndElement) {
            path.pop_back();
            continue;
        }
        if (type != XmlNodeType_Element) {
            continue;
        }
        const wchar_t* name = nullptr;
        reader->GetLocalName(&name, nullptr);
        Attributes attributes = ReadAttributes(reader.get());
        if (path.size() == 3 && path[2] == L"images") {
            lastImage = attributes[L"id"];
        }
        if (path.size() == 5 && path[4] == L"image_parts") {
            attributes[L"part"] = name;
            layout.images[lastImage].parts.push_back(attributes);
        } else {
            TakeElement(layout, path, name, std::move(attributes));
        }
        if (!reader->IsEmptyElement()) {
            path.push_back(name);
        }
    }
    if (FAILED(hr)) {
        layout.error = "XmlLite failed with 0x" + std::to_string(static_cast<unsigned long>(hr));
    }
    return layout;
}

std::optional<Bound> ParseBound(const std::wstring& text)
{
    Bound bound{};
    wchar_t tail = 0;
    if (swscanf(text.c_str(), L"%d,%d,%d,%d%lc", &bound.left, &bound.top, &bound.right, &bound.bottom, &tail) != 4) {
        return std::nullopt;
    }
    return bound;
}

std::optional<std::pair<unsigned, unsigned>> PngSize(const std::string& bytes)
{
    static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (bytes.size() < 24 || bytes.compare(0, 8, kSignature, 8) != 0 || bytes.compare(12, 4, "IHDR") != 0) {
        return std::nullopt;
    }
    const auto big32 = [&](size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) << 24 |
               static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 16 |
               static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 2])) << 8 |
               static_cast<unsigned char>(bytes[at + 3]);
    };
    return std::make_pair(big32(16), big32(20));
}

unsigned Crc32(const std::string& bytes)
{
    static const auto table = [] {
        std::array<unsigned, 256> result{};
        for (unsigned n = 0; n < 256; ++n) {
            unsigned c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            result[n] = c;
        }
        return result;
    }();
    unsigned crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace veyra::test
