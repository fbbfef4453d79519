#pragma once
// A real folder on C: (and one on the scratch drive D:) and a numbered test sandbox whose sandbox folders
// and mark keys are removed before and after each test, so cases never see each other's marks.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "tests/support/TempFolder.h"

namespace veyra::test {

class SandBoxViewFixture : public ::testing::Test {
protected:
    static constexpr int kSandbox = 4711;

    void SetUp() override;
    void TearDown() override;

    // The sandbox copy location of a view path.
    std::wstring Shadow(const std::wstring& viewPath) const;
    // Writes a real file (making its folders).
    void MakeReal(const std::wstring& path, const std::string& bytes = "real");
    // Writes a file into the sandbox copy of `viewPath` (making its folders).
    void MakeShadow(const std::wstring& viewPath, const std::string& bytes = "shadow");
    void MakeShortcut(const std::wstring& linkPath, const std::wstring& target);
    // The names of a folder's listing, in listing order.
    std::vector<std::wstring> Names(const std::wstring& folder, ListingScope scope = ListingScope::Shown);
    const FileItemRecord* Find(const std::vector<FileItemRecord>& items, const std::wstring& name);

    CSandBoxFileSystem m_view{0};
    TempFolder m_real{L"sbview"};
    std::wstring m_root;  // m_real's path

private:
    void RemoveTestSandbox();
    bool m_comReady = false;
};

// D:'s scratch folder for cross-drive cases, or "" when the drive is missing.
std::wstring ScratchFolderOnD(const std::wstring& name);

}  // namespace veyra::test
