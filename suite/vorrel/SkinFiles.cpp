#include "SkinFiles.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "base/UniqueResource.h"

namespace vorrel {

namespace {

constexpr size_t kMaxFileBytes = 64u << 20;  // no skin file comes near this; bigger is refused
constexpr unsigned kEndOfDirectory = 0x06054b50;
constexpr unsigned kDirectoryEntry = 0x02014b50;
constexpr unsigned kLocalHeader = 0x04034b50;

unsigned Read16(const std::string& bytes, size_t at) noexcept
{
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}
unsigned Read32(const std::string& bytes, size_t at) noexcept
{
    return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

std::wstring Utf8ToWide(std::string_view text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    }
    return wide;
}

}  // namespace

std::wstring NormaliseEntryName(std::wstring_view name)
{
    std::wstring result;
    for (wchar_t c : name) {
        result += c == L'\\' ? L'/' : static_cast<wchar_t>(towlower(c));
    }
    while (result.rfind(L"./", 0) == 0) {
        result.erase(0, 2);
    }
    return result;
}

bool SkinPackage::Open(std::string bytes)
{
    m_bytes = std::move(bytes);
    m_entries.clear();
    const std::string& b = m_bytes;
    if (b.size() < 22) {
        return false;
    }
    size_t end = b.size() - 22;
    const size_t lowest = b.size() > 22 + 0xFFFF ? b.size() - 22 - 0xFFFF : 0;
    while (Read32(b, end) != kEndOfDirectory) {
        if (end == lowest) {
            return false;
        }
        --end;
    }
    const unsigned count = Read16(b, end + 10);
    size_t at = Read32(b, end + 16);
    for (unsigned index = 0; index < count; ++index) {
        if (at + 46 > b.size() || Read32(b, at) != kDirectoryEntry) {
            return false;
        }
        const unsigned method = Read16(b, at + 10);
        const size_t stored = Read32(b, at + 20);
        const size_t size = Read32(b, at + 24);
        const size_t nameLength = Read16(b, at + 28);
        const size_t skip = nameLength + Read16(b, at + 30) + Read16(b, at + 32);
        const size_t local = Read32(b, at + 42);
        if (at + 46 + nameLength > b.size() || local + 30 > b.size() || Read32(b, local) != kLocalHeader) {
            return false;
        }
        const std::wstring name = NormaliseEntryName(Utf8ToWide(std::string_view(b).substr(at + 46, nameLength)));
        const size_t data = local + 30 + Read16(b, local + 26) + Read16(b, local + 28);
        // Only stored entries are served; a compressed one is left out rather than misread.
        if (method == 0 && stored == size && data + size <= b.size()) {
            m_entries[name] = Entry{data, size};
        }
        at += 46 + skip;
    }
    return true;
}

std::optional<std::string> SkinPackage::Read(std::wstring_view name) const
{
    const auto found = m_entries.find(NormaliseEntryName(name));
    if (found == m_entries.end()) {
        return std::nullopt;
    }
    return m_bytes.substr(found->second.offset, found->second.size);
}

std::optional<std::string> ReadWholeFile(const std::wstring& path)
{
    veyra::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > static_cast<LONGLONG>(kMaxFileBytes)) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

std::wstring ParentFolder(std::wstring_view path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash));
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view relative)
{
    const bool absolute = (relative.size() > 1 && relative[1] == L':') || relative.rfind(L"\\\\", 0) == 0;
    const std::wstring combined = absolute ? std::wstring(relative) : std::wstring(folder) + L"\\" + std::wstring(relative);
    const bool unc = combined.rfind(L"\\\\", 0) == 0;
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= combined.size()) {
        size_t end = combined.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) {
            end = combined.size();
        }
        const std::wstring part = combined.substr(start, end - start);
        if (part == L"..") {
            if (parts.size() > 1) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::wstring result = unc ? L"\\\\" : L"";
    for (size_t index = 0; index < parts.size(); ++index) {
        result += (index ? L"\\" : L"") + parts[index];
    }
    return result;
}

namespace {

struct PackageCache {
    std::mutex lock;
    std::map<std::wstring, std::shared_ptr<const SkinPackage>> packages;  // by lower-cased path; null: unreadable
};

PackageCache& Cache()
{
    static PackageCache* cache = new PackageCache;  // lives until the process ends
    return *cache;
}

std::shared_ptr<const SkinPackage> OpenPackage(const std::wstring& path)
{
    const std::wstring key = NormaliseEntryName(path);
    PackageCache& cache = Cache();
    std::lock_guard guard(cache.lock);
    const auto found = cache.packages.find(key);
    if (found != cache.packages.end()) {
        return found->second;
    }
    std::shared_ptr<SkinPackage> package;
    if (auto bytes = ReadWholeFile(path)) {
        package = std::make_shared<SkinPackage>();
        if (!package->Open(std::move(*bytes))) {
            package.reset();
        }
    }
    cache.packages[key] = package;
    return package;
}

std::optional<std::string> ReadFromPackagesIn(const std::wstring& folder, const std::wstring& path)
{
    WIN32_FIND_DATAW found{};
    veyra::UniqueFindHandle search(FindFirstFileW((folder + L"\\*.ui").c_str(), &found));
    if (!search) {
        return std::nullopt;
    }
    const std::wstring root = ParentFolder(folder);
    if (path.size() <= root.size() + 1) {
        return std::nullopt;
    }
    const std::wstring entry = path.substr(root.size() + 1);
    do {
        if (auto package = OpenPackage(folder + L"\\" + found.cFileName)) {
            if (auto bytes = package->Read(entry)) {
                return bytes;
            }
        }
    } while (FindNextFileW(search.get(), &found));
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadSkinFile(const std::wstring& path)
{
    if (auto bytes = ReadWholeFile(path)) {
        return bytes;
    }
    std::wstring folder = ParentFolder(path);
    for (int level = 0; level < 3 && !ParentFolder(folder).empty(); ++level) {
        if (auto bytes = ReadFromPackagesIn(folder, path)) {
            return bytes;
        }
        folder = ParentFolder(folder);
    }
    return std::nullopt;
}

}  // namespace vorrel
