#pragma once
// Change notices: after each finished item a worker tells the desktop window which item appeared or
// vanished, as a WM_COPYDATA record sent synchronously from the worker thread. Also the map from
// owner key to desktop window, filled by the desktop window and read from worker threads.

#include <windows.h>

#include <cstdint>
#include <string>

#include "FileOperationContext.h"

namespace veyra {

constexpr ULONG_PTR COPYDATA_CHANGE_NOTICE = 0x4E49535C;  // "\SIN" in memory

// Item codes of the sender.
constexpr int kNoticeItemDone = 6;
constexpr int kNoticeReplacedBit = 0x10;

// What a notice says happened.
namespace NoticeKind {
constexpr int kFileAppeared = 1;
constexpr int kFolderAppeared = 2;
constexpr int kFileGone = 4;
constexpr int kFolderGone = 8;
}  // namespace NoticeKind

#pragma pack(push, 4)
struct ChangeNoticeRecord {
    std::int32_t flags;
    std::int32_t kind;
    std::int32_t id;
    wchar_t path1[260];
    wchar_t path2[260];
};
#pragma pack(pop)
static_assert(sizeof(ChangeNoticeRecord) == 1052, "the record layout is shared by every window");

// Registers (or, with nullptr, forgets) the desktop window of an owner key.
void RegisterHostWindow(int ownerKey, HWND window) noexcept;
// The desktop window of the key; 0 when none is registered.
[[nodiscard]] HWND GetHostWindow(int ownerKey) noexcept;

// Sends one notice to the key's desktop window and returns SendMessageW's result; 0 without a window.
// Paths longer than 259 characters are cut, as every receiver expects a terminated WCHAR[260].
LRESULT SendChangeNotice(int flags, int kind, int id, const std::wstring& path1, const std::wstring& path2,
                         int ownerKey) noexcept;

// The notices of one finished item (source or single path P, target Q, both view paths), chosen by
// the context's operation type; 1, or 0 without a context.
int NotifyFileChange(const FileOperationContext* context, int code, const std::wstring& path,
                     const std::wstring& target, int ownerKey) noexcept;

}  // namespace veyra
