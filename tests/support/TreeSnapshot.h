#pragma once
// A record of a real folder tree: every entry's relative name (exact letter case), attributes, size,
// times and a hash of its content. Taken before and after a test, two snapshots that differ show that
// something wrote, renamed, moved or deleted a file in the tree. RealTreeGuard does both and fails the
// running test when the tree changed.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

namespace veyra::test {

struct TreeEntry {
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t lastWriteTime = 0;
    std::uint64_t contentHash = 0;  // of the bytes of a file; 0 for a folder

    bool operator==(const TreeEntry&) const = default;
};

class TreeSnapshot {
public:
    // Walks `root` (which must exist) and everything below it, hidden and dot names included.
    static TreeSnapshot Take(const std::wstring& root);

    // Empty when both are the same, else one line per difference ("changed: a\b.txt").
    [[nodiscard]] std::string DifferencesFrom(const TreeSnapshot& before) const;
    [[nodiscard]] bool Readable() const noexcept { return m_readable; }
    [[nodiscard]] std::size_t EntryCount() const noexcept { return m_entries.size(); }

private:
    void Walk(const std::wstring& folder, const std::wstring& relative);

    std::map<std::wstring, TreeEntry> m_entries;
    bool m_readable = true;
};

class RealTreeGuard {
public:
    explicit RealTreeGuard(std::wstring root);
    ~RealTreeGuard();
    RealTreeGuard(const RealTreeGuard&) = delete;
    RealTreeGuard& operator=(const RealTreeGuard&) = delete;

    // Success while the tree is as it was when the guard was made.
    [[nodiscard]] ::testing::AssertionResult Unchanged() const;

private:
    std::wstring m_root;
    TreeSnapshot m_before;
};

}  // namespace veyra::test
