#include "shell/directory/FolderHistory.h"

namespace veyra {

FolderHistory::FolderHistory(std::wstring start) : m_entries{std::move(start)} {}

void FolderHistory::Navigate(std::wstring path)
{
    m_entries.resize(m_position + 1);
    m_entries.push_back(std::move(path));
    m_position = m_entries.size() - 1;
}

std::optional<std::wstring> FolderHistory::Back()
{
    if (!CanGoBack()) {
        return std::nullopt;
    }
    --m_position;
    return m_entries[m_position];
}

std::optional<std::wstring> FolderHistory::Forward()
{
    if (!CanGoForward()) {
        return std::nullopt;
    }
    ++m_position;
    return m_entries[m_position];
}

}  // namespace veyra
