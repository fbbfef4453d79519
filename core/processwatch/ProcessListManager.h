#pragma once
// The process watch: the processes that run in the sandbox, as the engine lists them, each with its main
// window and that window's title, and the windows that want to hear when that list changes. One instance
// per process (GetInstance), refreshed by the desktop window once a second on the UI thread. Two locks,
// never held together: the entry lock guards the kept list, the listener lock the listeners; listeners are
// told by posted messages after the locks are left, so no listener code runs under a lock.

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "suite/contracts/SbRuleItem.h"

namespace veyra {

class CSandBoxHelper;

constexpr std::size_t kProcessTitleChars = 260;

struct ProcessEntry {
    SbRuleItem record;                    // the engine's record, copied whole
    HWND mainWindow;                      // NULL when none was found
    wchar_t title[kProcessTitleChars];    // the main window's text; empty without a window
};

struct ProcessListener {
    HWND window;
    UINT message;
    friend bool operator==(const ProcessListener&, const ProcessListener&) = default;
};

// The engine calls the watch makes. Records handed out by EnumSbRuleItem are the engine's until given
// back with ReleaseSbRuleItem.
class ProcessEngine {
public:
    virtual SbRuleItem* EnumSbRuleItem(int next) noexcept = 0;
    virtual int ReleaseSbRuleItem(SbRuleItem* record) noexcept = 0;
    virtual int TerminateProcessBySbRule(SbRuleItem* record) noexcept = 0;

protected:
    ~ProcessEngine() = default;
};

// The process-wide engine binding as a ProcessEngine.
ProcessEngine& SandBoxHelperEngine() noexcept;

class CProcessListManager {
public:
    explicit CProcessListManager(ProcessEngine& engine) noexcept : m_engine(engine) {}
    CProcessListManager(const CProcessListManager&) = delete;
    CProcessListManager& operator=(const CProcessListManager&) = delete;

    // The instance over the process-wide engine binding.
    static CProcessListManager& GetInstance() noexcept;

    // Takes a new snapshot from the engine and notifies the listeners when it differs from the kept list.
    void Refresh() noexcept;

    // Gives the caller the processes of one desktop (owner id = its owner key) when they differ from
    // the caller's list: changed = 1 and the list replaced; else changed = 0 and the list left alone.
    void GetOwnerProcesses(std::vector<ProcessEntry>& list, std::int32_t ownerId, int& changed) noexcept;

    // Asks the engine to end the process: 1, or 0 when the engine lists no such process. The kept list
    // stays; the next Refresh drops the process.
    int TerminateProcess(DWORD processId) noexcept;

    // Adds (remove = 0) or removes (remove = 1) a listener: 1 when done, 0 when there was nothing to do.
    // A new listener is told at once.
    int Subscribe(HWND window, UINT message, int remove) noexcept;

    // The first visible, titled top-level window of the process on this desktop, or NULL.
    [[nodiscard]] static HWND FindProcessMainWindow(DWORD processId) noexcept;

private:
    void NotifyListeners() noexcept;

    ProcessEngine& m_engine;
    std::vector<ProcessEntry> m_entries;
    std::vector<ProcessListener> m_listeners;
    std::mutex m_entryLock;
    std::mutex m_listenerLock;
};

// The comparison of the watch: counts, then at each position image path and title (letter case
// ignored), process id and owner id.
[[nodiscard]] bool ProcessListsDiffer(const std::vector<ProcessEntry>& a, const std::vector<ProcessEntry>& b) noexcept;

}  // namespace veyra
