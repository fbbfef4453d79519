#pragma once
// A hidden window registered as the desktop window of an owner key: it records every change notice
// the file operations send to it. Notices sent from another thread arrive while the test thread
// pumps messages (PumpUntil).

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Window.h"

namespace veyra::test {

struct RecordedNotice {
    int flags;
    int kind;
    int id;
    std::wstring path1;
    std::wstring path2;
    DWORD size;
};

class NoticeRecorder final : public MappedWindow<NoticeRecorder> {
public:
    explicit NoticeRecorder(int ownerKey = 0);
    ~NoticeRecorder() override;

    [[nodiscard]] const std::vector<RecordedNotice>& Notices() const noexcept { return m_notices; }
    void Clear() { m_notices.clear(); }

    static std::span<const Entry> Messages();

private:
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);

    int m_ownerKey;
    std::vector<RecordedNotice> m_notices;
};

// Runs the calling thread's messages until `done` holds or `timeoutMs` passes; true when it held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Pumps messages until the handle is signalled or `timeoutMs` passes; true when signalled.
bool PumpUntilSignalled(HANDLE handle, DWORD timeoutMs);

}  // namespace veyra::test
