#include "core/processwatch/ProcessListManager.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "core/SandBoxHelper.h"

namespace veyra {

namespace {

// An engine that never ends its list must not hang the UI thread.
constexpr int kMaxRecordsPerSnapshot = 65536;

class HelperEngine final : public ProcessEngine {
public:
    SbRuleItem* EnumSbRuleItem(int next) noexcept override { return CSandBoxHelper::GetInstance().EnumSbRuleItem(next); }
    int ReleaseSbRuleItem(SbRuleItem* record) noexcept override
    {
        return CSandBoxHelper::GetInstance().ReleaseSbRuleItem(record);
    }
    int TerminateProcessBySbRule(SbRuleItem* record) noexcept override
    {
        return CSandBoxHelper::GetInstance().TerminateProcessBySbRule(record);
    }
};

// A copy of the engine's record whose image path is terminated whatever the engine left in it.
SbRuleItem CopyRecord(const SbRuleItem& record) noexcept
{
    SbRuleItem copy;
    std::memcpy(&copy, &record, sizeof(copy));
    copy.imagePath[kSbRuleImagePathChars - 1] = L'\0';
    return copy;
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM parameter) noexcept
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    wchar_t text[kProcessTitleChars];
    DWORD owner = 0;
    if (!IsWindowVisible(window) || InternalGetWindowText(window, text, kProcessTitleChars) <= 0 ||
        GetWindowThreadProcessId(window, &owner) == 0 || owner != search->processId) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

bool EntriesEqual(const ProcessEntry& a, const ProcessEntry& b) noexcept
{
    return StrCmpIW(a.record.imagePath, b.record.imagePath) == 0 && a.record.processId == b.record.processId &&
           a.record.ownerId == b.record.ownerId && StrCmpIW(a.title, b.title) == 0;
}

}  // namespace

ProcessEngine& SandBoxHelperEngine() noexcept
{
    static HelperEngine engine;
    return engine;
}

bool ProcessListsDiffer(const std::vector<ProcessEntry>& a, const std::vector<ProcessEntry>& b) noexcept
{
    return !std::equal(a.begin(), a.end(), b.begin(), b.end(), EntriesEqual);
}

CProcessListManager& CProcessListManager::GetInstance() noexcept
{
    static CProcessListManager instance(SandBoxHelperEngine());
    return instance;
}

HWND CProcessListManager::FindProcessMainWindow(DWORD processId) noexcept
{
    WindowSearch search{processId, nullptr};
    EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CProcessListManager::Refresh() noexcept
{
    std::vector<ProcessEntry> fresh;
    bool complete = true;
    int count = 0;
    for (SbRuleItem* record = m_engine.EnumSbRuleItem(0); record; record = m_engine.EnumSbRuleItem(1)) {
        ProcessEntry entry{};
        entry.record = CopyRecord(*record);
        m_engine.ReleaseSbRuleItem(record);  // given back before the next is asked for, pid 0 or not
        if (++count > kMaxRecordsPerSnapshot) {
            complete = false;
            break;
        }
        if (entry.record.processId == 0 || !complete) {
            continue;
        }
        entry.mainWindow = FindProcessMainWindow(entry.record.processId);
        if (entry.mainWindow) {
            GetWindowTextW(entry.mainWindow, entry.title, kProcessTitleChars);
        }
        try {
            fresh.push_back(entry);
        } catch (const std::bad_alloc&) {
            complete = false;  // keep giving the records back, but keep the old list
        }
    }
    if (!complete) {
        return;
    }
    bool differed = false;
    {
        std::lock_guard lock(m_entryLock);
        if (ProcessListsDiffer(fresh, m_entries)) {
            m_entries.swap(fresh);
            differed = true;
        }
    }
    if (differed) {
        NotifyListeners();
    }
}

void CProcessListManager::GetOwnerProcesses(std::vector<ProcessEntry>& list, std::int32_t ownerId,
                                            int& changed) noexcept
{
    changed = 0;
    try {
        std::lock_guard lock(m_entryLock);
        // Only this desktop's processes count: processes of other desktops are no change for this caller.
        std::vector<ProcessEntry> own;
        std::copy_if(m_entries.begin(), m_entries.end(), std::back_inserter(own),
                     [ownerId](const ProcessEntry& entry) { return entry.record.ownerId == ownerId; });
        if (ProcessListsDiffer(own, list)) {
            list.swap(own);
            changed = 1;
        }
    } catch (const std::bad_alloc&) {
        changed = 0;
    }
}

int CProcessListManager::TerminateProcess(DWORD processId) noexcept
{
    int count = 0;
    for (SbRuleItem* record = m_engine.EnumSbRuleItem(0); record; record = m_engine.EnumSbRuleItem(1)) {
        if (record->processId == processId && processId != 0) {
            SbRuleItem copy = CopyRecord(*record);
            m_engine.ReleaseSbRuleItem(record);
            m_engine.TerminateProcessBySbRule(&copy);
            return 1;
        }
        m_engine.ReleaseSbRuleItem(record);
        if (++count >= kMaxRecordsPerSnapshot) {
            break;
        }
    }
    return 0;
}

int CProcessListManager::Subscribe(HWND window, UINT message, int remove) noexcept
{
    const ProcessListener listener{window, message};
    {
        std::lock_guard lock(m_listenerLock);
        const auto found = std::find(m_listeners.begin(), m_listeners.end(), listener);
        if (remove) {
            if (found == m_listeners.end()) {
                return 0;
            }
            m_listeners.erase(found);
            return 1;
        }
        if (found != m_listeners.end()) {
            return 0;
        }
        try {
            m_listeners.push_back(listener);
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    NotifyListeners();
    return 1;
}

void CProcessListManager::NotifyListeners() noexcept
{
    std::lock_guard lock(m_listenerLock);
    std::erase_if(m_listeners, [](const ProcessListener& listener) {
        if (!IsWindow(listener.window)) {
            return true;
        }
        PostMessageW(listener.window, listener.message, 0, 0);
        return false;
    });
}

}  // namespace veyra
