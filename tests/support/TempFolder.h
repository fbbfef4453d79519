#pragma once
// A new, empty folder under the temporary folder, removed with everything in it when the object goes.

#include <string>

namespace veyra::test {

class TempFolder {
public:
    explicit TempFolder(const std::wstring& prefix = L"veyra");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::wstring& Path() const noexcept { return m_path; }
    // Path() + "\\" + relative.
    [[nodiscard]] std::wstring operator/(const std::wstring& relative) const { return m_path + L"\\" + relative; }

private:
    std::wstring m_path;
};

// Removes a folder tree (clearing read-only attributes); true when nothing is left.
bool RemoveTree(const std::wstring& path);
// Creates every missing folder of `path`.
bool CreateFolderTree(const std::wstring& path);
// Writes `bytes` to a new or replaced file.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

}  // namespace veyra::test
