// The rename box over a real item of a real skinned view: refused characters typed and pasted, the
// commit notice, growing to two lines and back, the desktop's taskbar strip, and an item that goes
// while the box is open. Its edit notifications arrive reflected from the host, as in the program.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "base/UniqueResource.h"
#include "core/shellutil/DesktopMetrics.h"
#include "shell/iconview/CSimpleEditCtrl.h"
#include "shell/iconview/NsIconLabelFont.h"
#include "shell/iconview/NsIconNoPe.h"
#include "tests/shell/iconview/IconViewFixture.h"
#include "tests/support/RectAssertions.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr RECT kFolderCell{155, 70, 229, 158};
constexpr std::uint32_t kFolderMode = 0x10104;
constexpr std::uint32_t kDesktopMode = 0x20104;

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

class RenameBoxTest : public IconViewFixture {
protected:
    void Open(const wchar_t* layout, USHORT panelId, const RECT& cell, std::uint32_t mode, const std::wstring& name,
              int aboveTaskbar)
    {
        m_panel = BuildView(layout, panelId);
        ASSERT_TRUE(m_panel);
        m_mode = mode;
        FileItemRecord record = MakeRecord(m_root + L"\\" + name, kFileKindFile);
        record.cellRect = cell;
        m_item = std::make_unique<NsIconNoPe>(&m_mode);
        ASSERT_EQ(m_item->Init(m_panel.get(), cell, record, L"IDI_IMAGE_COVER_CLICK", L"sandbox_default"), 1);
        m_box = std::make_unique<CSimpleEditCtrl>(m_panel.get(), m_item.get(), aboveTaskbar);
        ASSERT_TRUE(m_box->Create(Host(), m_item->Record().labelRect, kRenameBoxStyle));
        SendMessageW(Box(), WM_SETFONT, reinterpret_cast<WPARAM>(IconLabelFont()), FALSE);
        SetWindowTextW(Box(), name.c_str());
        SendMessageW(Box(), EM_SETSEL, 0, -1);
        SetFocus(Box());
    }
    void TearDown() override
    {
        m_box.reset();
        m_item.reset();
        m_panel.reset();
        IconViewFixture::TearDown();
    }

    [[nodiscard]] HWND Box() const { return m_box->Handle(); }
    [[nodiscard]] std::wstring Text() const
    {
        wchar_t buffer[300] = {};
        GetWindowTextW(Box(), buffer, 300);
        return buffer;
    }
    void Type(const std::wstring& characters) const
    {
        for (wchar_t c : characters) {
            SendMessageW(Box(), WM_CHAR, c, 1);
        }
    }
    void ReplaceAll(const std::wstring& text) const
    {
        SendMessageW(Box(), EM_SETSEL, 0, -1);
        Type(L"\b");
        Type(text);
    }
    [[nodiscard]] RECT BoxRect() const
    {
        RECT rect{};
        GetWindowRect(Box(), &rect);
        MapWindowPoints(nullptr, Host(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    // The notices posted to the host so far: their wParams, in order.
    [[nodiscard]] std::vector<WPARAM> Notices() const
    {
        std::vector<WPARAM> notices;
        MSG message;
        while (PeekMessageW(&message, Host(), WM_NS_RENAME_DONE, WM_NS_RENAME_DONE, PM_REMOVE)) {
            notices.push_back(message.wParam);
        }
        return notices;
    }
    // The one-line box of a text: centred on the cell's caption strip, 10 pixels wider than the text.
    [[nodiscard]] RECT OneLineRect(const RECT& cell, int lineHeight, int extra) const
    {
        const LONG width = cell.right - cell.left + 4;
        const LONG textWidth = MeasureLabelWidth(Box(), Text().c_str()) + 10;
        const LONG left = cell.left - 2 + (width - textWidth) / 2;
        const LONG top = cell.top + kLabelTop;
        return RECT{left, top, left + textWidth, top + lineHeight + extra + 1};
    }

    ComPtr<vorrelUI::Ivorrel_panel> m_panel;
    std::uint32_t m_mode = 0;
    std::unique_ptr<NsIconNoPe> m_item;
    std::unique_ptr<CSimpleEditCtrl> m_box;
};

TEST_F(RenameBoxTest, TypedForbiddenCharactersAreRefusedWithATip)
{
    Open(L"NsExplorer.xml", 1005, kFolderCell, kFolderMode, L"old.txt", 0);
    ReplaceAll(L"a:");
    EXPECT_EQ(m_box->RefusalCount(), 1);
    // Wine: EM_SHOWBALLOONTIP shows nothing, so the box shows its own balloon.
    ASSERT_NE(m_box->TipWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(m_box->TipWindow()));
    Type(L"b");
    EXPECT_EQ(Text(), L"ab");
    EXPECT_EQ(m_box->RefusalCount(), 1);
    EXPECT_TRUE(IsWindowVisible(m_box->TipWindow())) << "the tip stays a while for the user to read";
    SendMessageW(Box(), WM_TIMER, 1, 0);  // its time is up
    EXPECT_FALSE(IsWindowVisible(m_box->TipWindow()));
    for (wchar_t c : std::wstring(L"\\/:*?\"<>|")) {
        const int before = m_box->RefusalCount();
        ReplaceAll(std::wstring(L"x") + c);
        EXPECT_EQ(Text(), L"x") << "character " << static_cast<int>(c);
        EXPECT_EQ(m_box->RefusalCount(), before + 1) << "character " << static_cast<int>(c);
    }
    const int refusals = m_box->RefusalCount();
    ReplaceAll(L"x\ty\x7f");
    EXPECT_EQ(Text(), L"xy") << "control characters are no part of a name";
    EXPECT_EQ(m_box->RefusalCount(), refusals);
}

TEST(RenameTextTest, ForbiddenAndControlCharactersAreTakenOut)
{
    struct Case {
        std::wstring text;
        std::wstring left;
        int removed;
    } const cases[] = {
        {L"report.txt", L"report.txt", 0},
        {L"a\\b:c", L"abc", 1},
        {L"..\\x", L"..x", 1},
        {L"name:stream", L"namestream", 1},
        {L"tab\there\r\n", L"tabhere", 1},
        {L"\x7f", L"", 1},
        {L"\u65b0\u5efa", L"\u65b0\u5efa", 0},
    };
    for (const Case& c : cases) {
        std::wstring text = c.text;
        EXPECT_EQ(RemoveForbiddenNameCharacters(text), c.removed) << Narrow(c.left);
        EXPECT_EQ(text, c.left) << Narrow(c.left);
    }
}

TEST_F(RenameBoxTest, PastedForbiddenCharactersAreRefusedOnce)
{
    Open(L"NsExplorer.xml", 1005, kFolderCell, kFolderMode, L"old.txt", 0);
    const std::wstring pasted = L"..\\a\\b:c\r\nd";
    ASSERT_TRUE(OpenClipboard(Host()));
    EmptyClipboard();
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t)));
    memcpy(GlobalLock(block.get()), pasted.c_str(), (pasted.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block.get());
    const bool placed = SetClipboardData(CF_UNICODETEXT, block.get()) != nullptr;
    CloseClipboard();
    ASSERT_TRUE(placed);
    static_cast<void>(block.release());  // the clipboard owns it now

    SendMessageW(Box(), EM_SETSEL, 0, -1);
    SendMessageW(Box(), WM_PASTE, 0, 0);
    EXPECT_EQ(Text(), L"..abcd");
    EXPECT_EQ(m_box->RefusalCount(), 1);

    SendMessageW(Box(), EM_SETSEL, 0, -1);
    Type(L"\x16");  // Ctrl+V
    EXPECT_EQ(Text(), L"..abcd");
    EXPECT_EQ(m_box->RefusalCount(), 2);

    SendMessageW(Box(), EM_SETSEL, 0, -1);
    SendMessageW(Box(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x:y|z"));
    EXPECT_EQ(Text(), L"xyz");
    EXPECT_EQ(m_box->RefusalCount(), 3);
}

TEST_F(RenameBoxTest, CommitPostsWhetherTheNameChangedOnce)
{
    struct Case {
        const char* name;
        std::wstring typed;
        WPARAM changed;
        std::wstring newName;
    } const cases[] = {
        {"case only", L"OLD.TXT", 0, L""},
        {"unchanged", L"old.txt", 0, L""},
        {"new name", L"new.txt", 1, L"new.txt"},
    };
    for (const Case& c : cases) {
        Open(L"NsExplorer.xml", 1005, kFolderCell, kFolderMode, L"old.txt", 0);
        ReplaceAll(c.typed);
        SendMessageW(Box(), WM_KEYDOWN, VK_RETURN, 1);
        Type(L"\r");  // Enter's character, still delivered after the key
        EXPECT_EQ(Text(), c.typed) << c.name;
        SendMessageW(Box(), WM_CLOSE, 0, 0);  // leaving the box after Enter
        EXPECT_EQ(m_box->Handle(), nullptr) << c.name;
        EXPECT_EQ(Notices(), std::vector<WPARAM>{c.changed}) << c.name;
        EXPECT_EQ(m_box->NewName(), c.newName) << c.name;
        m_box.reset();
        m_item.reset();
    }
}

TEST_F(RenameBoxTest, LeavingTheBoxCommits)
{
    Open(L"NsExplorer.xml", 1005, kFolderCell, kFolderMode, L"old.txt", 0);
    ReplaceAll(L"other.txt");
    SetFocus(Host());
    EXPECT_EQ(Notices(), std::vector<WPARAM>{1});
    EXPECT_EQ(m_box->NewName(), L"other.txt");
}

TEST_F(RenameBoxTest, GrowsToTwoLinesAndBack)
{
    Open(L"NsExplorer.xml", 1005, kFolderCell, kFolderMode, L"ab", 0);
    ReplaceAll(L"ab");
    ASSERT_EQ(m_box->LineCount(), 1);
    EXPECT_TRUE(SameRect(BoxRect(), OneLineRect(kFolderCell, 17, 4)));
    const LONG width = kFolderCell.right - kFolderCell.left + 4;
    std::wstring text = L"ab";
    while (MeasureLabelWidth(Box(), text.c_str()) <= width) {
        text += L'w';
        Type(L"w");
    }
    EXPECT_EQ(m_box->LineCount(), 2) << Narrow(text);
    EXPECT_EQ(m_item->Record().lineCount, 2);
    const LONG top = kFolderCell.top + kLabelTop;
    EXPECT_TRUE(SameRect(BoxRect(), RECT{kFolderCell.left - 2, top, kFolderCell.right + 2, top + 2 * 17 + 4}));
    while (Text().size() > 2) {
        Type(L"\b");
    }
    EXPECT_EQ(m_box->LineCount(), 1);
    EXPECT_TRUE(SameRect(BoxRect(), OneLineRect(kFolderCell, 17, 4)));
}

TEST_F(RenameBoxTest, KeepsOutOfTheDesktopTaskbarStrip)
{
    // Desktop panel 2001 is (0, 25, 830, 625): its last 40 pixels are the taskbar's.
    const RECT lowCell{5, 520, 79, 608};
    struct Case {
        const char* name;
        int aboveTaskbar;
        LONG limit;
    } const cases[] = {{"desktop", 1, 585}, {"no taskbar", 0, 625}};
    for (const Case& c : cases) {
        Open(L"KavoSandbox.xml", 2001, lowCell, kDesktopMode, L"ab", c.aboveTaskbar);
        ReplaceAll(L"ab");
        RECT expected = OneLineRect(lowCell, 17, 4);
        if (expected.bottom >= c.limit) {
            OffsetRect(&expected, 0, c.limit - 1 - expected.bottom);
        }
        EXPECT_TRUE(SameRect(BoxRect(), expected)) << c.name;
        EXPECT_LT(BoxRect().bottom, c.limit) << c.name;
        m_box.reset();
        m_item.reset();
    }
}

TEST_F(RenameBoxTest, LinesAreTallerBeforeVista)
{
    PretendPreVista();
    Open(L"NsExplorer.xml", 1005, kFolderCell, kFolderMode, L"ab", 0);
    ReplaceAll(L"ab");
    EXPECT_TRUE(SameRect(BoxRect(), OneLineRect(kFolderCell, 21 - 2, 0)));
}

// The view removed the item while the box was open and told the box: typing neither sizes by nor writes
// into the freed item, and the box still commits.
TEST_F(RenameBoxTest, ItemRemovedWhileOpen)
{
    Open(L"NsExplorer.xml", 1005, kFolderCell, kFolderMode, L"old.txt", 0);
    const RECT before = BoxRect();
    m_box->ForgetItem();
    m_item.reset();
    ReplaceAll(L"a rather longer name than before.txt");
    EXPECT_TRUE(SameRect(BoxRect(), before));
    SendMessageW(Box(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(Notices(), std::vector<WPARAM>{1});
    EXPECT_EQ(m_box->Item(), nullptr);
}

}  // namespace
