// Folder windows in this process over a stand-in desktop window: the stand-in suite's skin, a real
// folder of a test sandbox, input posted as the system would deliver it, and the window read back
// through the skin library's control-tree dump.

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/UniqueResource.h"
#include "core/GlobalInfo.h"
#include "core/fileops/ChangeNotice.h"
#include "shell/directory/FolderCommands.h"
#include "shell/directory/FolderInput.h"
#include "shell/directory/NsDirectoryDlg.h"
#include "shell/skin/SkinBinding.h"
#include "shell/skin/SkinStartup.h"
#include "shell/dragdrop/FileDrag.h"
#include "shell/protocol/WindowProtocol.h"
#include "tests/core/sandboxview/SandBoxViewFixture.h"
#include "tests/shell/dragdrop/DragTestSupport.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/RectAssertions.h"
#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TrayFixture.h"
#include "tests/support/WaitFor.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr DWORD kWaitMs = 15000;

std::string Narrow(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? length - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

// A listing that waits until its folder is released, and counts the listings it made.
class HeldLister {
public:
    HeldLister() : m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    FolderLister Lister()
    {
        return [this](const std::wstring& folder, std::vector<FileItemRecord>& records, int sandboxId) {
            ++m_started;
            WaitForSingleObject(m_release.get(), kWaitMs);
            return ListSandboxFolder(folder, records, sandboxId);
        };
    }
    void Release() { SetEvent(m_release.get()); }
    [[nodiscard]] int Started() const { return m_started.load(); }

private:
    UniqueHandle m_release;
    std::atomic<int> m_started{0};
};

// What a context menu offered: each item's id (0 for a separator, -1 for a pop-up) and whether grey.
struct MenuItemSeen {
    int id;
    bool grey;
    bool operator==(const MenuItemSeen&) const = default;
    friend void PrintTo(const MenuItemSeen& item, std::ostream* out) { *out << std::hex << item.id << (item.grey ? " grey" : ""); }
};

// Right-clicks `point` of the window, reads the menu the window opens and closes it with Escape (from a
// second thread: the menu's loop runs in this one).
std::vector<MenuItemSeen> ContextMenuAt(HWND window, POINT point)
{
    std::vector<MenuItemSeen> seen;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        HWND menuWindow = nullptr;
        HMENU menu = nullptr;
        const bool shown = WaitFor([&] {
            menuWindow = FindWindowW(L"#32768", nullptr);
            menu = menuWindow && IsWindowVisible(menuWindow)
                       ? reinterpret_cast<HMENU>(SendMessageW(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0))
                       : nullptr;
            return menu != nullptr;
        });
        for (int index = 0; shown && index < GetMenuItemCount(menu); ++index) {
            const UINT state = GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION);
            const int id = GetSubMenu(menu, index) ? -1 : static_cast<int>(GetMenuItemID(menu, index));
            // Wine reports separators grey: only the commands' state counts.
            const bool separator = (state & MF_SEPARATOR) != 0;
            seen.push_back(MenuItemSeen{separator ? 0 : id, !separator && (state & MF_GRAYED) != 0});
        }
        if (shown) {
            PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        done = true;
    });
    SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
    PumpUntil([&] { return done.load(); }, kWaitMs);
    reader.join();
    return seen;
}

class FolderWindowTest : public SandBoxViewFixture {
protected:
    void SetUp() override
    {
        SandBoxViewFixture::SetUp();
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        g_globalInfo.Init();
        m_suite = std::make_unique<FakeSuite>(SuitePart::SkinLibrary | SuitePart::SkinProxy | SuitePart::ThemeFiles |
                                              SuitePart::Tray);
        ASSERT_NE(LoadLibraryW((*m_suite / L"vorrel.dll").c_str()), nullptr);
        const skin::SkinStartReport report = skin::StartSkin(m_suite->Root().c_str());
        ASSERT_TRUE(report.Succeeded()) << skin::SkinStartStepName(report.failedStep);
        // The desktop stand-in records what reaches it (the operations a drop starts).
        m_desktop = std::make_unique<RecordingWindow>(40, 30, 830, 625);
        ASSERT_TRUE(m_desktop->Handle());
        RegisterHostWindow(kSandbox, m_desktop->Handle());
        CreateDirectoryW((m_root + L"\\sub").c_str(), nullptr);
        MakeReal(m_root + L"\\a.txt", "a");
        MakeReal(m_root + L"\\b.txt", "bb");
    }
    void TearDown() override
    {
        for (HWND window : OwnedWindows()) {
            SendMessageW(window, WM_CLOSE, 0, 0);
        }
        EXPECT_TRUE(PumpUntil([] { return LiveFolderListings() == 0; }, kWaitMs)) << "listings left behind";
        RegisterHostWindow(kSandbox, nullptr);
        m_desktop.reset();
        skin::ImagePack.reset();
        skin::MessageBoxPack.reset();
        skin::ThemeLoaderPtr.reset();
        skin::ResRegistryPtr.reset();
        skin::EnginePtr.reset();
        skin::ResetProxyForTest();
        OleUninitialize();
        SandBoxViewFixture::TearDown();
    }

    NsDirectoryDlg* Open(const std::wstring& folder, const std::wstring& select = L"",
                         FolderLister lister = ListSandboxFolder)
    {
        NsDirectoryDlg* window = OpenFolderWindowWith(m_desktop->Handle(), kSandbox, folder, select, std::move(lister));
        EXPECT_NE(window, nullptr);
        return window;
    }

    // The folder windows over the stand-in desktop.
    std::vector<HWND> OwnedWindows() const
    {
        std::vector<HWND> found;
        for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window; window = GetWindow(window, GW_HWNDNEXT)) {
            if (GetWindow(window, GW_OWNER) == m_desktop->Handle() && IsWindow(window)) {
                found.push_back(window);
            }
        }
        return found;
    }

    // Waits until the view shows exactly `names` (file names), pumping messages.
    bool WaitForItems(NsDirectoryDlg* window, std::set<std::wstring> names)
    {
        return PumpUntil([&] { return ItemNames(window) == names; }, kWaitMs);
    }
    static std::set<std::wstring> ItemNames(NsDirectoryDlg* window)
    {
        std::set<std::wstring> names;
        NsDirectory* view = window->View();
        for (int index = 0; view && index < view->ItemCount(); ++index) {
            const std::wstring& path = view->ItemAt(index)->Record().path;
            names.insert(path.substr(path.find_last_of(L'\\') + 1));
        }
        return names;
    }

    // The skin's control tree of the window.
    std::string Dump(HWND window)
    {
        const std::wstring path = m_dumps / L"tree.txt";
        const ATOM atom = GlobalAddAtomW(path.c_str());
        const UINT message = RegisterWindowMessageW(vorrelUI::kDumpMessageName);
        const LRESULT written = SendMessageW(window, message, atom, 0);
        GlobalDeleteAtom(atom);
        UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        std::string text(file ? GetFileSize(file.get(), nullptr) : 0, '\0');
        DWORD read = 0;
        if (!written || !file || !ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) {
            return {};
        }
        text.resize(read);
        return text;
    }
    // A field of control `id`'s line in the dump ("" when either is missing).
    std::string Field(HWND window, USHORT id, const std::string& key)
    {
        std::istringstream lines(Dump(window));
        const std::string start = "id=" + std::to_string(id) + "\t";
        for (std::string line; std::getline(lines, line);) {
            if (line.find(start) != line.find_first_not_of(' ')) {
                continue;
            }
            const size_t at = line.find("\t" + key + "=");
            if (at == std::string::npos) {
                return {};
            }
            const size_t begin = at + key.size() + 2;
            return line.substr(begin, line.find('\t', begin) - begin);
        }
        return {};
    }
    // Texts of every control of the dump, in order.
    std::vector<std::string> Texts(HWND window)
    {
        std::vector<std::string> texts;
        std::istringstream lines(Dump(window));
        for (std::string line; std::getline(lines, line);) {
            const size_t at = line.find("\ttext=");
            const size_t end = line.find('\t', at + 6);
            if (at != std::string::npos && end > at + 6) {
                texts.push_back(line.substr(at + 6, end - at - 6));
            }
        }
        return texts;
    }

    // Enter in the address box with `text` typed into it.
    void TypeAddress(NsDirectoryDlg* window, const std::wstring& text)
    {
        HWND edit = GetDlgItem(window->Handle(), FolderControl::kAddress);
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, text.c_str());
        SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    }
    // A click of the skin control at a window point (the skin library takes posted mouse messages).
    void Click(HWND window, POINT point)
    {
        const LPARAM at = MAKELPARAM(point.x, point.y);
        SendMessageW(window, WM_MOUSEMOVE, 0, at);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(window, WM_LBUTTONUP, 0, at);
    }

    std::unique_ptr<FakeSuite> m_suite;
    std::unique_ptr<RecordingWindow> m_desktop;
    TempFolder m_dumps{L"dumps"};
};

TEST_F(FolderWindowTest, OpensCentredOverTheDesktopWithTheFileSelected)
{
    NsDirectoryDlg* window = Open(m_root, m_root + L"\\b.txt");
    ASSERT_NE(window, nullptr);
    const HWND hwnd = window->Handle();
    ASSERT_TRUE(WaitForItems(window, {L"sub", L"a.txt", L"b.txt"}));
    ASSERT_TRUE(PumpUntil([&] { return window->View()->SelectedItems().size() == 1; }, kWaitMs));
    EXPECT_EQ(window->View()->SelectedItems().front()->Record().path, m_root + L"\\b.txt");
    EXPECT_EQ(GetParent(hwnd), m_desktop->Handle());
    RECT own{};
    RECT desktop{};
    GetWindowRect(hwnd, &own);
    GetWindowRect(m_desktop->Handle(), &desktop);
    EXPECT_EQ(own.right - own.left, 740);
    EXPECT_EQ(own.bottom - own.top, 480);
    EXPECT_LE(std::abs((own.left + own.right) - (desktop.left + desktop.right)), 1);
    EXPECT_LE(std::abs((own.top + own.bottom) - (desktop.top + desktop.bottom)), 1);
    EXPECT_EQ(Field(hwnd, FolderControl::kAddress, "text"), Narrow(m_root));
    EXPECT_EQ(Field(hwnd, FolderControl::kBack, "disabled"), "1");
    EXPECT_EQ(Field(hwnd, FolderControl::kForward, "disabled"), "1");
    // The selected file's line in the status bar, then the pane: libraries, the computer and drive C:.
    const std::vector<std::string> texts = Texts(hwnd);
    auto has = [&](const std::string& text) { return std::find(texts.begin(), texts.end(), text) != texts.end(); };
    EXPECT_TRUE(has("b.txt"));
    for (const char* row : {"库", "视频", "图片", "文档", "音乐", "计算机", "本地磁盘(C:)"}) {
        EXPECT_TRUE(has(row)) << row;
    }
}

TEST_F(FolderWindowTest, RegistersWithTheDesktopAndCloseUnregistersIt)
{
    NsDirectoryDlg* window = Open(m_root);
    ASSERT_NE(window, nullptr);
    const HWND hwnd = window->Handle();
    const auto named = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(hwnd));
    using Registration = std::pair<ULONG_PTR, std::uint32_t>;
    EXPECT_EQ(m_desktop->registrations, (std::vector<Registration>{{COPYDATA_REGISTER_WINDOW, named}}));
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }, kWaitMs));
    EXPECT_EQ(m_desktop->registrations,
              (std::vector<Registration>{{COPYDATA_REGISTER_WINDOW, named}, {COPYDATA_UNREGISTER_WINDOW, named}}));
}

// The desktop forwards the change notices of other windows' operations: the folder shows them at once.
TEST_F(FolderWindowTest, ForwardedChangeNoticesShowWithoutAReload)
{
    NsDirectoryDlg* window = Open(m_root);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForItems(window, {L"sub", L"a.txt", L"b.txt"}));
    auto send = [&](ULONG_PTR code, int kind, const std::wstring& path) {
        ChangeNoticeRecord record{};
        record.kind = kind;
        path.copy(record.path1, path.size());
        COPYDATASTRUCT data{code, sizeof(record), &record};
        return SendMessageW(window->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    };
    MakeShadow(m_root + L"\\pasted.txt", "p");
    MakeShadow(m_root + L"\\foreign.txt", "f");
    const struct {
        ULONG_PTR code;
        int kind;
        const wchar_t* name;
        std::set<std::wstring> shown;
    } steps[] = {
        {COPYDATA_CHANGE_NOTICE, NoticeKind::kFileAppeared, L"pasted.txt", {L"sub", L"a.txt", L"b.txt", L"pasted.txt"}},
        {COPYDATA_OPEN_FOLDER, NoticeKind::kFileAppeared, L"foreign.txt", {L"sub", L"a.txt", L"b.txt", L"pasted.txt"}},
        {COPYDATA_CHANGE_NOTICE, NoticeKind::kFileGone, L"a.txt", {L"sub", L"b.txt", L"pasted.txt"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(Narrow(step.name));
        EXPECT_EQ(send(step.code, step.kind, m_root + L"\\" + step.name), 1);
        EXPECT_EQ(ItemNames(window), step.shown);  // applied while the record was handled
    }
}

TEST_F(FolderWindowTest, NavigatesByDoubleClickBackForwardAndTheAddressBox)
{
    CreateDirectoryW((m_root + L"\\sub\\inner").c_str(), nullptr);
    NsDirectoryDlg* window = Open(m_root);
    ASSERT_NE(window, nullptr);
    const HWND hwnd = window->Handle();
    ASSERT_TRUE(WaitForItems(window, {L"sub", L"a.txt", L"b.txt"}));
    const RECT cell = window->View()->FindItemByPath(m_root + L"\\sub")->Record().cellRect;
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
    SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ASSERT_TRUE(WaitForItems(window, {L"inner"}));
    EXPECT_EQ(Field(hwnd, FolderControl::kAddress, "text"), Narrow(m_root + L"\\sub"));
    EXPECT_EQ(Field(hwnd, FolderControl::kBack, "disabled"), "0");
    EXPECT_EQ(Field(hwnd, FolderControl::kForward, "disabled"), "1");

    SendMessageW(hwnd, WM_KEYDOWN, VK_BACK, 0);  // posts the way back
    ASSERT_TRUE(WaitForItems(window, {L"sub", L"a.txt", L"b.txt"}));
    EXPECT_EQ(Field(hwnd, FolderControl::kBack, "disabled"), "1");
    EXPECT_EQ(Field(hwnd, FolderControl::kForward, "disabled"), "0");

    RECT toolbar{};
    toolbar = RECT{10, 32, 80, 60};  // panel 1001 of the layout: forward at 30,2-55,27 inside it
    Click(hwnd, POINT{toolbar.left + 42, toolbar.top + 14});
    ASSERT_TRUE(WaitForItems(window, {L"inner"}));
    EXPECT_EQ(Field(hwnd, FolderControl::kForward, "disabled"), "1");

    TypeAddress(window, m_root + L"\\");  // the backslash is dropped and written back
    ASSERT_TRUE(WaitForItems(window, {L"sub", L"a.txt", L"b.txt"}));
    EXPECT_EQ(Field(hwnd, FolderControl::kAddress, "text"), Narrow(m_root));
    const std::vector<std::wstring> expected = {m_root, m_root + L"\\sub", m_root};
    EXPECT_EQ(window->History().Entries(), expected);

    TypeAddress(window, L"我的电脑");
    ASSERT_TRUE(PumpUntil([&] { return window->View()->FindItemByPath(L"C:") != nullptr; }, kWaitMs));
    EXPECT_EQ(Field(hwnd, FolderControl::kAddress, "text"), "我的电脑");
    EXPECT_EQ(window->View()->ViewMode(), VIEW_MODE_COMPUTER);
}

TEST_F(FolderWindowTest, RefusedAddressesLeaveNoHistoryAndShowTheFolderAgain)
{
    NsDirectoryDlg* window = Open(m_root);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForItems(window, {L"sub", L"a.txt", L"b.txt"}));
    const std::wstring refused[] = {m_root + L"\\a.txt", m_root + L"\\missing", L"C:x", L"\\\\server\\share",
                                    L"C:\\" + std::wstring(300, L'x'), L"C:\\KavoSANDBOX"};
    for (const std::wstring& text : refused) {
        TypeAddress(window, text);
        EXPECT_EQ(window->History().Entries().size(), 1u) << Narrow(text);
        EXPECT_EQ(Field(window->Handle(), FolderControl::kAddress, "text"), Narrow(m_root)) << Narrow(text);
    }
    // The same inputs as a start path open no window.
    for (const std::wstring& text : refused) {
        EXPECT_EQ(OpenFolderWindow(m_desktop->Handle(), kSandbox, text, L""), 0) << Narrow(text);
    }
    EXPECT_EQ(OwnedWindows().size(), 1u);
}

TEST_F(FolderWindowTest, OnlyTheLatestOfQuickNavigationsFills)
{
    for (const wchar_t* name : {L"A", L"B", L"C"}) {
        CreateDirectoryW((m_root + L"\\" + name).c_str(), nullptr);
        MakeReal(m_root + L"\\" + name + L"\\in" + name + L".txt", "x");
    }
    HeldLister held;
    NsDirectoryDlg* window = Open(m_root + L"\\A", L"", held.Lister());
    ASSERT_NE(window, nullptr);
    TypeAddress(window, m_root + L"\\B");
    TypeAddress(window, m_root + L"\\C");
    SendMessageW(window->Handle(), WM_KEYDOWN, VK_F5, 0);  // and F5 twice: two more loads of C
    SendMessageW(window->Handle(), WM_KEYDOWN, VK_F5, 0);
    ASSERT_TRUE(PumpUntil([&] { return held.Started() == 5; }, kWaitMs));
    EXPECT_EQ(LiveFolderListings(), 5);
    held.Release();
    ASSERT_TRUE(PumpUntil([] { return LiveFolderListings() == 0; }, kWaitMs)) << "a listing was never freed";
    EXPECT_EQ(ItemNames(window), std::set<std::wstring>{L"inC.txt"});
    EXPECT_EQ(window->View()->ItemCount(), 1) << "filled once";
    EXPECT_EQ(window->View()->StatusLine(0), L"1个对象");
}

TEST_F(FolderWindowTest, AWindowClosedWhileItListsFreesTheListing)
{
    HeldLister held;
    NsDirectoryDlg* window = Open(m_root, L"", held.Lister());
    ASSERT_NE(window, nullptr);
    const HWND hwnd = window->Handle();
    ASSERT_TRUE(PumpUntil([&] { return held.Started() == 1; }, kWaitMs));
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    held.Release();
    EXPECT_TRUE(PumpUntil([] { return LiveFolderListings() == 0; }, kWaitMs));
}

TEST_F(FolderWindowTest, OpeningTheSelectionOpensDocumentsUpToTheFirstFolder)
{
    TrayFixture tray;
    ASSERT_TRUE(tray.Start(*m_suite / L"ostrel\\KavoTray.exe"));
    MakeReal(m_root + L"\\first.txt", "1");
    MakeReal(m_root + L"\\second.txt", "2");
    MakeReal(m_root + L"\\later.txt", "3");
    MakeReal(m_root + L"\\sub\\inside.txt", "4");
    NsDirectoryDlg* window = Open(m_root);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForItems(window, {L"sub", L"a.txt", L"b.txt", L"first.txt", L"second.txt", L"later.txt"}));
    NsDirectory* view = window->View();
    for (const wchar_t* name : {L"first.txt", L"second.txt", L"sub", L"later.txt"}) {
        ASSERT_EQ(view->Select(view->FindItemByPath(m_root + L"\\" + name), 1, kCoverClick), 1) << Narrow(name);
    }
    SendMessageW(window->Handle(), WM_COMMAND, MAKEWPARAM(FolderCommand::kOpen, 0), 0);
    ASSERT_TRUE(WaitForItems(window, {L"inside.txt"}));
    for (const wchar_t* name : {L"first.txt", L"second.txt"}) {
        EXPECT_TRUE(tray.WaitForLine([&](const std::wstring& line) { return line.find(name) != std::wstring::npos; }))
            << "never opened: " << Narrow(name);
    }
    EXPECT_EQ(window->History().Current(), m_root + L"\\sub");
    for (const std::wstring& line : tray.Lines()) {
        EXPECT_EQ(line.find(L"later.txt"), std::wstring::npos) << Narrow(line);
    }
    tray.StopAll();
}

TEST_F(FolderWindowTest, MaximisesInsideTheDesktopAndIgnoresMinimise)
{
    NsDirectoryDlg* window = Open(m_root);
    ASSERT_NE(window, nullptr);
    const HWND hwnd = window->Handle();
    RECT before{};
    RECT desktop{};
    GetWindowRect(hwnd, &before);
    GetWindowRect(m_desktop->Handle(), &desktop);
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    RECT now{};
    GetWindowRect(hwnd, &now);
    EXPECT_TRUE(SameRect(now, MaximisedFolderRect(desktop)));
    EXPECT_TRUE(window->Maximised());
    // The layout's anchors carry the strips: the status bar to the new bottom, the address box wider.
    const LONG width = now.right - now.left, height = now.bottom - now.top;
    EXPECT_TRUE(PumpUntil([&] {
        return Field(hwnd, FolderControl::kStatusPanel, "rect") == "0," + std::to_string(height - 60) + "," +
                                                                       std::to_string(width) + "," + std::to_string(height);
    }, kWaitMs)) << Field(hwnd, FolderControl::kStatusPanel, "rect");
    EXPECT_EQ(Field(hwnd, FolderControl::kAddress, "rect"), "80,35," + std::to_string(width - 40) + ",58");
    SendMessageW(hwnd, WM_SYSCOMMAND, 0xF032, 0);
    GetWindowRect(hwnd, &now);
    EXPECT_TRUE(SameRect(now, before));
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsIconic(hwnd));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(window->Maximised());
}

TEST_F(FolderWindowTest, DropsStartAnOperationExceptOnItsOwnFolderOrMyComputer)
{
    TempFolder elsewhere{L"dragged"};
    const std::wstring dragged = elsewhere / L"moved.txt";
    MakeReal(dragged, "m");
    NsDirectoryDlg* window = Open(m_root);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForItems(window, {L"sub", L"a.txt", L"b.txt"}));
    RECT frame{};
    GetWindowRect(window->Handle(), &frame);
    const POINT emptySpace{frame.left + 600, frame.top + 350};  // inside the view panel, below the items
    auto operations = [this] {
        return std::count(m_desktop->received.begin(), m_desktop->received.end(), WM_NS_START_OPERATION);
    };
    struct Case {
        const char* name;
        HWND source;
        std::vector<std::wstring> paths;
        int dropped;
    };
    const Case before[] = {
        {"from the desktop onto the folder", m_desktop->Handle(), {dragged}, 1},
        // (a file from elsewhere, which the starters would take: only the window's refusal keeps it out)
        {"from the window onto its own folder", window->Handle(), {dragged}, 0},
    };
    for (const Case& test : before) {
        const auto started = operations();
        ASSERT_TRUE(SetCursorPos(emptySpace.x, emptySpace.y));
        // Wine: with the buttons up OLE drops even where the target answered no effect, so the drag's own
        // result tells nothing; what the target started does.
        static_cast<void>(RunFileDrag(test.source, test.paths, FileDragImage{}));
        EXPECT_EQ(operations() - started, test.dropped) << test.name;
    }
    TypeAddress(window, L"我的电脑");
    ASSERT_TRUE(PumpUntil([&] { return window->View()->FindItemByPath(L"C:") != nullptr; }, kWaitMs));
    const auto started = operations();
    ASSERT_TRUE(SetCursorPos(emptySpace.x, emptySpace.y));
    static_cast<void>(RunFileDrag(m_desktop->Handle(), {dragged}, FileDragImage{}));
    EXPECT_EQ(operations(), started) << "My Computer takes no files";
}

// A drag step lights the subfolder under the pointer by a post. When the drag leaves or drops, the light
// goes, and what the last step posted (the drop's own step posts too) lights nothing afterwards.
TEST_F(FolderWindowTest, TheDropHighlightGoesWhenTheDragLeavesOrDrops)
{
    NsDirectoryDlg* window = Open(m_root);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForItems(window, {L"sub", L"a.txt", L"b.txt"}));
    const std::wstring dragged = m_root + L"\\a.txt";  // as another program would drag it
    NsDirectory* view = window->View();
    NsIcon* sub = view->FindItemByPath(m_root + L"\\sub");
    ASSERT_NE(sub, nullptr);
    const RECT cell = sub->Record().cellRect;
    POINT point{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ClientToScreen(window->Handle(), &point);
    const POINTL onSub{point.x, point.y};
    const ComPtr<CIDropTarget> target = ComPtr<CIDropTarget>::Adopt(new CIDropTarget(window->Handle()));
    target->AddAcceptedFormat(FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    target->SetDefaultTargetPath(m_root);
    target->SetCallbacks(window->DropHandler());
    auto queuedPost = [&] {
        MSG message{};
        return PeekMessageW(&message, window->Handle(), WM_NS_DRAG_HIGHLIGHT, WM_NS_DRAG_HIGHLIGHT, PM_NOREMOVE) != 0;
    };
    for (const bool drops : {false, true}) {
        SCOPED_TRACE(drops ? "dropped" : "left");
        const ComPtr<CIDataObject> data = MakeFileDataObject({dragged});
        DWORD effect = DROPEFFECT_COPY;
        ASSERT_EQ(target->DragEnter(data.get(), MK_LBUTTON, onSub, &effect), S_OK);
        ASSERT_TRUE(PumpUntil([&] { return view->DropHighlightItem() == sub; }, kWaitMs)) << "the step lit sub";
        EXPECT_EQ(sub->CoverName(), kCoverClick);
        effect = DROPEFFECT_COPY;
        ASSERT_EQ(target->DragOver(MK_LBUTTON, onSub, &effect), S_OK);
        if (drops) {
            ASSERT_EQ(target->Drop(data.get(), 0, onSub, &effect), S_OK);
            EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
        } else {
            ASSERT_EQ(target->DragLeave(), S_OK);
        }
        EXPECT_EQ(view->DropHighlightItem(), nullptr);
        ASSERT_TRUE(queuedPost()) << "the last step's post is still on its way";
        ASSERT_TRUE(PumpUntil([&] { return !queuedPost(); }, kWaitMs));
        EXPECT_EQ(view->DropHighlightItem(), nullptr) << "a late post lit it again";
        EXPECT_EQ(sub->CoverName(), kCoverNormal);
    }
    target->SetCallbacks(nullptr);
}

TEST(ComputerRowIcon, ReadsMyComputersDefaultIconWithinItsBounds)
{
    ScopedRegistryValue icon(HKEY_CLASSES_ROOT, L"CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon", L"");
    wchar_t windows[MAX_PATH] = {};
    ASSERT_NE(GetEnvironmentVariableW(L"SystemRoot", windows, MAX_PATH), 0u);
    const std::wstring unterminated(100, L'a');  // stored without its NUL
    const DWORD number = 7;
    const struct {
        const char* name;
        DWORD type;
        std::wstring text;
        std::wstring expected;
    } cases[] = {
        {"plain text", REG_SZ, L"C:\\icons\\computer.ico,0", L"C:\\icons\\computer.ico,0"},
        {"expandable", REG_EXPAND_SZ, L"%SystemRoot%\\explorer.exe,0", std::wstring(windows) + L"\\explorer.exe,0"},
        {"no terminating NUL", REG_SZ, unterminated, unterminated},
        {"longer than 520 bytes", REG_SZ, std::wstring(300, L'b'), L""},
    };
    for (const auto& test : cases) {
        const DWORD bytes = static_cast<DWORD>(test.text.size() * sizeof(wchar_t)) +
                            (test.text == unterminated ? 0 : static_cast<DWORD>(sizeof(wchar_t)));
        ASSERT_TRUE(icon.SetRaw(test.type, test.text.c_str(), bytes)) << test.name;
        EXPECT_EQ(ComputerIconSource(), test.expected) << test.name;
    }
    const std::wstring filling(260, L'c');  // all 520 bytes and no room for a NUL: never read past them
    ASSERT_TRUE(icon.SetRaw(REG_SZ, filling.c_str(), static_cast<DWORD>(filling.size() * sizeof(wchar_t))));
    EXPECT_LE(ComputerIconSource().size(), filling.size());
    ASSERT_TRUE(icon.SetRaw(REG_DWORD, &number, sizeof(number)));
    EXPECT_EQ(ComputerIconSource(), L"") << "another type";
    ASSERT_TRUE(icon.Delete());
    EXPECT_EQ(ComputerIconSource(), L"") << "missing";
}

TEST_F(FolderWindowTest, ContextMenusLeaveOutAndGreyByPlace)
{
    using namespace FolderCommand;
    NsDirectoryDlg* window = Open(m_root);
    ASSERT_NE(window, nullptr);
    const HWND hwnd = window->Handle();
    ASSERT_TRUE(WaitForItems(window, {L"sub", L"a.txt", L"b.txt"}));
    const RECT cell = window->View()->FindItemByPath(m_root + L"\\a.txt")->Record().cellRect;
    const POINT onFile{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    const POINT emptySpace{600, 350};
    const std::vector<MenuItemSeen> itemMenu = {{kOpen, false}, {0, false},      {kCopy, false},  {kCut, false},
                                                {0, false},     {kDelete, false}, {kRename, false}, {kCreateShortcut, false}};
    EXPECT_EQ(ContextMenuAt(hwnd, onFile), itemMenu) << "a file: no file location";
    const std::vector<MenuItemSeen> folderMenu = {{kRefresh, false}, {0, false}, {kPaste, true}, {0, false}, {-1, false}};
    EXPECT_EQ(ContextMenuAt(hwnd, emptySpace), folderMenu) << "nothing to paste";

    TypeAddress(window, L"我的电脑");
    ASSERT_TRUE(PumpUntil([&] { return window->View()->FindItemByPath(L"C:") != nullptr; }, kWaitMs));
    const std::vector<MenuItemSeen> computerMenu = {{kRefresh, false}, {0, false}, {kPaste, true}, {0, false}, {-1, true}};
    EXPECT_EQ(ContextMenuAt(hwnd, emptySpace), computerMenu) << "My Computer: refresh only";
    const RECT drive = window->View()->FindItemByPath(L"C:")->Record().cellRect;
    const std::vector<MenuItemSeen> driveMenu = {{kOpen, false}, {0, false}, {kCopy, false}, {kCut, false}, {0, false},
                                                 {kRename, false}, {kCreateShortcut, false}};
    EXPECT_EQ(ContextMenuAt(hwnd, POINT{(drive.left + drive.right) / 2, (drive.top + drive.bottom) / 2}), driveMenu)
        << "a drive: no location, no delete";
}

TEST_F(FolderWindowTest, TheWheelReachesTheLastOfTwoHundredFiles)
{
    for (int index = 0; index < 200; ++index) {
        wchar_t name[16];
        swprintf(name, 16, L"f%03d.txt", index);
        MakeReal(m_root + L"\\" + name, "f");
    }
    NsDirectoryDlg* window = Open(m_root);
    ASSERT_NE(window, nullptr);
    const HWND hwnd = window->Handle();
    ASSERT_TRUE(PumpUntil([&] { return window->View()->ItemCount() == 203; }, kWaitMs));
    RECT frame{};
    GetWindowRect(hwnd, &frame);
    SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<SHORT>(-120 * 50))), MAKELPARAM(frame.left + 400, frame.top + 200));
    const int offset = 2 * window->View()->ScrollPosition();
    ASSERT_GT(offset, 0) << "the view panel scrolls";
    EXPECT_EQ(Field(hwnd, FolderControl::kViewPanel, "scroll"), std::to_string(offset / 2));
    const RECT cell = window->View()->FindItemByPath(m_root + L"\\f199.txt")->Record().cellRect;
    const POINT shown{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2 - offset};
    ASSERT_GT(shown.y, 65);
    ASSERT_LT(shown.y, 419) << "the last item is shown inside the view panel";
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(shown.x, shown.y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(shown.x, shown.y));
    const std::vector<NsIcon*> selected = window->View()->SelectedItems();
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected.front()->Record().path, m_root + L"\\f199.txt");
    EXPECT_EQ(window->View()->StatusLine(0), L"f199.txt");
}

}  // namespace

// A reload while a long folder is still filling step by step: the rest of the first listing is dropped,
// its queued step fills nothing, and the folder shows each file once.
TEST_F(FolderWindowTest, AReloadBetweenFillStepsShowsEachFileOnce)
{
    constexpr int kFiles = static_cast<int>(NsExplorer::kFillStepItems) * 3;
    for (int index = 0; index < kFiles; ++index) {
        MakeReal(m_root + L"\\g" + std::to_wstring(1000 + index) + L".txt", "g");
    }
    NsDirectoryDlg* window = Open(m_root);
    ASSERT_NE(window, nullptr);
    // One message at a time, so the view is caught between its steps.
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    MSG message{};
    while (!(window->View()->ItemCount() > 0 && window->View()->PendingFillRecords() > 0) && GetTickCount64() < deadline) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    ASSERT_GT(window->View()->PendingFillRecords(), 0u) << "the first listing was filled in one go";
    const int shownBefore = window->View()->ItemCount();
    SendMessageW(window->Handle(), WM_NS_RELOAD, 0, 0);  // what F5 posts
    EXPECT_EQ(window->View()->PendingFillRecords(), 0u) << "the reload drops what was still to come";
    EXPECT_LT(window->View()->ItemCount(), shownBefore);
    ASSERT_TRUE(PumpUntil([&] { return window->View()->ItemCount() >= kFiles && window->View()->PendingFillRecords() == 0 &&
                                       LiveFolderListings() == 0; }, kWaitMs));
    const int shown = window->View()->ItemCount();
    EXPECT_EQ(ItemNames(window).size(), static_cast<size_t>(shown)) << "no file shown twice";
    EXPECT_EQ(window->View()->ItemTotal(), shown);
}
