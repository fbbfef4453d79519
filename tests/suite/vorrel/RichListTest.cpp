// The rich list with the start menu's and the task manager's rows: child rows counted, stacked, drawn
// and hit below their open folder row; a row's cells stay shown; a press selects the row under it (not
// the label it pressed); removing the selected row, or the folder holding it, clears the selection.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/suite/vorrel/SkinFixture.h"

using namespace vorrelUI;
using namespace vorrel::test;
using veyra::ComPtr;

namespace {

constexpr LONG kRowHeight = 28;

class RichListTest : public SkinFixture {
protected:
    void SetUp() override
    {
        SkinFixture::SetUp();
        m_menu = Build(L"NsWindow.xml", true);
        m_list = m_menu.Find<Ivorrel_list>(4001, IID_Ivorrel_list);
        ASSERT_TRUE(m_list);
        m_list->GetRect(&m_listRect);
    }
    void TearDown() override
    {
        m_list.reset();
        m_menu.Close();
        SkinFixture::TearDown();
    }

    // A start-menu row: a panel over the list's width with its caption label, as the menu builds it.
    ComPtr<Ivorrel_panel> Row(const RECT& rect, LONG indent, const wchar_t* caption)
    {
        auto row = NewPanel(rect);
        auto label = NewLabel(RECT{rect.left + (indent ? indent + 19 : 25), rect.top + 6, rect.right - 2, rect.bottom - 6}, caption);
        row->AddChild(label.get());
        return row;
    }
    RECT RowRect(IUnknown* row) const
    {
        RECT rect{};
        ComPtr<Ivorrel_control> control;
        row->QueryInterface(IID_Ivorrel_control, control.put_void());
        control->GetRect(&rect);
        return rect;
    }
    ComPtr<Ivorrel_control> Selected() const
    {
        ComPtr<Ivorrel_control> row;
        m_list->GetSelected(row.put());
        return row;
    }
    // The list's row shown at `y` (window coordinates).
    ComPtr<Ivorrel_control> RowAt(LONG y) const
    {
        ComPtr<Ivorrel_control> row;
        m_list->ChildFromPoint(POINT{m_listRect.left + 40, y}, row.put());
        return row;
    }
    static UINT ChildRows(IUnknown* row)
    {
        ComPtr<Ivorrel_control> control;
        row->QueryInterface(IID_Ivorrel_control, control.put_void());
        UINT count = 99;
        control->GetChildControlCount(&count);
        return count;
    }

    BuiltWindow m_menu;
    ComPtr<Ivorrel_list> m_list;
    RECT m_listRect{};
};

TEST_F(RichListTest, ChildRowsAreCountedAndStackedBelowTheirOpenFolderRow)
{
    const RECT top{0, 0, m_listRect.right, kRowHeight};
    auto program = Row(top, 0, L"Program");
    auto folder = Row(top, 0, L"Folder");
    auto last = Row(top, 0, L"Last");
    for (auto* row : {program.get(), folder.get(), last.get()}) {
        m_list->AddChild(row);
    }
    EXPECT_EQ(ChildRows(folder.get()), 0u) << "a row with a label only has no child rows yet";
    EXPECT_EQ(RowRect(last.get()).top, m_listRect.top + 2 * kRowHeight);

    // The menu adds the child rows at the folder row's rectangle, indented, then opens the row.
    auto first = Row(RowRect(folder.get()), 19, L"Inner one");
    auto second = Row(RowRect(folder.get()), 19, L"Inner two");
    folder->AddChild(first.get());
    folder->AddChild(second.get());
    EXPECT_EQ(ChildRows(folder.get()), 2u);
    EXPECT_EQ(RowAt(m_listRect.top + 2 * kRowHeight + 5).get(), static_cast<Ivorrel_control*>(last.get()))
        << "a closed folder row shows no child rows";

    folder->SetOptionPair(kStateExpanded, 0, TRUE);
    struct Expected {
        const char* name;
        IUnknown* row;
        LONG top;
    } const expected[] = {
        {"program", program.get(), m_listRect.top},
        {"folder", folder.get(), m_listRect.top + kRowHeight},
        {"first child", first.get(), m_listRect.top + 2 * kRowHeight},
        {"second child", second.get(), m_listRect.top + 3 * kRowHeight},
        {"last", last.get(), m_listRect.top + 4 * kRowHeight},
    };
    for (const Expected& row : expected) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RowRect(row.row).top, row.top);
        EXPECT_EQ(RowRect(row.row).right, m_listRect.right);
        ComPtr<Ivorrel_control> shown = RowAt(row.top + 5);
        ComPtr<IUnknown> identity, wanted;
        if (shown) {
            shown->QueryInterface(IID_IUnknown, identity.put_void());
        }
        row.row->QueryInterface(IID_IUnknown, wanted.put_void());
        EXPECT_EQ(identity.get(), wanted.get()) << "hit below its folder row";
    }
    // Its caption went along, below the folder row.
    const std::string caption = DumpLineWith(m_menu.Dump(), "text=Inner one");
    char rowTop[24];
    snprintf(rowTop, sizeof(rowTop), ",%ld,", m_listRect.top + 2 * kRowHeight + 6);
    EXPECT_NE(caption.find(rowTop), std::string::npos) << caption;
    Click(m_menu.host, POINT{m_listRect.left + 60, m_listRect.top + 2 * kRowHeight + 12});
    ComPtr<IUnknown> selected, child;
    Selected()->QueryInterface(IID_IUnknown, selected.put_void());
    first->QueryInterface(IID_IUnknown, child.put_void());
    EXPECT_EQ(selected.get(), child.get()) << "a press on a child row selects that row";

    folder->SetOptionPair(0, kStateExpanded, TRUE);
    EXPECT_EQ(RowRect(last.get()).top, m_listRect.top + 2 * kRowHeight) << "closing stacks the rows again";
}

TEST_F(RichListTest, ARowPlacedBelowTheStackKeepsItsDistanceFromTheTop)
{
    // A navigation pane: a header with two child rows, a second header placed 200 pixels down.
    const LONG top = m_listRect.top;
    auto libraries = Row(RECT{m_listRect.left, top, m_listRect.right, top + kRowHeight}, 0, L"Libraries");
    auto computer = Row(RECT{m_listRect.left, top + 200, m_listRect.right, top + 200 + kRowHeight}, 0, L"Computer");
    m_list->AddChild(libraries.get());
    m_list->AddChild(computer.get());
    auto video = Row(RECT{m_listRect.left, top + kRowHeight, m_listRect.right, top + 2 * kRowHeight}, 5, L"Video");
    auto music = Row(RECT{m_listRect.left, top + 2 * kRowHeight, m_listRect.right, top + 3 * kRowHeight}, 5, L"Music");
    libraries->AddChild(video.get());
    libraries->AddChild(music.get());
    auto drive = Row(RECT{m_listRect.left, top + 200 + kRowHeight, m_listRect.right, top + 200 + 2 * kRowHeight}, 5, L"C:");
    computer->AddChild(drive.get());
    libraries->SetOptionPair(kStateExpanded, 0, TRUE);
    computer->SetOptionPair(kStateExpanded, 0, TRUE);
    EXPECT_EQ(RowRect(music.get()).top, top + 2 * kRowHeight);
    EXPECT_EQ(RowRect(computer.get()).top, top + 200) << "not pulled up below the open header";
    EXPECT_EQ(RowRect(drive.get()).top, top + 200 + kRowHeight);
    // Rows that would reach below it push it down; rows at the top (the start menu's) stay stacked.
    std::vector<ComPtr<Ivorrel_panel>> more;
    for (int index = 0; index < 6; ++index) {
        more.push_back(Row(RECT{m_listRect.left, top, m_listRect.right, top + kRowHeight}, 5, L"More"));
        libraries->AddChild(more.back().get());
    }
    EXPECT_EQ(RowRect(computer.get()).top, top + 9 * kRowHeight);
    m_list->RemoveAllChildren();
    auto plain = Row(RECT{0, 0, m_listRect.right, kRowHeight}, 0, L"Plain");
    auto next = Row(RECT{0, 0, m_listRect.right, kRowHeight}, 0, L"Next");
    m_list->AddChild(plain.get());
    m_list->AddChild(next.get());
    EXPECT_EQ(RowRect(next.get()).top, top + kRowHeight);
}

TEST_F(RichListTest, TaskRowCellsStayShownAndAreNotChildRows)
{
    // The task manager's row: a name cell over its first 200 pixels and an identifier cell after it.
    const RECT rect{m_listRect.left, 0, m_listRect.right, 25};
    auto row = NewPanel(rect);
    auto nameCell = NewPanel(RECT{rect.left, 0, rect.left + 200, 25});
    auto idCell = NewPanel(RECT{rect.left + 200, 0, rect.right, 25});
    nameCell->AddChild(NewLabel(RECT{rect.left, 4, rect.left + 200, 21}, L"sleeper.exe").get());
    row->AddChild(nameCell.get());
    row->AddChild(idCell.get());
    m_list->AddChild(row.get());
    EXPECT_EQ(ChildRows(row.get()), 0u);
    ComPtr<Ivorrel_control> cell;
    row->ChildFromPoint(POINT{rect.left + 220, m_listRect.top + 10}, cell.put());
    ComPtr<IUnknown> got, wanted;
    if (cell) {
        cell->QueryInterface(IID_IUnknown, got.put_void());
    }
    idCell->QueryInterface(IID_IUnknown, wanted.put_void());
    EXPECT_EQ(got.get(), wanted.get()) << "the identifier cell is drawn and hit in its row";
    const std::string dump = m_menu.Dump();
    char shown[80];
    snprintf(shown, sizeof(shown), "rect=%ld,%ld,%ld,%ld\tvisible=1", rect.left, m_listRect.top, rect.left + 200,
             m_listRect.top + 25);
    EXPECT_NE(dump.find(shown), std::string::npos) << dump;
}

TEST_F(RichListTest, PressSelectsItsRowAndRemovingRowsClearsTheSelection)
{
    EventRecorder sink;
    sink.Listen(m_list.get());
    const RECT top{0, 0, m_listRect.right, kRowHeight};
    auto one = Row(top, 0, L"One");
    auto two = Row(top, 0, L"Two");
    m_list->AddChild(one.get());
    m_list->AddChild(two.get());
    // Pressed on the caption label of the second row.
    const POINT onLabel{m_listRect.left + 40, m_listRect.top + kRowHeight + 12};
    MouseDown(m_menu.host, onLabel);
    ComPtr<IUnknown> selected, wanted;
    ASSERT_TRUE(Selected());
    Selected()->QueryInterface(IID_IUnknown, selected.put_void());
    two->QueryInterface(IID_IUnknown, wanted.put_void());
    EXPECT_EQ(selected.get(), wanted.get());
    const auto pressed = sink.Of(2, m_list.get());
    ASSERT_FALSE(pressed.empty());
    EXPECT_EQ(pressed.back().values[0], kStatePressed);
    EXPECT_EQ(pressed.back().values[1], 0u);
    MouseUp(m_menu.host, onLabel);
    EXPECT_EQ(sink.Of(2, m_list.get()).back().values[1], kStatePressed);

    m_list->RemoveChild(two.get());
    EXPECT_FALSE(Selected()) << "a removed row is no longer handed out";

    // A child row selected, then its folder row removed.
    auto inner = Row(RowRect(one.get()), 19, L"Inner");
    one->AddChild(inner.get());
    one->ModifyState(kStateExpanded, 0);
    Click(m_menu.host, POINT{m_listRect.left + 40, m_listRect.top + kRowHeight + 12});
    ASSERT_TRUE(Selected());
    m_list->RemoveAllChildren();
    EXPECT_FALSE(Selected());

    // A press beside the rows selects nothing.
    m_list->AddChild(Row(top, 0, L"Again").get());
    Click(m_menu.host, POINT{m_listRect.left + 40, m_listRect.top + 12});
    ASSERT_TRUE(Selected());
    Click(m_menu.host, POINT{m_listRect.left + 40, m_listRect.bottom - 10});
    EXPECT_FALSE(Selected());
}

TEST_F(RichListTest, RowsReachingBelowTheListScrollByTheWheel)
{
    const RECT top{0, 0, m_listRect.right, kRowHeight};
    std::vector<ComPtr<Ivorrel_panel>> rows;
    for (int index = 0; index < 30; ++index) {
        rows.push_back(Row(top, 0, L"Program"));
        m_list->AddChild(rows.back().get());
    }
    Wheel(m_menu.host, Centre(m_listRect), -WHEEL_DELTA);
    ComPtr<IUnknown> shown, third;
    RowAt(m_listRect.top + 5)->QueryInterface(IID_IUnknown, shown.put_void());
    rows[60 / kRowHeight]->QueryInterface(IID_IUnknown, third.put_void());
    EXPECT_EQ(shown.get(), third.get()) << "60 pixels scrolled";
    // The press lands on the row shown under the cursor.
    Click(m_menu.host, POINT{m_listRect.left + 40, m_listRect.top + 5});
    ComPtr<IUnknown> selected;
    Selected()->QueryInterface(IID_IUnknown, selected.put_void());
    EXPECT_EQ(selected.get(), third.get());
}

// Writes the window as it is on screen to a 24-bit BMP file.
void SaveScreenshot(HWND host, const std::wstring& path)
{
    RECT rect{};
    GetWindowRect(host, &rect);
    const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD size = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                          static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof(file), &written, nullptr);
    WriteFile(out, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr);
    WriteFile(out, bits, size, &written, nullptr);
    CloseHandle(out);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST_F(RichListTest, StartMenuRowsShowTheirCaptionsAndPictures)
{
    ComPtr<Ivorrel_respack> pack;
    ASSERT_EQ(Create(CLSID_vorrel_respack, IID_Ivorrel_respack, pack.put_void()), S_OK);
    ASSERT_EQ(pack->Load(0, Layout(L"NsWindow.xml").c_str()), S_OK);
    ComPtr<Ivorrel_image> folderPicture;
    ASSERT_EQ(pack->GetImage(L"IDI_IMAGE_SFOLDER", folderPicture.put()), S_OK);
    const RECT top{0, 0, m_listRect.right, kRowHeight};
    const wchar_t* const captions[] = {L"Notepad", L"Calculator", L"Accessories", L"Games"};
    std::vector<ComPtr<Ivorrel_panel>> rows;
    for (const wchar_t* caption : captions) {
        rows.push_back(Row(top, 0, caption));
        m_list->AddChild(rows.back().get());
    }
    for (size_t index = 2; index < rows.size(); ++index) {  // the folder rows show the folder picture
        auto picture = NewControl<Ivorrel_itemcontrol>(CATEGORY_picture, IID_Ivorrel_itemcontrol);
        const RECT row = RowRect(rows[index].get());
        const RECT icon{row.left + 6, row.top + 6, row.left + 22, row.top + 22};
        picture->Move(&icon, FALSE);
        picture->SetImage(folderPicture.get());
        picture->ModifyStyle(kStyleVisible | 0x20, 0);
        rows[index]->AddChild(picture.get());
    }
    const RECT folderRow = RowRect(rows[2].get());
    for (const wchar_t* caption : {L"Paint", L"WordPad"}) {
        rows[2]->AddChild(Row(folderRow, 19, caption).get());
    }
    rows[2]->ModifyState(kStateExpanded, 0);
    Click(m_menu.host, POINT{m_listRect.left + 60, m_listRect.top + kRowHeight + 12});  // selects "Calculator"
    MouseMove(m_menu.host, POINT{m_listRect.left + 60, m_listRect.top + 3 * kRowHeight + 12});  // over "Paint"

    // Every caption is drawn in its row: pixels of its text differ from the row's blank end.
    for (int index = 0; index < 6; ++index) {
        SCOPED_TRACE(index);
        const LONG rowTop = m_listRect.top + index * kRowHeight;
        const COLORREF blank = PixelAt(m_menu.host, POINT{m_listRect.right - 12, rowTop + 14});
        int drawn = 0;
        for (LONG x = m_listRect.left + 25; x < m_listRect.left + 90; ++x) {
            drawn += PixelAt(m_menu.host, POINT{x, rowTop + 14}) != blank ? 1 : 0;
        }
        EXPECT_GT(drawn, 3);
    }
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VORREL_SCREENSHOT", path, MAX_PATH) > 0) {
        SaveScreenshot(m_menu.host, path);  // for a person to look at
    }
}

}  // namespace
