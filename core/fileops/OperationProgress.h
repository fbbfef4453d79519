#pragma once
// The counters and texts of one running copy, move or rename, as the progress dialog shows them.
// The core owns this state: the worker and the copy progress routine write it, the dialog polls it on
// its timer and sets the cancel flag. Both hold a reference, so the dialog may close (and its window
// go) while the worker still reports into it; the last holder frees it.
// Counters are under the lock; the cancel flag is read without it.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "base/RefCounted.h"

namespace veyra {

struct ProgressCounters {
    std::uint64_t total = 0;
    std::uint64_t totalDivisor = 0;
    std::uint64_t baseDone = 0;
    std::uint64_t done = 0;
    int itemCount = 0;
    int itemsDone = 0;
};

struct ProgressTexts {
    std::wstring title;
    std::wstring summary;
    std::wstring detail;
};

class OperationProgress : public RefCounted {
public:
    OperationProgress() noexcept;
    ~OperationProgress() override;

    // The totals step: every counter starts again from these.
    void SetTotals(int itemCount, std::uint64_t totalBytes) noexcept;
    // A file item finished (or failed): its counted bytes join the finished bytes.
    void FinishItem(std::uint64_t itemBytes) noexcept;
    // The copy progress routine: bytes of the running file so far.
    void SetRunningFileBytes(std::uint64_t transferred) noexcept;
    [[nodiscard]] ProgressCounters Counters() const noexcept;
    // Whole percent of done over the divisor; 0 while nothing was counted.
    [[nodiscard]] int Percent() const noexcept;

    void Cancel() noexcept { m_cancelled.store(1, std::memory_order_relaxed); }
    [[nodiscard]] bool Cancelled() const noexcept { return m_cancelled.load(std::memory_order_relaxed) != 0; }

    void SetTitle(std::wstring text);
    void SetText(std::wstring text);
    void SetDetail(std::wstring text);
    [[nodiscard]] ProgressTexts Texts() const;

private:
    class Lock;

    mutable CRITICAL_SECTION m_lock;
    ProgressCounters m_counters;
    ProgressTexts m_texts;
    std::atomic<int> m_cancelled{0};
};

}  // namespace veyra
