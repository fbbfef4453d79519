// NsExplorer: a long listing filled a bounded step at a time. Each step's items queue their cached images
// at once, and the host applies those one by one, so a step bounds both the step itself and what waits in
// front of the user's input behind it.

#include <algorithm>
#include <chrono>
#include <cwchar>

#include "shell/explorer/NsExplorer.h"
#include "shell/explorer/ViewMessages.h"

namespace veyra {

namespace {

constexpr std::chrono::milliseconds kFillStepTime{4};

}  // namespace

int NsExplorer::BeginSteppedFill(std::vector<FileItemRecord>& records, const FillAdder& add)
{
    m_fill.records = std::make_unique<std::vector<FileItemRecord>>(std::move(records));
    m_fill.next = 0;
    m_fill.number = m_listingNumber;
    return FillStep(add);
}

int NsExplorer::ContinueFill(std::uint32_t number, const FillAdder& add)
{
    if (!m_fill.records || number != m_fill.number || !IsCurrentListing(number)) {
        return 0;
    }
    return FillStep(add);
}

int NsExplorer::FillStep(const FillAdder& add)
{
    std::vector<FileItemRecord>& records = *m_fill.records;
    const auto end = std::chrono::steady_clock::now() + kFillStepTime;
    const size_t last = std::min(records.size(), m_fill.next + kFillStepItems);
    int added = 0;
    // At least one record a step, however slow, so the fill always moves on.
    do {
        if (m_fill.next >= last) {
            break;
        }
        const FileItemRecord& record = records[m_fill.next++];
        if (m_fill.noticed && FindItemByPath(record.path)) {
            continue;  // a notice showed it already
        }
        added += add(record) ? 1 : 0;
    } while (std::chrono::steady_clock::now() < end);
    if (m_fill.next >= records.size()) {
        m_fill = PendingFill{};
        return added;
    }
    // Posted behind the images this step queued, so the next step waits until they are applied.
    if (!PostMessageW(m_hostWindow, WM_NS_ITEMS_LOADED, 0, static_cast<LPARAM>(m_fill.number))) {
        m_fill = PendingFill{};
    }
    return added;
}

void NsExplorer::FollowNoticeDuringFill(const std::wstring& path, bool gone)
{
    if (!m_fill.records) {
        return;
    }
    m_fill.noticed = true;
    if (gone) {
        std::vector<FileItemRecord>& records = *m_fill.records;
        const auto pending = records.begin() + static_cast<std::ptrdiff_t>(m_fill.next);
        records.erase(std::remove_if(pending, records.end(),
                                     [&](const FileItemRecord& record) {
                                         return _wcsicmp(record.path.c_str(), path.c_str()) == 0;
                                     }),
                      records.end());
    }
}

}  // namespace veyra
