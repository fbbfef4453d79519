#include "OperationProgress.h"

namespace veyra {

class OperationProgress::Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) noexcept : m_section(section) { EnterCriticalSection(&m_section); }
    ~Lock() { LeaveCriticalSection(&m_section); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

OperationProgress::OperationProgress() noexcept
{
    InitializeCriticalSection(&m_lock);
}

OperationProgress::~OperationProgress()
{
    DeleteCriticalSection(&m_lock);
}

void OperationProgress::SetTotals(int itemCount, std::uint64_t totalBytes) noexcept
{
    Lock lock(m_lock);
    m_counters = ProgressCounters{totalBytes, totalBytes, 0, 0, itemCount, 0};
}

void OperationProgress::FinishItem(std::uint64_t itemBytes) noexcept
{
    Lock lock(m_lock);
    m_counters.itemsDone += 1;
    m_counters.baseDone += itemBytes;
    m_counters.done = m_counters.baseDone;
}

void OperationProgress::SetRunningFileBytes(std::uint64_t transferred) noexcept
{
    Lock lock(m_lock);
    m_counters.done = m_counters.baseDone + transferred;
}

ProgressCounters OperationProgress::Counters() const noexcept
{
    Lock lock(m_lock);
    return m_counters;
}

int OperationProgress::Percent() const noexcept
{
    const ProgressCounters counters = Counters();
    if (counters.totalDivisor == 0) {
        return 0;
    }
    const double fraction = static_cast<double>(counters.done) / static_cast<double>(counters.totalDivisor);
    return static_cast<int>(fraction * 100.0);
}

void OperationProgress::SetTitle(std::wstring text)
{
    Lock lock(m_lock);
    m_texts.title = std::move(text);
}

void OperationProgress::SetText(std::wstring text)
{
    Lock lock(m_lock);
    m_texts.summary = std::move(text);
}

void OperationProgress::SetDetail(std::wstring text)
{
    Lock lock(m_lock);
    m_texts.detail = std::move(text);
}

ProgressTexts OperationProgress::Texts() const
{
    Lock lock(m_lock);
    return m_texts;
}

}  // namespace veyra
