// The folder window's decisions without a window: history, Go's inputs, the view-folder test, keys,
// the context menu, the status lines and the maximised rectangle.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "shell/directory/FolderAddress.h"
#include "shell/directory/FolderCommands.h"
#include "shell/directory/FolderDropDecision.h"
#include "shell/directory/FolderHistory.h"
#include "shell/directory/FolderInput.h"
#include "shell/directory/FolderStatus.h"
#include "shell/directory/NsDirectory.h"
#include "tests/support/RectAssertions.h"

using namespace veyra;

namespace {

enum class Step { Open, Back, Forward };

struct HistoryCase {
    const char* name;
    std::vector<std::pair<Step, std::wstring>> steps;  // Open with a path; Back/Forward with ""
    std::vector<std::wstring> entries;
    std::wstring current;
    bool canBack;
    bool canForward;
};

TEST(FolderHistory, FollowsTheShownEntryByItsPlace)
{
    const HistoryCase cases[] = {
        {"start only", {}, {L"C:\\"}, L"C:\\", false, false},
        {"open Windows, type C:", {{Step::Open, L"C:\\Windows"}, {Step::Open, L"C:"}},
         {L"C:\\", L"C:\\Windows", L"C:"}, L"C:", true, false},
        {"back twice then open: newer entries gone",
         {{Step::Open, L"A"}, {Step::Open, L"B"}, {Step::Back, L""}, {Step::Back, L""}, {Step::Open, L"D"}},
         {L"C:\\", L"D"}, L"D", true, false},
        {"a folder twice: back goes to the one before the shown one",
         {{Step::Open, L"A"}, {Step::Open, L"B"}, {Step::Open, L"A"}, {Step::Back, L""}},
         {L"C:\\", L"A", L"B", L"A"}, L"B", true, true},
        {"a folder twice: forward from the newest does nothing",
         {{Step::Open, L"A"}, {Step::Open, L"B"}, {Step::Open, L"A"}, {Step::Forward, L""}},
         {L"C:\\", L"A", L"B", L"A"}, L"A", true, false},
        {"a folder twice: opening after it keeps every older entry",
         {{Step::Open, L"A"}, {Step::Open, L"B"}, {Step::Open, L"A"}, {Step::Open, L"E"}},
         {L"C:\\", L"A", L"B", L"A", L"E"}, L"E", true, false},
        {"back at the oldest does nothing", {{Step::Back, L""}}, {L"C:\\"}, L"C:\\", false, false},
        {"back then forward", {{Step::Open, L"A"}, {Step::Back, L""}, {Step::Forward, L""}},
         {L"C:\\", L"A"}, L"A", true, false},
    };
    for (const HistoryCase& test : cases) {
        FolderHistory history(L"C:\\");
        for (const auto& [step, path] : test.steps) {
            if (step == Step::Open) {
                history.Navigate(path);
            } else if (step == Step::Back) {
                static_cast<void>(history.Back());
            } else {
                static_cast<void>(history.Forward());
            }
        }
        EXPECT_EQ(history.Entries(), test.entries) << test.name;
        EXPECT_EQ(history.Current(), test.current) << test.name;
        EXPECT_EQ(history.CanGoBack(), test.canBack) << test.name;
        EXPECT_EQ(history.CanGoForward(), test.canForward) << test.name;
    }
}

struct GoCase {
    const char* name;
    std::wstring text;
    GoAction action;
    std::wstring path;
    bool rewrite;
};

TEST(FolderAddress, AdmitsFoldersAndShellNamesOnly)
{
    const std::set<std::wstring> folders = {L"C:\\", L"C:\\Windows", L"D:\\", L"C:\\KavoSANDBOX\\SHADOW",
                                            L"C:\\KavoSANDBOXES", std::wstring(L"C:\\") + std::wstring(257, L'a'),
                                            std::wstring(L"C:\\") + std::wstring(256, L'a')};
    std::vector<std::wstring> asked;
    auto isFolder = [&](const std::wstring& path) {
        asked.push_back(path);
        return folders.count(path) != 0;
    };
    const std::wstring longest = std::wstring(L"C:\\") + std::wstring(256, L'a');
    const GoCase cases[] = {
        {"my computer text", L"我的电脑", GoAction::Navigate, kComputerItemPath, false},
        {"shell name", L"::{450D8FBA-AD25-11D0-98A8-0800361B1103}", GoAction::Navigate,
         L"::{450D8FBA-AD25-11D0-98A8-0800361B1103}", false},
        {"drive root typed with its backslash", L"C:\\", GoAction::Navigate, L"C:", true},
        {"bare drive", L"D:", GoAction::Navigate, L"D:", false},
        {"folder with a trailing backslash", L"C:\\Windows\\", GoAction::Navigate, L"C:\\Windows", true},
        {"the folder shown", L"C:\\Work", GoAction::Nothing, L"", false},
        {"empty", L"", GoAction::Nothing, L"", false},
        {"a file or a missing path", L"C:\\Windows\\win.ini", GoAction::Refuse, L"C:\\Windows\\win.ini", false},
        {"drive-relative", L"C:x", GoAction::Refuse, L"C:x", false},
        {"UNC", L"\\\\server\\share", GoAction::Refuse, L"\\\\server\\share", false},
        {"empty component", L"C:\\\\Windows", GoAction::Refuse, L"C:\\\\Windows", false},
        {"260 characters", std::wstring(L"C:\\") + std::wstring(257, L'a'), GoAction::Refuse,
         std::wstring(L"C:\\") + std::wstring(257, L'a'), false},
        {"the sandbox's own folder", L"C:\\KavoSANDBOX\\SHADOW", GoAction::Refuse, L"C:\\KavoSANDBOX\\SHADOW", false},
        {"the sandbox folder in other letters", L"c:\\kavosandbox", GoAction::Refuse, L"c:\\kavosandbox", false},
        {"a folder that only begins like it", L"C:\\KavoSANDBOXES", GoAction::Navigate, L"C:\\KavoSANDBOXES", false},
        {"259 characters", longest, GoAction::Navigate, longest, false},
    };
    for (const GoCase& test : cases) {
        const GoDecision decision = DecideGo(test.text, L"C:\\Work", isFolder);
        EXPECT_EQ(decision.action, test.action) << test.name;
        if (test.action != GoAction::Nothing) {
            EXPECT_EQ(decision.path, test.path) << test.name;
            EXPECT_EQ(decision.rewriteBox, test.rewrite) << test.name;
        }
    }
    // A bare drive is asked as its root; the sandbox folder and a shell name are never asked.
    EXPECT_NE(std::find(asked.begin(), asked.end(), L"D:\\"), asked.end());
    EXPECT_EQ(std::find(asked.begin(), asked.end(), L"C:\\KavoSANDBOX\\SHADOW"), asked.end());
    EXPECT_EQ(AddressTextFor(kComputerItemPath), L"我的电脑");
    EXPECT_EQ(AddressTextFor(L"C:\\Windows"), L"C:\\Windows");
}

TEST(FolderView, NamesTheShownFolderWithABareDriveAsItsRoot)
{
    const struct {
        const wchar_t* shown;
        const wchar_t* path;
        bool names;
    } cases[] = {
        {L"C:", L"C:\\", true},           {L"C:\\Windows", L"c:\\windows", true}, {L"C:\\", L"C:", false},
        {L"C:\\Windows", L"C:\\Win", false}, {L"C:", L"C:", false},              {L"c:\\ä", L"C:\\Ä", true},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(NamesViewFolder(test.shown, test.path), test.names) << static_cast<const void*>(test.shown);
    }
}

TEST(FolderKeys, MapKeyCtrlAndAltToAnAction)
{
    const struct {
        UINT key;
        bool ctrl;
        bool alt;
        FolderKeyAction action;
    } cases[] = {
        {VK_BACK, false, false, FolderKeyAction::Back},   {VK_BACK, false, true, FolderKeyAction::Back},
        {VK_BACK, true, false, FolderKeyAction::None},    {VK_RETURN, false, false, FolderKeyAction::Open},
        {VK_LEFT, false, false, FolderKeyAction::Arrow},  {VK_DOWN, true, true, FolderKeyAction::Arrow},
        {VK_DELETE, false, false, FolderKeyAction::Delete}, {VK_F2, false, false, FolderKeyAction::Rename},
        {VK_F5, false, false, FolderKeyAction::Reload},   {'C', true, false, FolderKeyAction::Copy},
        {'C', true, true, FolderKeyAction::None},         {'C', false, false, FolderKeyAction::None},
        {'V', true, false, FolderKeyAction::Paste},       {'X', true, false, FolderKeyAction::Cut},
        {'A', true, false, FolderKeyAction::SelectAll},   {VK_F5, true, false, FolderKeyAction::None},
        {'Z', true, false, FolderKeyAction::None},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(FolderKeyActionFor(test.key, test.ctrl, test.alt), test.action)
            << test.key << " ctrl " << test.ctrl << " alt " << test.alt;
    }
}

TEST(FolderMenu, ChoosesThePopupAndWhatItLeavesOutOrGreys)
{
    using namespace FolderCommand;
    const struct {
        const char* name;
        FolderMenuContext context;
        int popup;
        std::vector<WORD> removed;
        std::vector<WORD> greyed;
        bool greyNew;
    } cases[] = {
        {"an item", {true, false, true, false, true}, kItemPopup, {kOpenLocation}, {}, false},
        {"a shortcut", {true, true, true, false, false}, kItemPopup, {}, {}, false},
        {"a drive in My Computer", {true, false, true, true, false}, kItemPopup, {kOpenLocation, kDelete}, {}, false},
        {"empty space, clipboard entry", {false, false, true, false, true}, kEmptySpacePopup, {}, {}, false},
        {"empty space, no clipboard entry", {false, false, true, false, false}, kEmptySpacePopup, {}, {kPaste}, false},
        {"empty space in My Computer", {false, false, true, true, true}, kEmptySpacePopup, {}, {kPaste}, true},
        {"outside the view", {false, false, false, false, true}, -1, {}, {}, false},
    };
    for (const auto& test : cases) {
        const FolderMenuChoice choice = ChooseFolderMenu(test.context);
        EXPECT_EQ(choice.popup, test.popup) << test.name;
        EXPECT_EQ(choice.removed, test.removed) << test.name;
        EXPECT_EQ(choice.greyed, test.greyed) << test.name;
        EXPECT_EQ(choice.greyNewPopup, test.greyNew) << test.name;
    }
}

TEST(FolderStatus, LinesFollowTheSelection)
{
    StatusItem file;
    file.caption = L"a.txt";
    file.typeText = L"文本文档";
    file.sizeText = L"1 KB";
    file.dateText = L"2024/1/2 3:04";
    StatusItem drive;
    drive.isDrive = true;
    drive.caption = L"本地磁盘(C:)";
    drive.spaceRead = true;
    drive.freeText = L"10 GB";
    drive.totalText = L"20 GB";
    StatusItem unreadable = drive;
    unreadable.spaceRead = false;
    const struct {
        const char* name;
        int items;
        int selected;
        StatusItem item;
        std::array<std::wstring, 4> lines;
        StatusIcon icon;
    } cases[] = {
        {"nothing selected, empty folder", 0, 0, {}, {L"0个对象", L"", L"", L""}, StatusIcon::Folder},
        {"one file", 3, 1, file, {L"a.txt", L"文本文档", L"大小：1 KB", L"修改日期：2024/1/2 3:04"},
         StatusIcon::SelectedItem},
        {"one drive", 2, 1, drive, {L"本地磁盘(C:)", L"", L"可用空间：10 GB", L"总大小：20 GB"},
         StatusIcon::SelectedItem},
        {"one drive without free space", 2, 1, unreadable, {L"本地磁盘(C:)", L"", L"", L""}, StatusIcon::SelectedItem},
        {"several", 9, 4, {}, {L"已选择 4 个项", L"", L"", L""}, StatusIcon::Unchanged},
    };
    for (const auto& test : cases) {
        const StatusTexts texts = FolderStatusTexts(test.items, test.selected, test.item);
        EXPECT_EQ(texts.lines, test.lines) << test.name;
        EXPECT_EQ(texts.icon, test.icon) << test.name;
    }
    EXPECT_EQ(ObjectCountText(12), L"12个对象");
}

TEST(FolderMaximise, FillsTheDesktopBetweenItsStrips)
{
    const struct {
        RECT desktop;
        RECT filled;
    } cases[] = {
        {{0, 0, 830, 625}, {0, 25, 830, 585}},
        {{225, 199, 1055, 824}, {225, 224, 1055, 784}},
        {{-100, -50, 730, 575}, {-100, -25, 730, 535}},
    };
    for (const auto& test : cases) {
        EXPECT_TRUE(test::SameRect(MaximisedFolderRect(test.desktop), test.filled));
    }
}

TEST(FolderDrop, DecidesTargetAndEffectOverTheView)
{
    const std::wstring folder = L"C:\\a";
    const std::vector<std::wstring> sameDrive = {L"C:\\b\\x.txt"};
    const std::vector<std::wstring> otherDrive = {L"D:\\x.txt"};
    FolderDragItem none;
    FolderDragItem sub{DragItemKind::Folder, false, L"C:\\a\\sub", L"C:\\a\\sub", L"C:\\a\\sub"};
    FolderDragItem link{DragItemKind::Folder, false, L"C:\\a\\to.lnk", L"C:\\far", L"C:\\a\\to.lnk"};
    FolderDragItem emptyDrive{DragItemKind::Drive, true, L"E:", L"E:", L"E:"};
    FolderDragItem file{DragItemKind::Other, false, L"C:\\a\\f.txt", L"C:\\a\\f.txt", L"C:\\a\\f.txt"};
    const struct {
        const char* name;
        std::vector<std::wstring> paths;
        FolderDragItem item;
        bool internal;
        bool here;
        DWORD effect;
        std::wstring target;
        bool highlight;
    } cases[] = {
        {"nothing dragged", {}, none, false, false, DROPEFFECT_NONE, folder, false},
        {"from another program", sameDrive, none, false, false, DROPEFFECT_COPY, folder, false},
        {"ours, same drive", sameDrive, none, true, false, DROPEFFECT_MOVE, folder, false},
        {"ours, other drive", otherDrive, none, true, false, DROPEFFECT_COPY, folder, false},
        {"onto its own folder", sameDrive, none, true, true, DROPEFFECT_NONE, folder, false},
        {"onto a subfolder", sameDrive, sub, true, true, DROPEFFECT_MOVE, L"C:\\a\\sub", true},
        {"onto itself", {L"C:\\a\\sub"}, sub, true, true, DROPEFFECT_NONE, L"C:\\a\\sub", false},
        {"onto a shortcut to a folder", otherDrive, link, false, false, DROPEFFECT_COPY, L"C:\\far", true},
        {"onto a drive without a medium", otherDrive, emptyDrive, false, false, DROPEFFECT_COPY, folder, false},
        {"onto a file: the folder", otherDrive, file, false, false, DROPEFFECT_COPY, folder, false},
    };
    for (const auto& test : cases) {
        const FolderDragDecision decision = DecideFolderDrag(test.paths, folder, test.item, test.internal, test.here);
        EXPECT_EQ(decision.effect, test.effect) << test.name;
        EXPECT_EQ(decision.targetPath, test.target) << test.name;
        EXPECT_EQ(decision.highlightItem, test.highlight) << test.name;
    }
}

}  // namespace
