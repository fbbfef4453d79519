#pragma once
// The messages and WM_COPYDATA records the program's windows exchange. The desktop window is the hub:
// it receives most of them, keeps the registered windows and forwards notices and host moves. Records
// are fixed-width and carry no pointers, so the 32-bit and 64-bit builds agree on every byte.
// WM_NS_RENAME_DONE belongs to the rename box, WM_NS_START_OPERATION to the core's starters and the
// view threads' messages (items and icons loaded, type-ahead) to the view engine; all are taken from
// there, so each number has one definition.

#include <windows.h>

#include <cstdint>

#include "core/fileops/ChangeNotice.h"
#include "core/fileops/OperationStarters.h"
#include "shell/explorer/ViewMessages.h"
#include "shell/iconview/CSimpleEditCtrl.h"

namespace veyra {

inline constexpr UINT WM_NS_TASKS_CHANGED = WM_USER + 10;       // post, 0 / 0
inline constexpr UINT WM_NS_HOST_MOVED = WM_USER + 11;          // send, x / y of the host's client origin
inline constexpr UINT WM_NS_GET_FOLDER_WINDOWS = WM_USER + 12;  // send, HostWindowMap* / 0
// WM_USER + 15 is free.
inline constexpr UINT WM_NS_SELECT_NAMED = WM_USER + 16;
inline constexpr UINT WM_NS_DRAG_HIGHLIGHT = WM_USER + 17;      // post, icon item / 0
inline constexpr UINT WM_NS_RELOAD = WM_USER + 18;
inline constexpr UINT WM_NS_GO_BACK = WM_USER + 19;
inline constexpr UINT WM_NS_TASKMGR_CLOSED = WM_USER + 20;
inline constexpr UINT WM_NS_ADD_ITEM = WM_USER + 22;
inline constexpr UINT WM_NS_RESTORE_SYSTEM = WM_USER + 25;
inline constexpr UINT WM_NS_TOGGLE_MERGE = WM_USER + 26;        // send
inline constexpr UINT WM_NS_SHOW_PROCESSES = WM_USER + 27;
inline constexpr UINT WM_NS_SHOW_GUIDE_TIP = WM_USER + 28;
static_assert(WM_NS_RENAME_DONE == 0x40D && WM_NS_START_OPERATION == 0x417);
static_assert(WM_NS_ITEMS_LOADED == 0x40E && WM_NS_ICON_LOADED == 0x415 && WM_NS_TYPEAHEAD_CHAR == 0x418);

// Copy-data codes: four bytes that spell the letters in memory ("YSIN", "ZSIN", "[SIN"; the change
// notice's "\SIN" is the core's).
inline constexpr ULONG_PTR COPYDATA_OPEN_FOLDER = 0x4E495359;
inline constexpr ULONG_PTR COPYDATA_REGISTER_WINDOW = 0x4E49535A;
inline constexpr ULONG_PTR COPYDATA_UNREGISTER_WINDOW = 0x4E49535B;

// The suite's registered message that ends the desktop program.
inline constexpr wchar_t kTrayExitMessageName[] = L"KavoTray_Exit";

// Kind flags of a registered window.
namespace HostKind {
inline constexpr std::int32_t kFolderWindow = 0x1;
inline constexpr std::int32_t kStartMenu = 0x2;
inline constexpr std::int32_t kTaskManager = 0x4;
inline constexpr std::int32_t kModelessBox = 0x8;  // modeless message box, progress dialog, file-conflict box
inline constexpr std::int32_t kModalBox = 0x10;
// Restore closes every kind but the start menu.
inline constexpr std::int32_t kClosedOnRestore = kFolderWindow | kTaskManager | kModelessBox | kModalBox;
}  // namespace HostKind

inline constexpr std::size_t kRecordPathChars = 260;

#pragma pack(push, 4)
struct OpenFolderRequest {
    std::int32_t owner;                // the sender's owner key; not used by the receiver
    wchar_t folder[kRecordPathChars];  // a path, or the My Computer item
    wchar_t select[kRecordPathChars];  // the item to select once listed; empty for none
};

struct HostWindowEntry {
    std::uint32_t window;  // the registering window's handle value (handles fit 32 bits in both builds)
    std::uint32_t data;    // the registering object's address, cut to 32 bits: opaque, never dereferenced
    std::int32_t flags;    // HostKind bits
};
#pragma pack(pop)
static_assert(sizeof(OpenFolderRequest) == 1044 && offsetof(OpenFolderRequest, select) == 524);
static_assert(sizeof(HostWindowEntry) == 12 && offsetof(HostWindowEntry, flags) == 8);

[[nodiscard]] inline HWND WindowOf(const HostWindowEntry& entry) noexcept
{
    return static_cast<HWND>(ULongToHandle(entry.window));
}
[[nodiscard]] inline HostWindowEntry MakeHostWindowEntry(HWND window, const void* data, std::int32_t flags) noexcept
{
    return HostWindowEntry{HandleToULong(window),
                           static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(data)), flags};
}

// What the check of an incoming record found.
enum class RecordCheck {
    Accepted,
    NoPayload,       // no COPYDATASTRUCT or no data
    WrongSize,       // cbData is not the record's exact size
    Unterminated,    // a text field has no NUL within its 260 characters
    MissingText,     // a required text field is empty
    UnknownKind,     // a change notice of a kind no view acts on
    NotAWindow,      // the registered handle is not a window
    ForeignWindow,   // the registered window belongs to another process
};

// Records are copied out of the sender's memory into `out` only when accepted.
[[nodiscard]] RecordCheck CheckOpenFolderRequest(const COPYDATASTRUCT* data, OpenFolderRequest& out) noexcept;
[[nodiscard]] RecordCheck CheckChangeNotice(const COPYDATASTRUCT* data, ChangeNoticeRecord& out) noexcept;
// Registration: only a live window of this process.
[[nodiscard]] RecordCheck CheckRegistration(const COPYDATASTRUCT* data, HostWindowEntry& out) noexcept;
// Unregistration: the window may be gone already, but a live window of another process is refused.
[[nodiscard]] RecordCheck CheckUnregistration(const COPYDATASTRUCT* data, HostWindowEntry& out) noexcept;

// True when `text` holds a NUL within its first `capacity` characters.
[[nodiscard]] bool IsTerminatedWithin(const wchar_t* text, std::size_t capacity) noexcept;

// A pointer-carrying message that must be sent by the receiving thread itself (the starters and the
// taskbar view run on the UI thread): true only for a send from the current thread. A send from
// another thread or process answers ISMEX_SEND; a posted copy is refused by the window's filter.
[[nodiscard]] bool IsSentByThisThread() noexcept;

}  // namespace veyra
