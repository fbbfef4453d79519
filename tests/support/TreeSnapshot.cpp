#include "TreeSnapshot.h"

#include <windows.h>

#include "base/UniqueResource.h"

namespace veyra::test {

namespace {

std::uint64_t Join(DWORD high, DWORD low)
{
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

// FNV-1a over the file's bytes; ~0 when the file cannot be read (so an unreadable file never matches).
std::uint64_t HashContent(const std::wstring& path)
{
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        return ~0ull;
    }
    std::uint64_t hash = 14695981039346656037ull;
    static thread_local char buffer[64 * 1024];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        for (DWORD index = 0; index < read; ++index) {
            hash = (hash ^ static_cast<unsigned char>(buffer[index])) * 1099511628211ull;
        }
    }
    return hash;
}

std::string Narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) {
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    }
    return narrow;
}

}  // namespace

TreeSnapshot TreeSnapshot::Take(const std::wstring& root)
{
    TreeSnapshot snapshot;
    const DWORD attributes = GetFileAttributesW(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        snapshot.m_readable = false;
        return snapshot;
    }
    snapshot.Walk(root, L"");
    return snapshot;
}

void TreeSnapshot::Walk(const std::wstring& folder, const std::wstring& relative)
{
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find) {
        m_readable = false;
        return;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::wstring path = folder + L"\\" + name;
        const std::wstring key = relative.empty() ? name : relative + L"\\" + name;
        TreeEntry entry;
        entry.attributes = found.dwFileAttributes;
        entry.creationTime = Join(found.ftCreationTime.dwHighDateTime, found.ftCreationTime.dwLowDateTime);
        entry.lastWriteTime = Join(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            m_entries[key] = entry;
            Walk(path, key);
        } else {
            entry.size = Join(found.nFileSizeHigh, found.nFileSizeLow);
            entry.contentHash = HashContent(path);
            m_entries[key] = entry;
        }
    } while (FindNextFileW(find.get(), &found));
}

std::string TreeSnapshot::DifferencesFrom(const TreeSnapshot& before) const
{
    std::string report;
    if (!m_readable || !before.m_readable) {
        report += "tree not readable\n";
    }
    for (const auto& [name, entry] : before.m_entries) {
        const auto now = m_entries.find(name);
        if (now == m_entries.end()) {
            report += "gone: " + Narrow(name) + "\n";
        } else if (!(now->second == entry)) {
            report += "changed: " + Narrow(name) + "\n";
        }
    }
    for (const auto& [name, entry] : m_entries) {
        if (!before.m_entries.contains(name)) {
            report += "new: " + Narrow(name) + "\n";
        }
    }
    return report;
}

RealTreeGuard::RealTreeGuard(std::wstring root) : m_root(std::move(root)), m_before(TreeSnapshot::Take(m_root)) {}

RealTreeGuard::~RealTreeGuard()
{
    EXPECT_TRUE(Unchanged()) << "real tree " << Narrow(m_root);
}

::testing::AssertionResult RealTreeGuard::Unchanged() const
{
    const std::string differences = TreeSnapshot::Take(m_root).DifferencesFrom(m_before);
    if (differences.empty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << differences;
}

}  // namespace veyra::test
