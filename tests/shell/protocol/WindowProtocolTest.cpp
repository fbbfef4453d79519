// The records and checks of the window protocol: exact sizes in both builds, and every incoming record,
// good or malformed, sorted by what is wrong with it before anything of it is used.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "base/Window.h"
#include "shell/desktop/RegisteredWindows.h"
#include "shell/protocol/WindowProtocol.h"
#include "tests/support/TestWindows.h"

using namespace veyra;
using veyra::test::PopupPlacement;

namespace {

static_assert(WM_NS_TASKS_CHANGED == 0x40A && WM_NS_SHOW_GUIDE_TIP == 0x41C);

// Bytes of a record as a sender may put them, of any length.
struct Payload {
    std::vector<unsigned char> bytes;
    ULONG_PTR code = 0;
    COPYDATASTRUCT data{};

    template <typename Record>
    static Payload Of(ULONG_PTR code, const Record& record, std::size_t size = sizeof(Record))
    {
        Payload payload;
        payload.code = code;
        payload.bytes.assign(size, 0);
        std::memcpy(payload.bytes.data(), &record, std::min(size, sizeof(Record)));
        return payload;
    }
    const COPYDATASTRUCT* Get()
    {
        data = COPYDATASTRUCT{code, static_cast<DWORD>(bytes.size()), bytes.empty() ? nullptr : bytes.data()};
        return &data;
    }
};

OpenFolderRequest Request(const wchar_t* folder, const wchar_t* select)
{
    OpenFolderRequest request{};
    wcsncpy(request.folder, folder, kRecordPathChars - 1);
    wcsncpy(request.select, select, kRecordPathChars - 1);
    return request;
}

class OwnWindow final : public MappedWindow<OwnWindow> {
public:
    OwnWindow()
    {
        EXPECT_TRUE(Create(WindowClass{L"VeyraProtocolTestWindow"}, L"own", PopupPlacement()));
    }
    static std::span<const Entry> Messages() { return {}; }
};

TEST(WindowProtocol, RecordLayoutsAreFixedInBothBuilds)
{
    EXPECT_EQ(sizeof(OpenFolderRequest), 1044u);
    EXPECT_EQ(offsetof(OpenFolderRequest, folder), 4u);
    EXPECT_EQ(sizeof(HostWindowEntry), 12u);
    EXPECT_EQ(sizeof(ChangeNoticeRecord), 1052u);
    const char letters[][5] = {"YSIN", "ZSIN", "[SIN", "\\SIN"};
    const ULONG_PTR codes[] = {COPYDATA_OPEN_FOLDER, COPYDATA_REGISTER_WINDOW, COPYDATA_UNREGISTER_WINDOW,
                               COPYDATA_CHANGE_NOTICE};
    for (int index = 0; index < 4; ++index) {
        const std::uint32_t code = static_cast<std::uint32_t>(codes[index]);
        EXPECT_EQ(std::memcmp(&code, letters[index], 4), 0) << letters[index];
    }
}

TEST(WindowProtocol, OpenFolderRequests)
{
    OpenFolderRequest unterminated = Request(L"C:\\a", L"");
    std::wmemset(unterminated.folder, L'x', kRecordPathChars);
    OpenFolderRequest badSelect = Request(L"C:\\a", L"");
    std::wmemset(badSelect.select, L'y', kRecordPathChars);
    OpenFolderRequest full = Request(L"", L"");
    std::wmemset(full.folder, L'z', kRecordPathChars - 1);
    struct Case {
        const char* name;
        Payload payload;
        RecordCheck expected;
    } cases[] = {
        {"folder and item", Payload::Of(COPYDATA_OPEN_FOLDER, Request(L"C:\\a", L"C:\\a\\b.txt")), RecordCheck::Accepted},
        {"no item to select", Payload::Of(COPYDATA_OPEN_FOLDER, Request(L"C:\\a", L"")), RecordCheck::Accepted},
        {"259 characters", Payload::Of(COPYDATA_OPEN_FOLDER, full), RecordCheck::Accepted},
        {"one byte short", Payload::Of(COPYDATA_OPEN_FOLDER, Request(L"C:\\a", L""), 1043), RecordCheck::WrongSize},
        {"one byte over", Payload::Of(COPYDATA_OPEN_FOLDER, Request(L"C:\\a", L""), 1045), RecordCheck::WrongSize},
        {"a host entry's size", Payload::Of(COPYDATA_OPEN_FOLDER, Request(L"C:\\a", L""), 12), RecordCheck::WrongSize},
        {"no data", Payload::Of(COPYDATA_OPEN_FOLDER, Request(L"C:\\a", L""), 0), RecordCheck::NoPayload},
        {"folder without its NUL", Payload::Of(COPYDATA_OPEN_FOLDER, unterminated), RecordCheck::Unterminated},
        {"item without its NUL", Payload::Of(COPYDATA_OPEN_FOLDER, badSelect), RecordCheck::Unterminated},
        {"empty folder", Payload::Of(COPYDATA_OPEN_FOLDER, Request(L"", L"C:\\b")), RecordCheck::MissingText},
    };
    for (Case& c : cases) {
        OpenFolderRequest out = Request(L"untouched", L"");
        EXPECT_EQ(CheckOpenFolderRequest(c.payload.Get(), out), c.expected) << c.name;
        if (c.expected == RecordCheck::Accepted) {
            EXPECT_EQ(std::memcmp(&out, c.payload.bytes.data(), sizeof(out)), 0) << c.name;
        } else {
            EXPECT_STREQ(out.folder, L"untouched") << c.name << ": nothing of a refused record is used";
        }
    }
    OpenFolderRequest out{};
    EXPECT_EQ(CheckOpenFolderRequest(nullptr, out), RecordCheck::NoPayload);
}

TEST(WindowProtocol, ChangeNotices)
{
    auto notice = [](int kind, const wchar_t* path) {
        ChangeNoticeRecord record{};
        record.flags = kNoticeItemDone;
        record.kind = kind;
        record.id = 1;
        wcsncpy(record.path1, path, 259);
        return record;
    };
    ChangeNoticeRecord unterminated = notice(1, L"");
    std::wmemset(unterminated.path1, L'p', kRecordPathChars);
    ChangeNoticeRecord badSecond = notice(1, L"C:\\a");
    std::wmemset(badSecond.path2, L'q', kRecordPathChars);
    struct Case {
        const char* name;
        Payload payload;
        RecordCheck expected;
    } cases[] = {
        {"file appeared", Payload::Of(COPYDATA_CHANGE_NOTICE, notice(1, L"C:\\a")), RecordCheck::Accepted},
        {"folder gone", Payload::Of(COPYDATA_CHANGE_NOTICE, notice(8, L"C:\\a")), RecordCheck::Accepted},
        {"kind 3", Payload::Of(COPYDATA_CHANGE_NOTICE, notice(3, L"C:\\a")), RecordCheck::UnknownKind},
        {"kind 0", Payload::Of(COPYDATA_CHANGE_NOTICE, notice(0, L"C:\\a")), RecordCheck::UnknownKind},
        {"no path", Payload::Of(COPYDATA_CHANGE_NOTICE, notice(1, L"")), RecordCheck::MissingText},
        {"path without its NUL", Payload::Of(COPYDATA_CHANGE_NOTICE, unterminated), RecordCheck::Unterminated},
        {"second path without its NUL", Payload::Of(COPYDATA_CHANGE_NOTICE, badSecond), RecordCheck::Unterminated},
        {"an open request's size", Payload::Of(COPYDATA_CHANGE_NOTICE, notice(1, L"C:\\a"), 1044), RecordCheck::WrongSize},
    };
    for (Case& c : cases) {
        ChangeNoticeRecord out{};
        EXPECT_EQ(CheckChangeNotice(c.payload.Get(), out), c.expected) << c.name;
    }
}

TEST(WindowProtocol, RegistrationTakesOnlyLiveWindowsOfThisProcess)
{
    OwnWindow own;
    OwnWindow closed;
    const HWND gone = closed.Handle();
    DestroyWindow(gone);
    // The shell's desktop window belongs to another process under Wine as on Windows.
    const HWND foreign = GetDesktopWindow();
    DWORD foreignProcess = 0;
    GetWindowThreadProcessId(foreign, &foreignProcess);
    ASSERT_NE(foreignProcess, GetCurrentProcessId());
    int object = 0;
    struct Case {
        const char* name;
        HWND window;
        std::size_t size;
        RecordCheck registration;
        RecordCheck unregistration;
    } const cases[] = {
        {"own live window", own.Handle(), 12, RecordCheck::Accepted, RecordCheck::Accepted},
        {"window that is gone", gone, 12, RecordCheck::NotAWindow, RecordCheck::Accepted},
        {"another process's window", foreign, 12, RecordCheck::ForeignWindow, RecordCheck::ForeignWindow},
        {"null handle", nullptr, 12, RecordCheck::NotAWindow, RecordCheck::Accepted},
        {"16 bytes", own.Handle(), 16, RecordCheck::WrongSize, RecordCheck::WrongSize},
        {"8 bytes", own.Handle(), 8, RecordCheck::WrongSize, RecordCheck::WrongSize},
    };
    for (const Case& c : cases) {
        const HostWindowEntry entry = MakeHostWindowEntry(c.window, &object, HostKind::kFolderWindow);
        Payload payload = Payload::Of(COPYDATA_REGISTER_WINDOW, entry, c.size);
        HostWindowEntry out{};
        EXPECT_EQ(CheckRegistration(payload.Get(), out), c.registration) << c.name;
        if (c.registration == RecordCheck::Accepted) {
            EXPECT_EQ(WindowOf(out), c.window);
            EXPECT_EQ(out.flags, HostKind::kFolderWindow);
        }
        EXPECT_EQ(CheckUnregistration(payload.Get(), out), c.unregistration) << c.name;
    }
}

// Records, for each WM_NS_GET_FOLDER_WINDOWS it receives, whether its pointer could be trusted.
class TrustProbe final : public MappedWindow<TrustProbe> {
public:
    TrustProbe()
    {
        EXPECT_TRUE(Create(WindowClass{L"VeyraTrustProbe"}, L"trust", PopupPlacement()));
    }
    static std::span<const Entry> Messages()
    {
        static const Entry entries[] = {{WM_NS_GET_FOLDER_WINDOWS, &TrustProbe::OnGet}};
        return entries;
    }
    std::vector<bool> trusted;

private:
    LRESULT OnGet(WPARAM, LPARAM)
    {
        trusted.push_back(IsSentByThisThread());
        return 1;
    }
};

DWORD WINAPI SendFromAnotherThread(void* window)
{
    SendMessageW(static_cast<HWND>(window), WM_NS_GET_FOLDER_WINDOWS, 0, 0);
    return 0;
}

TEST(WindowProtocol, OnlySendsOfTheReceivingThreadCarryTrustedPointers)
{
    TrustProbe probe;
    SendMessageW(probe.Handle(), WM_NS_GET_FOLDER_WINDOWS, 0, 0);
    HANDLE thread = CreateThread(nullptr, 0, &SendFromAnotherThread, probe.Handle(), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    MSG message;
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    CloseHandle(thread);
    EXPECT_EQ(probe.trusted, (std::vector<bool>{true, false}));
}

// A window that records what the walks of the registered windows deliver to it, and may register a
// further window while it handles one (as a box on a worker thread may).
class WalkProbe final : public MappedWindow<WalkProbe> {
public:
    explicit WalkProbe(RegisteredWindows* registry = nullptr) : m_registry(registry)
    {
        EXPECT_TRUE(Create(WindowClass{L"VeyraWalkProbe"}, L"probe", PopupPlacement()));
    }
    static std::span<const Entry> Messages()
    {
        static const Entry entries[] = {
            {WM_COPYDATA, &WalkProbe::OnCopyData},
            {WM_NS_HOST_MOVED, &WalkProbe::OnHostMoved},
        };
        return entries;
    }
    int notices = 0;
    POINT moved{-1, -1};
    RegisteredWindows* m_registry;

private:
    LRESULT OnCopyData(WPARAM, LPARAM)
    {
        ++notices;
        if (m_registry) {
            // Registrations arriving during the walk change the map, never the walk.
            for (int index = 0; index < 50; ++index) {
                m_registry->Add(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7FFF0000 + index * 4)), HostWindowEntry{});
            }
        }
        return 1;
    }
    LRESULT OnHostMoved(WPARAM wParam, LPARAM lParam)
    {
        moved = POINT{static_cast<LONG>(wParam), static_cast<LONG>(lParam)};
        return 0;
    }
};

TEST(RegisteredWindowsTest, WalksSendToACopyAndDropWindowsThatAreGone)
{
    RegisteredWindows registry;
    WalkProbe host;
    WalkProbe folder(&registry);
    WalkProbe box;
    WalkProbe closed;
    const HWND gone = closed.Handle();
    registry.Add(host.Handle(), MakeHostWindowEntry(host.Handle(), nullptr, 0));
    registry.Add(folder.Handle(), MakeHostWindowEntry(folder.Handle(), nullptr, HostKind::kFolderWindow));
    registry.Add(box.Handle(), MakeHostWindowEntry(box.Handle(), nullptr, HostKind::kModelessBox));
    registry.Add(gone, MakeHostWindowEntry(gone, nullptr, HostKind::kModalBox));
    DestroyWindow(gone);

    ChangeNoticeRecord record{};
    COPYDATASTRUCT data{COPYDATA_CHANGE_NOTICE, sizeof(record), &record};
    registry.ForwardChangeNotice(data, host.Handle());
    EXPECT_EQ(host.notices, 0) << "never to the desktop itself";
    EXPECT_EQ(folder.notices, 1);
    EXPECT_EQ(box.notices, 1) << "every kind hears the notice";
    EXPECT_EQ(registry.Count(), 54u) << "the registrations made during the walk are kept";

    for (int index = 0; index < 50; ++index) {
        registry.Remove(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7FFF0000 + index * 4)));
    }
    registry.NotifyHostMoved(120, 45);
    EXPECT_EQ(folder.moved.x, 120);
    EXPECT_EQ(box.moved.y, 45);
    EXPECT_EQ(registry.Count(), 3u) << "the window that is gone is dropped";
    const HostWindowMap copy = registry.Snapshot();
    EXPECT_EQ(copy.count(gone), 0u);
    EXPECT_EQ(copy.at(folder.Handle()).flags, HostKind::kFolderWindow);
}

}  // namespace
