// The view engine end to end in the icon host's real skinned windows, driven by real X input (xdotool)
// where modifiers count: a folder of mixed items and 300 PNG files, and the computer view's drive tiles.
// The host's view dump shows cells, loaded icons, selection, focus, anchor and hover; the skin library's
// control-tree dump shows what the view put on screen: the items' covers and tooltips and the view
// panel's scroll position.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "shell/explorer/ItemOrder.h"
#include "tests/core/shellutil/ImageTestSupport.h"
#include "tests/core/sandboxview/SandBoxViewFixture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/RectAssertions.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WaitFor.h"
#include "tests/support/TrayFixture.h"
#include "tests/support/XdoTool.h"
#include "tests/support/iconhost/IconHostWindows.h"

using namespace veyra;
using namespace veyra::test;
using namespace std::chrono_literals;

namespace {

constexpr int kPictures = 300;

struct DumpedItem {
    RECT cell{};
    int selected = 0;
    int icon = 0;
    std::string name;
};

struct ViewDump {
    int count = -1;
    int focus = -1;
    int anchor = -1;
    int hover = -1;
    std::vector<DumpedItem> items;

    [[nodiscard]] std::vector<int> Selected() const
    {
        std::vector<int> indexes;
        for (size_t index = 0; index < items.size(); ++index) {
            if (items[index].selected) {
                indexes.push_back(static_cast<int>(index));
            }
        }
        return indexes;
    }
    [[nodiscard]] int IndexOf(const std::string& name) const
    {
        for (size_t index = 0; index < items.size(); ++index) {
            if (items[index].name == name) {
                return static_cast<int>(index);
            }
        }
        return -1;
    }
};

std::string Field(const std::string& line, const std::string& name)
{
    const size_t start = line.find(name + "=");
    if (start == std::string::npos) {
        return {};
    }
    const size_t from = start + name.size() + 1;
    return line.substr(from, line.find('\t', from) - from);
}

ViewDump ParseDump(const std::string& text)
{
    ViewDump dump;
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line)) {
        return dump;
    }
    dump.count = std::atoi(Field(line, "count").c_str());
    dump.focus = std::atoi(Field(line, "focus").c_str());
    dump.anchor = std::atoi(Field(line, "anchor").c_str());
    dump.hover = std::atoi(Field(line, "hover").c_str());
    while (std::getline(lines, line)) {
        DumpedItem item;
        std::sscanf(Field(line, "cell").c_str(), "%ld,%ld,%ld,%ld", &item.cell.left, &item.cell.top,
                    &item.cell.right, &item.cell.bottom);
        item.selected = Field(line, "selected") == "1";
        item.icon = Field(line, "icon") == "1";
        item.name = Field(line, "name");
        dump.items.push_back(std::move(item));
    }
    return dump;
}

// An item's outer panel in the library's dump (its line breaks shown as spaces).
struct ItemPanel {
    std::string cover;
    std::string tip;
};

// The view panel (1005) in the library's dump: its scroll position and its items' outer panels, which
// lie at their cells' top-left corners.
struct PanelDump {
    int scroll = -1;
    std::map<std::pair<LONG, LONG>, ItemPanel> items;

    [[nodiscard]] ItemPanel At(const RECT& cell) const
    {
        const auto found = items.find({cell.left, cell.top});
        return found == items.end() ? ItemPanel{} : found->second;
    }
};

constexpr char kViewPanelLine[] = "id=1005\t";

PanelDump ParseTree(const std::string& text)
{
    PanelDump dump;
    std::istringstream lines(text);
    size_t viewDepth = std::string::npos;
    for (std::string line; std::getline(lines, line);) {
        const size_t depth = line.find_first_not_of(' ');
        if (depth == std::string::npos) {
            continue;
        }
        if (viewDepth == std::string::npos) {
            if (line.compare(depth, sizeof(kViewPanelLine) - 1, kViewPanelLine) == 0) {
                viewDepth = depth;
                dump.scroll = std::atoi(Field(line, "scroll").c_str());
            }
            continue;
        }
        if (depth <= viewDepth) {
            break;  // past the view panel's subtree
        }
        RECT rect{};
        if (depth == viewDepth + 2 &&
            std::sscanf(Field(line, "rect").c_str(), "%ld,%ld,%ld,%ld", &rect.left, &rect.top, &rect.right, &rect.bottom) == 4) {
            dump.items[{rect.left, rect.top}] = ItemPanel{Field(line, "cover"), Field(line, "tip")};
        }
    }
    return dump;
}

POINT ScreenCentre(HWND window, const RECT& cell)
{
    RECT frame{};
    GetWindowRect(window, &frame);
    return POINT{frame.left + (cell.left + cell.right) / 2, frame.top + cell.top + 30};
}

class ViewHostEndToEndTest : public SandBoxViewFixture {
protected:
    // The host's view state, asked for through its registered message.
    ViewDump Dump(HWND window)
    {
        const std::wstring path = m_root + L"\\view.txt";
        DeleteFileW(path.c_str());
        const ATOM atom = GlobalAddAtomW(path.c_str());
        DWORD_PTR answered = 0;
        SendMessageTimeoutW(window, RegisterWindowMessageW(kDumpViewMessageName), atom, 0, SMTO_ABORTIFHUNG, 5000,
                            &answered);
        GlobalDeleteAtom(atom);
        return answered ? ParseDump(ReadFileBytes(path)) : ViewDump{};
    }
    // The skin library's control tree of the host, asked for through the library's registered message.
    PanelDump Tree(HWND window)
    {
        const std::wstring path = m_root + L"\\view.tree";
        DeleteFileW(path.c_str());
        const ATOM atom = GlobalAddAtomW(path.c_str());
        DWORD_PTR written = 0;
        SendMessageTimeoutW(window, RegisterWindowMessageW(vorrelUI::kDumpMessageName), atom, 0, SMTO_ABORTIFHUNG,
                            5000, &written);
        GlobalDeleteAtom(atom);
        return written == 1 ? ParseTree(ReadFileBytes(path)) : PanelDump{};
    }
    // The tooltip of the item at `cell` once the library holds one (it may follow the hover).
    std::string WaitForTip(HWND window, const RECT& cell)
    {
        std::string tip;
        EXPECT_TRUE(WaitFor([&] { return !(tip = Tree(window).At(cell).tip).empty(); }, 10s, 50ms));
        return tip;
    }
    ViewDump WaitForDump(HWND window, const std::function<bool(const ViewDump&)>& done)
    {
        ViewDump dump;
        EXPECT_TRUE(WaitFor([&] { return done(dump = Dump(window)); }, 30s, 50ms)) << "last count " << dump.count;
        return dump;
    }
    bool Answers(HWND window, UINT timeoutMs)
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
    }
    void MakeMixedFolder()
    {
        m_shown = m_root + L"\\mixed";
        CreateFolderTree(m_shown + L"\\sub");
        MakeReal(m_shown + L"\\readme.txt", std::string(3000, 'r'));
        MakeReal(m_shown + L"\\tool.exe", "MZ");
        MakeShadow(m_shown + L"\\sandbox-only.txt");
        MakeShortcut(m_shown + L"\\readme.lnk", m_shown + L"\\readme.txt");
        for (int index = 0; index < kPictures; ++index) {
            wchar_t name[32];
            swprintf(name, 32, L"\\img%03d.png", index);
            ASSERT_TRUE(WriteRedOverBluePng(m_shown + name, 64, 48));
        }
    }

    std::wstring m_shown;
};

RECT FolderCell(int index)
{
    const LONG left = 150 + (index % 7) * 81 + 5, top = 65 + (index / 7) * 89 + 5;
    return RECT{left, top, left + 74, top + 88};
}

TEST_F(ViewHostEndToEndTest, FolderOfPicturesClicksKeysTypeAheadAndReload)
{
    MakeMixedFolder();
    const int total = kPictures + 5;  // sub, readme.txt, tool.exe, sandbox-only.txt, readme.lnk
    ScopedEnvironmentVariable browse(L"VEYRA_ICON_HOST_BROWSE", m_shown);
    ScopedEnvironmentVariable sandbox(L"VEYRA_ICON_HOST_SANDBOX", std::to_wstring(kSandbox));
    ChildProcess host(BinFile(L"veyra_icon_host.exe"));
    ASSERT_TRUE(host.Started());
    const HWND folder = host.WaitForShownWindow(L"VeyraIconHostFolder", 20000);
    ASSERT_NE(folder, nullptr);

    // Every item at its cell in the folder order, and every picture's icon loaded and applied.
    ViewDump dump = WaitForDump(folder, [&](const ViewDump& d) {
        if (d.count != total || static_cast<int>(d.items.size()) != total) {
            return false;
        }
        for (const DumpedItem& item : d.items) {
            if (item.name.size() > 4 && item.name.compare(item.name.size() - 4, 4, ".png") == 0 && !item.icon) {
                return false;
            }
        }
        return true;
    });
    ASSERT_EQ(static_cast<int>(dump.items.size()), total);
    EXPECT_EQ(dump.items[0].name, "sub");  // folders first
    EXPECT_EQ(dump.items[1].name, "img000.png");
    EXPECT_EQ(dump.items[total - 1].name, "tool.exe");  // programs last
    for (int index = 0; index < total; ++index) {
        EXPECT_TRUE(SameRect(dump.items[static_cast<size_t>(index)].cell, FolderCell(index))) << index;
    }
    EXPECT_EQ(dump.items[0].icon, 0) << "Wine's shell has no folder thumbnail";

    // A click, a Ctrl-click and a Shift-click through the X server.
    ASSERT_TRUE(ClickAt(ScreenCentre(folder, FolderCell(1)))) << "xdotool did not run";
    dump = WaitForDump(folder, [](const ViewDump& d) { return d.Selected() == std::vector<int>{1}; });
    ASSERT_TRUE(ClickAt(ScreenCentre(folder, FolderCell(3)), L"ctrl"));
    dump = WaitForDump(folder, [](const ViewDump& d) { return d.Selected() == std::vector<int>{1, 3}; });
    EXPECT_EQ(dump.anchor, -1);
    ASSERT_TRUE(ClickAt(ScreenCentre(folder, FolderCell(9)), L"shift"));
    dump = WaitForDump(folder, [](const ViewDump& d) { return d.Selected().size() == 9; });
    EXPECT_EQ(dump.Selected(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(dump.anchor, 1);
    EXPECT_EQ(dump.focus, 9);
    const PanelDump selectedTree = Tree(folder);
    for (int index = 0; index < 12; ++index) {
        const std::string cover = selectedTree.At(FolderCell(index)).cover;
        if (index >= 1 && index <= 9) {
            EXPECT_EQ(cover, "IDI_IMAGE_COVER_CLICK") << index;
        } else {
            EXPECT_TRUE(cover.empty() || cover == "IDI_IMAGE_COVER_NORMAL") << index << " " << cover;
        }
    }

    // Arrows from the focus: down a row, then left.
    PostMessageW(folder, WM_KEYDOWN, VK_DOWN, 0);
    dump = WaitForDump(folder, [](const ViewDump& d) { return d.focus == 16; });
    EXPECT_EQ(dump.Selected(), std::vector<int>{16});
    PostMessageW(folder, WM_KEYDOWN, VK_LEFT, 0);
    dump = WaitForDump(folder, [](const ViewDump& d) { return d.focus == 15; });

    // Typed "r" finds readme.lnk far below the fold and scrolls it into sight; "e" goes on from there to
    // the next name beginning with "re".
    const int readme = dump.IndexOf("readme");
    const int text = dump.IndexOf("readme.txt");
    ASSERT_GT(readme, 21);
    PostMessageW(folder, WM_CHAR, L'r', 1);
    dump = WaitForDump(folder, [&](const ViewDump& d) { return d.focus == readme; });
    EXPECT_EQ(dump.Selected(), std::vector<int>{readme});
    // The library's dump is read after both letters: reading it takes longer than the typing pause.
    PostMessageW(folder, WM_CHAR, L'e', 1);
    dump = WaitForDump(folder, [&](const ViewDump& d) { return d.focus == text; });
    EXPECT_EQ(dump.Selected(), std::vector<int>{text});
    const RECT cell = FolderCell(readme);
    ASSERT_EQ(FolderCell(text).top, cell.top) << "both on one row";
    PanelDump tree = Tree(folder);
    EXPECT_GE(cell.top - 65, tree.scroll * 2);
    EXPECT_LE(cell.bottom - 65, tree.scroll * 2 + 354);
    EXPECT_EQ(tree.At(FolderCell(text)).cover, "IDI_IMAGE_COVER_CLICK");
    EXPECT_EQ(tree.At(cell).cover, "IDI_IMAGE_COVER_NORMAL");

    // A hover gives the item its tooltip: the shortcut's target, and a file's size, date and type.
    PostMessageW(folder, WM_MOUSEMOVE, 0, MAKELPARAM(cell.left + 30, cell.top + 30 - tree.scroll * 2));
    dump = WaitForDump(folder, [&](const ViewDump& d) { return d.hover == readme; });
    const std::string readmeTip = WaitForTip(folder, cell);
    EXPECT_EQ(readmeTip.rfind("位置：readme (", 0), 0u) << readmeTip;
    const int other = dump.IndexOf("sandbox-only.txt");
    const RECT otherCell = FolderCell(other);
    PostMessageW(folder, WM_MOUSEMOVE, 0, MAKELPARAM(otherCell.left + 30, otherCell.top + 30 - tree.scroll * 2));
    dump = WaitForDump(folder, [&](const ViewDump& d) { return d.hover == other; });
    const std::string tip = WaitForTip(folder, otherCell);
    EXPECT_EQ(tip.rfind("sandbox-only.txt 大小：", 0), 0u) << tip;
    EXPECT_NE(tip.find(" 修改日期： "), std::string::npos);
    EXPECT_NE(tip.find(" 类型："), std::string::npos);

    // Two reloads at once while icons load: the host answers, and only the newest listing is filled.
    PostMessageW(folder, WM_KEYDOWN, VK_F5, 0);
    PostMessageW(folder, WM_KEYDOWN, VK_F5, 0);
    EXPECT_TRUE(Answers(folder, 2000));
    dump = WaitForDump(folder, [&](const ViewDump& d) { return d.count == total; });
    EXPECT_TRUE(Answers(folder, 2000));
    dump = WaitForDump(folder, [&](const ViewDump& d) {
        int icons = 0;
        for (const DumpedItem& item : d.items) {
            icons += item.icon;
        }
        return d.count == total && icons == kPictures;
    });
    EXPECT_TRUE(dump.Selected().empty());

    // Closed while icons load: the host ends soon, the loader given its bounded wait.
    PostMessageW(folder, WM_KEYDOWN, VK_F5, 0);
    PostMessageW(folder, WM_CLOSE, 0, 0);
    EXPECT_TRUE(host.WaitForExit(10000).has_value());
}

TEST_F(ViewHostEndToEndTest, ComputerTilesArrowsAndDriveTips)
{
    ScopedEnvironmentVariable sandbox(L"VEYRA_ICON_HOST_SANDBOX", std::to_wstring(kSandbox));
    ChildProcess host(BinFile(L"veyra_icon_host.exe"));
    ASSERT_TRUE(host.Started());
    const HWND folder = host.WaitForShownWindow(L"VeyraIconHostFolder", 20000);
    ASSERT_NE(folder, nullptr);
    std::vector<FileItemRecord> drives;
    ASSERT_EQ(m_view.ListDrives(drives, kSandbox), 1);
    ViewDump dump = WaitForDump(folder, [&](const ViewDump& d) {
        return d.count == static_cast<int>(drives.size()) && d.items.size() == drives.size();
    });
    ASSERT_GE(dump.items.size(), 2u);
    // Tiles two to a row in the drive order; a new drive type opens a row of its own 20 pixels lower.
    std::sort(drives.begin(), drives.end(), DriveOrder);
    EXPECT_TRUE(SameRect(dump.items[0].cell, RECT{170, 65, 420, 120}));
    for (size_t index = 1; index < dump.items.size(); ++index) {
        SCOPED_TRACE(dump.items[index].name);
        const RECT& tile = dump.items[index].cell;
        const RECT& before = dump.items[index - 1].cell;
        const bool newGroup = drives[index].driveType != drives[index - 1].driveType;
        EXPECT_EQ(tile.right - tile.left, 250);
        EXPECT_EQ(tile.bottom - tile.top, 55);
        if (before.left == 170 && !newGroup) {
            EXPECT_EQ(tile.left, 420);
            EXPECT_EQ(tile.top, before.top);
        } else {
            EXPECT_EQ(tile.left, 170);
            EXPECT_EQ(tile.top, before.top + 55 + (newGroup ? 20 : 0));
        }
    }
    PostMessageW(folder, WM_KEYDOWN, VK_RIGHT, 0);
    dump = WaitForDump(folder, [](const ViewDump& d) { return d.focus == 0; });
    PostMessageW(folder, WM_KEYDOWN, VK_RIGHT, 0);
    dump = WaitForDump(folder, [](const ViewDump& d) { return d.focus == 1; });
    PanelDump tree = Tree(folder);
    EXPECT_EQ(tree.At(dump.items[1].cell).cover, "IDI_IMAGE_COVER_CLICK");
    EXPECT_EQ(tree.At(dump.items[0].cell).cover, "IDI_IMAGE_COVER_NORMAL");

    const RECT first = dump.items[0].cell;  // a copy: `dump` is assigned anew below
    PostMessageW(folder, WM_MOUSEMOVE, 0, MAKELPARAM(first.left + 30, first.top + 20));
    dump = WaitForDump(folder, [](const ViewDump& d) { return d.hover == 0; });
    const std::string driveTip = WaitForTip(folder, first);
    EXPECT_EQ(driveTip.rfind("可用空间：", 0), 0u) << driveTip;
    EXPECT_NE(driveTip.find(" 总大小："), std::string::npos);
    PostMessageW(folder, WM_CLOSE, 0, 0);
    EXPECT_TRUE(host.WaitForExit(10000).has_value());
}

}  // namespace
