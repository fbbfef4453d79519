#pragma once
// Where the library's files come from: the loose file when it exists, otherwise the entry of the same
// relative name in a skin package ("*.ui": a zip archive with stored entries) found next to it or up to
// three folders above it. Entry names are relative to the folder that holds the package's folder, so
// "<skin>\KavoSandBox\KavoSandBox_theme.ui" serves "<skin>\KavoSandBox\NsWindow.xml" as
// "KavoSandBox/NsWindow.xml". Opened packages are cached for the process; any thread.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vorrel {

// The entries of one archive, by lower-cased name with forward slashes.
class SkinPackage {
public:
    // Reads the archive's directory; false when it is not a zip archive we can read.
    bool Open(std::string bytes);
    // The entry's bytes; nothing when absent or not stored uncompressed.
    [[nodiscard]] std::optional<std::string> Read(std::wstring_view name) const;
    [[nodiscard]] size_t EntryCount() const noexcept { return m_entries.size(); }

private:
    struct Entry {
        size_t offset;
        size_t size;
    };
    std::string m_bytes;
    std::map<std::wstring, Entry> m_entries;
};

// The whole content of a file, without going through any package; nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// The file's content from disk or from a package.
std::optional<std::string> ReadSkinFile(const std::wstring& path);

// Package entry names: lower case, forward slashes, no leading "./".
std::wstring NormaliseEntryName(std::wstring_view name);

// The folder part of a path (without the trailing backslash), "" when there is none.
std::wstring ParentFolder(std::wstring_view path);
// `relative` resolved against `folder` ("." and ".." parts removed); an absolute `relative` stays.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view relative);

}  // namespace vorrel
