#pragma once
// The back/forward history of a folder window: the folders navigated to, oldest first, and the
// position of the one shown. The position is an index, so a folder visited twice (A, B, A) is still
// found where it was shown, not at its first occurrence. UI thread of its window only.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace veyra {

class FolderHistory {
public:
    explicit FolderHistory(std::wstring start);

    // A new folder after the shown one: entries newer than the shown one are dropped.
    void Navigate(std::wstring path);
    // The entry before / after the shown one, which becomes shown; none at either end.
    std::optional<std::wstring> Back();
    std::optional<std::wstring> Forward();

    [[nodiscard]] bool CanGoBack() const noexcept { return m_position > 0; }
    [[nodiscard]] bool CanGoForward() const noexcept { return m_position + 1 < m_entries.size(); }
    [[nodiscard]] const std::wstring& Current() const noexcept { return m_entries[m_position]; }
    [[nodiscard]] const std::vector<std::wstring>& Entries() const noexcept { return m_entries; }
    [[nodiscard]] std::size_t Position() const noexcept { return m_position; }

private:
    std::vector<std::wstring> m_entries;
    std::size_t m_position = 0;
};

}  // namespace veyra
