#include "NoticeRecorder.h"

#include <gtest/gtest.h>

#include "core/fileops/ChangeNotice.h"

namespace veyra::test {

NoticeRecorder::NoticeRecorder(int ownerKey) : m_ownerKey(ownerKey)
{
    WindowPlacement placement;
    placement.style = 0;
    placement.parent = HWND_MESSAGE;
    EXPECT_TRUE(Create(WindowClass{L"VeyraNoticeRecorder"}, L"notices", placement));
    RegisterHostWindow(m_ownerKey, Handle());
}

NoticeRecorder::~NoticeRecorder()
{
    RegisterHostWindow(m_ownerKey, nullptr);
    if (Handle()) {
        DestroyWindow(Handle());
    }
}

std::span<const NoticeRecorder::Entry> NoticeRecorder::Messages()
{
    static const Entry entries[] = {{WM_COPYDATA, &NoticeRecorder::OnCopyData}};
    return entries;
}

LRESULT NoticeRecorder::OnCopyData(WPARAM, LPARAM lParam)
{
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || data->dwData != COPYDATA_CHANGE_NOTICE || data->cbData < sizeof(ChangeNoticeRecord)) {
        ADD_FAILURE() << "malformed change notice";
        return 0;
    }
    const auto* record = static_cast<const ChangeNoticeRecord*>(data->lpData);
    m_notices.push_back({record->flags, record->kind, record->id, record->path1, record->path2, data->cbData});
    return 1;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 50)),
                                  QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    return true;
}

bool PumpUntilSignalled(HANDLE handle, DWORD timeoutMs)
{
    return PumpUntil([handle] { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }, timeoutMs);
}

}  // namespace veyra::test
