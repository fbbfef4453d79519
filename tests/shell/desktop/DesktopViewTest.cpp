// The desktop view in a real skinned panel (the desktop layout's 2001): filling with My Computer first,
// freed cells reused, arrow keys, two loads in flight, and its drop target's callbacks driven through a
// real drop target with real CF_HDROP data objects.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "shell/desktop/NsDesktop.h"
#include "shell/dragdrop/DragState.h"
#include "shell/explorer/ViewMessages.h"
#include "shell/protocol/WindowProtocol.h"
#include "shell/skin/SkinBinding.h"
#include "tests/shell/dragdrop/DragTestSupport.h"
#include "tests/shell/iconview/IconViewFixture.h"
#include "tests/support/RectAssertions.h"
#include "tests/support/WaitFor.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr RECT kFirstCell{5, 30, 79, 118};

class DesktopView : public IconViewFixture {
protected:
    void SetUp() override
    {
        IconViewFixture::SetUp();
        ASSERT_EQ(skin::CreateResourcePack(skin::ImagePack), S_OK);
        ASSERT_EQ(skin::ImagePack->Load(0, (m_suite->ThemeFolder() + L"\\KavoSandBox\\KavoSandbox.xml").c_str()), S_OK);
        m_panel = BuildView(L"KavoSandbox.xml", 2001);
        ASSERT_TRUE(m_panel);
        m_view = std::make_unique<NsDesktop>(m_panel.get(), Host(), kSandbox);
        ASSERT_EQ(m_view->Load(std::wstring()), 1);  // lays out the grid; its listing is left unfilled
    }

    void TearDown() override
    {
        DragSourceWindow = nullptr;
        InternalDragFlag = 0;
        m_view.reset();
        m_panel.reset();
        skin::ImagePack.reset();
        IconViewFixture::TearDown();
    }

    FileItemRecord Real(const std::wstring& name, int kind)
    {
        const std::wstring path = m_root + L"\\" + name;
        if (kind == kFileKindFolder) {
            CreateDirectoryW(path.c_str(), nullptr);
        } else {
            MakeReal(path);
        }
        return MakeRecord(path, kind);
    }

    // Fills the view with a note (cell 1) and a folder (cell 2) after My Computer.
    void FillNoteAndFolder()
    {
        std::vector<FileItemRecord> records{Real(L"Box", kFileKindFolder), Real(L"note.txt", kFileKindFile)};
        ASSERT_EQ(m_view->FillItems(records), 1);
        ASSERT_EQ(m_view->ItemCount(), 3);
        m_note = m_view->FindItemAtCell(1);
        m_folder = m_view->FindItemAtCell(2);
        ASSERT_TRUE(m_note && m_folder);
        ASSERT_EQ(m_note->Record().path, m_root + L"\\note.txt");
        ASSERT_EQ(m_folder->Record().path, m_root + L"\\Box");
    }

    POINT ScreenPointIn(const RECT& cell, LONG down = 40) const
    {
        POINT point{cell.left + 30, cell.top + down};
        ClientToScreen(Host(), &point);
        return point;
    }

    ComPtr<CIDropTarget> MakeDropTarget()
    {
        ComPtr<CIDropTarget> target = ComPtr<CIDropTarget>::Adopt(new CIDropTarget(Host()));
        target->AddAcceptedFormat(FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
        target->SetDefaultTargetPath(m_view->DesktopFolder());
        target->SetCallbacks(m_view->DropHandler());
        return target;
    }

    // The highlight the drag-over step posted, handed to the view as the window does.
    NsIcon* TakeHighlightMessage()
    {
        MSG message{};
        if (!PeekMessageW(&message, Host(), WM_NS_DRAG_HIGHLIGHT, WM_NS_DRAG_HIGHLIGHT, PM_REMOVE)) {
            return nullptr;
        }
        EXPECT_EQ(m_view->OnViewMessage(message.message, message.wParam, message.lParam), 1);
        return reinterpret_cast<NsIcon*>(message.wParam);
    }

    ComPtr<vorrelUI::Ivorrel_panel> m_panel;
    std::unique_ptr<NsDesktop> m_view;
    NsIcon* m_note = nullptr;
    NsIcon* m_folder = nullptr;
};

int MarkedCells(const DesktopGrid& grid)
{
    return static_cast<int>(std::count_if(grid.Cells().begin(), grid.Cells().end(),
                                          [](const DesktopCell& cell) { return cell.occupied != 0; }));
}

TEST_F(DesktopView, AnEmptyDesktopShowsMyComputerAloneTopLeft)
{
    std::vector<FileItemRecord> none;
    ASSERT_EQ(m_view->FillItems(none), 1);
    ASSERT_EQ(m_view->ItemCount(), 1);
    const NsIcon* computer = m_view->ItemAt(0);
    EXPECT_EQ(computer->Record().path, kComputerItemPath);
    EXPECT_TRUE(SameRect(computer->Record().cellRect, kFirstCell));
    EXPECT_EQ(MarkedCells(m_view->Grid()), 1);
    EXPECT_EQ(m_view->Grid().Count(), 66) << "11 columns of 6 rows in the 830 x 600 panel";
}

TEST_F(DesktopView, FillsInDesktopOrderDownTheFirstColumnAndArrowsWalkIt)
{
    std::vector<FileItemRecord> records{Real(L"Box", kFileKindFolder), Real(L"note.txt", kFileKindFile),
                                        Real(L"tool.exe", kFileKindProgram)};
    ASSERT_EQ(m_view->FillItems(records), 1);
    const wchar_t* const order[] = {kComputerItemPath, L"tool.exe", L"note.txt", L"Box"};
    for (int cell = 0; cell < 4; ++cell) {
        const NsIcon* item = m_view->FindItemAtCell(cell);
        ASSERT_NE(item, nullptr) << cell;
        const std::wstring& path = item->Record().path;
        EXPECT_EQ(path.substr(path.find_last_of(L'\\') + 1), order[cell]) << cell;
    }
    EXPECT_EQ(MarkedCells(m_view->Grid()), 4);

    struct Step {
        UINT key;
        int moved;
        int cell;  // the selected cell afterwards
    } const steps[] = {{VK_DOWN, 1, 1}, {VK_DOWN, 1, 2}, {VK_RIGHT, 0, 2}, {VK_UP, 1, 1}, {VK_LEFT, 0, 1}};
    m_view->SelectByIndex(0);
    for (const Step& step : steps) {
        EXPECT_EQ(m_view->OnArrowKey(step.key), step.moved) << step.key;
        const std::vector<NsIcon*> selected = m_view->SelectedItems();
        ASSERT_EQ(selected.size(), 1u);
        EXPECT_EQ(selected.front(), m_view->FindItemAtCell(step.cell)) << step.key;
    }
}

TEST_F(DesktopView, AnIconAddedAfterOneWentTakesTheFreedCell)
{
    FillNoteAndFolder();
    std::vector<NsIcon*> leaving{m_note};
    m_view->RemoveItems(leaving);
    EXPECT_FALSE(m_view->Grid().IsOccupied(1));
    const FileItemRecord added = Real(L"added.txt", kFileKindFile);
    ASSERT_EQ(m_view->AddItemsAndSelect({added.path}, 0), 1);
    const NsIcon* item = m_view->FindItemByPath(added.path);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(m_view->IndexOfItem(const_cast<NsIcon*>(item)), 1) << "the hole below the cursor, not cell 3";
    EXPECT_EQ(MarkedCells(m_view->Grid()), 3);
}

TEST_F(DesktopView, TwoLoadsInFlightFillOneSetOfIcons)
{
    // One item of the desktop the test knows of, whatever else it holds.
    const std::wstring seeded = m_view->DesktopFolder() + L"\\veyra-view-test.txt";
    MakeReal(seeded);
    std::vector<FileItemRecord> listing;
    ASSERT_EQ(NsDesktop::ListDesktop(listing, kSandbox), 1);
    ASSERT_GE(listing.size(), 1u);

    ASSERT_EQ(m_view->Reload(std::wstring()), 1);
    ASSERT_EQ(m_view->Reload(std::wstring()), 1);
    // Three listings were posted (the fixture's load and the two reloads); only the newest fills.
    std::vector<LRESULT> results;
    EXPECT_TRUE(WaitFor([&] {
        MSG message{};
        while (PeekMessageW(&message, Host(), WM_NS_ITEMS_LOADED, WM_NS_ITEMS_LOADED, PM_REMOVE)) {
            results.push_back(m_view->OnViewMessage(message.message, message.wParam, message.lParam));
        }
        return results.size() == 3;
    }));
    std::sort(results.begin(), results.end());
    EXPECT_EQ(results, (std::vector<LRESULT>{0, 0, 1}));
    EXPECT_EQ(m_view->ItemCount(), static_cast<int>(listing.size()) + 1);
    EXPECT_NE(m_view->FindItemByPath(seeded), nullptr);
    EXPECT_EQ(MarkedCells(m_view->Grid()), m_view->ItemCount());

    // A posted listing the view did not hand out is neither filled nor freed.
    std::vector<FileItemRecord> foreign(2);
    EXPECT_EQ(m_view->OnViewMessage(WM_NS_ITEMS_LOADED, reinterpret_cast<WPARAM>(&foreign), m_view->ListingNumber()), 0);
    EXPECT_EQ(m_view->ItemCount(), static_cast<int>(listing.size()) + 1);
    DeleteFileW(seeded.c_str());
}

TEST_F(DesktopView, DragsWithoutFilePathsAreRefused)
{
    FillNoteAndFolder();
    const ComPtr<CIDropTarget> target = MakeDropTarget();
    struct Case {
        const char* name;
        ComPtr<CIDataObject> data;
    } cases[] = {
        {"an empty file list", MakeFileDataObject({})},
        {"text only", MakeFileDataObject({})},
    };
    // The first holds a CF_HDROP block naming no path; the second no file list at all.
    const DROPFILES header{sizeof(DROPFILES), {0, 0}, FALSE, TRUE};
    std::vector<BYTE> emptyList(sizeof(header) + 2 * sizeof(wchar_t), 0);
    memcpy(emptyList.data(), &header, sizeof(header));
    ASSERT_EQ(SetGlobalData(cases[0].data.get(), CF_HDROP, emptyList.data(), emptyList.size()), S_OK);
    ASSERT_EQ(SetGlobalData(cases[1].data.get(), CF_UNICODETEXT, L"C:\\x", 10), S_OK);
    for (Case& c : cases) {
        const POINT at = ScreenPointIn(m_folder->Record().cellRect);
        DWORD effect = DROPEFFECT_COPY;
        ASSERT_EQ(target->DragEnter(c.data.get(), MK_LBUTTON, POINTL{at.x, at.y}, &effect), S_OK) << c.name;
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << c.name;
        EXPECT_EQ(target->DragLeave(), S_OK);
        EXPECT_EQ(TakeHighlightMessage(), nullptr) << c.name << ": no folder lit";
    }
}

TEST_F(DesktopView, AFolderIconBecomesTheTargetAndIsLit)
{
    FillNoteAndFolder();
    const ComPtr<CIDropTarget> target = MakeDropTarget();
    const ComPtr<CIDataObject> data = MakeFileDataObject({m_root + L"\\note.txt"});
    const POINT onFolder = ScreenPointIn(m_folder->Record().cellRect);
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragEnter(data.get(), MK_LBUTTON, POINTL{onFolder.x, onFolder.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY)) << "from another program: a copy";
    EXPECT_EQ(target->CurrentTargetPath(), m_folder->Record().path);
    EXPECT_EQ(TakeHighlightMessage(), m_folder);
    EXPECT_EQ(m_view->DropHighlightItem(), m_folder);
    EXPECT_EQ(m_folder->CoverName(), kCoverClick);

    const POINT onEmpty = ScreenPointIn(m_view->Grid().Cells()[8].rect);
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragOver(MK_LBUTTON, POINTL{onEmpty.x, onEmpty.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(target->CurrentTargetPath(), m_view->DesktopFolder()) << "the desktop itself";
    EXPECT_EQ(m_view->DropHighlightItem(), nullptr) << "the folder is no longer lit";
    EXPECT_EQ(TakeHighlightMessage(), nullptr);
    EXPECT_EQ(target->DragLeave(), S_OK);

    // A highlight message naming an item the view no longer holds does nothing.
    std::vector<NsIcon*> leaving{m_folder};
    m_view->RemoveItems(leaving);
    EXPECT_EQ(m_view->OnViewMessage(WM_NS_DRAG_HIGHLIGHT, reinterpret_cast<WPARAM>(m_folder), 0), 0);
}

TEST_F(DesktopView, AFolderDraggedFromTheDesktopIsNoTargetForItself)
{
    FillNoteAndFolder();
    DragSourceWindow = Host();
    InternalDragFlag = 1;
    const ComPtr<CIDropTarget> target = MakeDropTarget();
    const ComPtr<CIDataObject> data = MakeFileDataObject({m_folder->Record().path});
    const POINT onFolder = ScreenPointIn(m_folder->Record().cellRect);
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragEnter(data.get(), MK_LBUTTON, POINTL{onFolder.x, onFolder.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(TakeHighlightMessage(), nullptr);
    EXPECT_EQ(target->Drop(data.get(), 0, POINTL{onFolder.x, onFolder.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << "nothing dropped";
}

TEST_F(DesktopView, AnIconDroppedOnAnEmptyCellOfItsDesktopMovesThereAndNoFileMoves)
{
    FillNoteAndFolder();
    DragSourceWindow = Host();
    InternalDragFlag = 1;
    static_cast<void>(m_view->Select(m_note, 0, kCoverClick));
    const std::wstring notePath = m_note->Record().path;
    const RECT wanted = m_view->Grid().Cells()[8].rect;  // column 1, row 2
    // The drop lands where the cursor is; the icon hangs below its hot spot.
    const POINT at = ScreenPointIn(wanted, 40 + DesktopGrid::kCursorLift);
    ASSERT_TRUE(SetCursorPos(at.x, at.y));
    ASSERT_TRUE(WaitFor([&] {
        POINT cursor{};
        return GetCursorPos(&cursor) && cursor.x == at.x && cursor.y == at.y;
    }));
    const ComPtr<CIDropTarget> target = MakeDropTarget();
    const ComPtr<CIDataObject> data = MakeFileDataObject({notePath});
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragEnter(data.get(), MK_LBUTTON, POINTL{at.x, at.y}, &effect), S_OK);
    ASSERT_EQ(target->Drop(data.get(), 0, POINTL{at.x, at.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY)) << "reported as the only effect offered";

    ASSERT_EQ(m_view->ItemCount(), 3);
    const NsIcon* moved = m_view->FindItemByPath(notePath);
    ASSERT_NE(moved, nullptr);
    EXPECT_TRUE(SameRect(moved->Record().cellRect, wanted));
    EXPECT_FALSE(m_view->Grid().IsOccupied(1)) << "its old cell is free";
    EXPECT_TRUE(m_view->Grid().IsOccupied(8));
    EXPECT_NE(GetFileAttributesW(notePath.c_str()), INVALID_FILE_ATTRIBUTES) << "the file stays where it was";
}

}  // namespace
