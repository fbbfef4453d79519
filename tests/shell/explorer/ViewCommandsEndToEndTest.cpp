// The view's commands, notices and Refresh end to end in the icon host's folder window, in its own process:
// a posted new-folder command makes the folder in the sandbox copy and opens the rename box on it, a
// worker's notice (WM_COPYDATA) adds or removes one item, and Refresh puts back what the disk holds. Read
// back through the skin library's tree dump. With VEYRA_SHOT_DIR set, the screen is saved there at each
// step for a look.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "core/fileops/ChangeNotice.h"
#include "tests/core/sandboxview/SandBoxViewFixture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TrayFixture.h"
#include "tests/support/WaitFor.h"
#include "tests/support/XdoTool.h"

using namespace veyra;
using namespace veyra::test;

namespace {

using namespace std::chrono_literals;

std::string Utf8(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(length > 0 ? length : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

class ViewCommandsEndToEndTest : public SandBoxViewFixture {
protected:
    void SetUp() override
    {
        SandBoxViewFixture::SetUp();
        m_folder = m_root + L"\\browse";
        MakeReal(m_folder + L"\\a.txt", "a");
        m_dump = m_root + L"\\dump";
        CreateDirectoryW(m_dump.c_str(), nullptr);
    }
    [[nodiscard]] std::string Tree() const { return ReadFileBytes(m_dump + L"\\NsExplorer.xml.tree"); }
    // Whether an item's drawn caption is `name`.
    [[nodiscard]] bool Shows(const std::wstring& name) const
    {
        return Tree().find("drawn=" + Utf8(name) + "\t") != std::string::npos;
    }
    [[nodiscard]] int OuterItems() const
    {
        const std::string tree = Tree();
        int count = 0;
        for (size_t at = tree.find("kind=outer"); at != std::string::npos; at = tree.find("kind=outer", at + 1)) {
            ++count;
        }
        return count;
    }
    static LRESULT SendNotice(HWND window, int kind, const std::wstring& path)
    {
        ChangeNoticeRecord record{};
        record.kind = kind;
        path.copy(record.path1, path.size());
        COPYDATASTRUCT data{COPYDATA_CHANGE_NOTICE, sizeof(record), &record};
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &answer);
        return static_cast<LRESULT>(answer);
    }

    std::wstring m_folder;
    std::wstring m_dump;
};

TEST_F(ViewCommandsEndToEndTest, NewFolderRenameBoxNoticesAndRefresh)
{
    TrayFixture tray;
    ScopedEnvironmentVariable browse(L"VEYRA_ICON_HOST_BROWSE", m_folder);
    ScopedEnvironmentVariable sandbox(L"VEYRA_ICON_HOST_SANDBOX", std::to_wstring(kSandbox));
    ScopedEnvironmentVariable dump(L"VORREL_DUMP_FOLDER", m_dump);
    ChildProcess host(BinFile(L"veyra_icon_host.exe"));
    ASSERT_TRUE(host.Started());
    const HWND window = host.WaitForShownWindow(L"VeyraIconHostFolder", 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Shows(L"a.txt"); })) << Tree();

    // New folder: made in the sandbox copy only, selected, and the rename box opens on its name.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(0x8013, 0), 0);
    const std::wstring made = m_folder + L"\\新建文件夹";
    HWND box = nullptr;
    wchar_t text[64] = {};
    EXPECT_TRUE(WaitFor([&] {
        // The rename box is the centred edit child (the address box is another).
        for (box = FindWindowExW(window, nullptr, L"Edit", nullptr); box;
             box = FindWindowExW(window, box, L"Edit", nullptr)) {
            if (GetWindowLongW(box, GWL_STYLE) & ES_CENTER) {
                // Another process's edit control answers its text only to WM_GETTEXT.
                return SendMessageW(box, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text)) > 0;
            }
        }
        return false;
    }));
    EXPECT_STREQ(text, L"新建文件夹");
    EXPECT_NE(GetFileAttributesW(Shadow(made).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(made.c_str()), INVALID_FILE_ATTRIBUTES);  // the real tree untouched
    EXPECT_TRUE(WaitFor([&] { return Tree().find("cover=IDI_IMAGE_COVER_CLICK") != std::string::npos; })) << Tree();
    SaveScreenshot(L"view-new-folder-rename");

    // A worker's notices: one item each, without a listing.
    MakeReal(m_folder + L"\\b.txt", "b");
    EXPECT_EQ(SendNotice(window, NoticeKind::kFileAppeared, m_folder + L"\\b.txt"), 1);
    EXPECT_TRUE(WaitFor([&] { return Shows(L"b.txt"); })) << Tree();
    EXPECT_EQ(SendNotice(window, NoticeKind::kFileGone, m_folder + L"\\a.txt"), 1);
    EXPECT_TRUE(WaitFor([&] { return !Shows(L"a.txt"); })) << Tree();
    // The new folder closed up into the first cell (left 155), and its rename box went along.
    RECT boxRect{}, frame{};
    GetWindowRect(box, &boxRect);
    GetWindowRect(window, &frame);
    EXPECT_GE(boxRect.left - frame.left, 153);
    EXPECT_LE(boxRect.right - frame.left, 231);
    EXPECT_EQ(SendNotice(window, NoticeKind::kFileAppeared, m_root + L"\\elsewhere.txt"), 0);

    // Refresh: a.txt is still on disk, so the resync puts it back, and the rest stays (the new folder's
    // caption is the rename box's while it is open).
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(0x800E, 0), 0);
    EXPECT_TRUE(WaitFor([&] { return Shows(L"a.txt") && Shows(L"b.txt") && OuterItems() == 3; })) << Tree();
    EXPECT_TRUE(IsWindow(box));
    SaveScreenshot(L"view-after-refresh");
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(host.WaitForExit(20000).has_value());
}

}  // namespace
