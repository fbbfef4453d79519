// The view's file commands on a real folder view with the real tree watched: new names, the desktop's
// clipboard, shortcuts, the rename box's selection and open file location. A recording window stands in
// for the desktop window: it keeps the operations the starters hand it and the folder requests it gets.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/Window.h"
#include "core/clipboard/ClipboardStore.h"
#include "core/fileops/NsOperations.h"
#include "core/fileops/OperationStarters.h"
#include "shell/dragdrop/DragState.h"
#include "shell/protocol/WindowProtocol.h"
#include "tests/shell/explorer/ExplorerFixture.h"
#include "tests/shell/explorer/ListedView.h"
#include "tests/support/TreeSnapshot.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr WORD kRenameCommand = 32802;

struct StartedOperation {
    int type;
    std::vector<std::wstring> sources;
    std::wstring destination;
};

// The desktop window of the test's owner key: records instead of running.
class DesktopRecorder final : public MappedWindow<DesktopRecorder> {
public:
    explicit DesktopRecorder(int ownerKey) : m_ownerKey(ownerKey)
    {
        WindowPlacement placement;
        placement.style = WS_OVERLAPPED;
        EXPECT_TRUE(Create(WindowClass{L"VeyraViewCommandsDesktop"}, L"desktop", placement));
        RegisterHostWindow(m_ownerKey, Handle());
    }
    ~DesktopRecorder() override
    {
        RegisterHostWindow(m_ownerKey, nullptr);
        DestroyWindow(Handle());
    }
    static std::span<const Entry> Messages()
    {
        static const Entry entries[] = {{WM_NS_START_OPERATION, &DesktopRecorder::OnStart},
                                        {WM_COPYDATA, &DesktopRecorder::OnCopyData}};
        return entries;
    }

    std::vector<StartedOperation> started;
    std::vector<OpenFolderRequest> requests;
    std::vector<DWORD> requestSizes;

private:
    LRESULT OnStart(WPARAM wParam, LPARAM)
    {
        auto* operation = reinterpret_cast<NsOperate*>(wParam);
        if (auto* copy = dynamic_cast<NsCopyOperate*>(operation)) {
            started.push_back({copy->type, copy->sources, copy->destination});
        } else if (auto* move = dynamic_cast<NsMoveOperate*>(operation)) {
            started.push_back({move->type, move->sources, move->destination});
        }
        return 1;
    }
    LRESULT OnCopyData(WPARAM, LPARAM lParam)
    {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        OpenFolderRequest request{};
        if (data && data->dwData == COPYDATA_OPEN_FOLDER) {
            requestSizes.push_back(data->cbData);
            if (CheckOpenFolderRequest(data, request) == RecordCheck::Accepted) {
                requests.push_back(request);
            }
        }
        return 1;
    }

    int m_ownerKey;
};

class ViewCommandsTest : public ExplorerFixture {
protected:
    void SetUp() override
    {
        ExplorerFixture::SetUp();
        g_clipboardStore.Remove(kSandbox);
    }
    void TearDown() override
    {
        g_clipboardStore.Remove(kSandbox);
        ExplorerFixture::TearDown();
    }
    std::unique_ptr<ListedView> MakeView(HWND host = nullptr, const std::wstring& folder = {})
    {
        auto view = std::make_unique<ListedView>(m_panel.get(), host ? host : Host(), kSandbox);
        const std::wstring path = folder.empty() ? m_root : folder;
        std::uint32_t mode = 0;
        EXPECT_EQ(view->ChooseViewMode(path, &mode, 0), 1);
        view->SetCurrentPath(path);
        return view;
    }
    std::wstring At(const std::wstring& name) const { return m_root + L"\\" + name; }
    bool InSandbox(const std::wstring& path) const
    {
        return GetFileAttributesW(Shadow(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // The posted rename commands waiting for `window`, taken off the queue.
    static int RenameCommandsFor(HWND window)
    {
        int count = 0;
        MSG message{};
        while (PeekMessageW(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
            count += LOWORD(message.wParam) == kRenameCommand ? 1 : 0;
        }
        return count;
    }
};

TEST_F(ViewCommandsTest, NewTextDocumentTakesTheFirstFreeNumber)
{
    MakeReal(At(L"新建文本文档.txt"));
    MakeReal(At(L"新建文本文档 (2).txt"));
    const RealTreeGuard guard(m_root);
    auto view = MakeView();
    RenameCommandsFor(Host());

    EXPECT_EQ(view->NewTextDocument(m_root), SBFS_FILE_CREATED);
    const std::wstring made = At(L"新建文本文档 (3).txt");
    EXPECT_TRUE(InSandbox(made));
    NsIcon* item = view->FindItemByPath(made);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(view->SelectedItems(), std::vector<NsIcon*>{item});
    EXPECT_EQ(RenameCommandsFor(Host()), 1);  // the user types the name at once
    EXPECT_TRUE(guard.Unchanged());
}

TEST_F(ViewCommandsTest, NewFolderWithAllHundredNamesTakenMakesNothing)
{
    CreateFolderTree(At(L"新建文件夹"));
    for (int number = 2; number <= 100; ++number) {
        CreateFolderTree(At(L"新建文件夹 (" + std::to_wstring(number) + L")"));
    }
    const RealTreeGuard guard(m_root);
    auto view = MakeView();
    EXPECT_EQ(view->NewFolder(m_root), SBFS_CREATE_FAILED);
    EXPECT_EQ(view->ItemCount(), 0);
    EXPECT_FALSE(InSandbox(At(L"新建文件夹 (101)")));
    EXPECT_EQ(RenameCommandsFor(Host()), 0);

    // One name free again (in the view only: the real folder stays, a deletion mark hides it).
    ASSERT_EQ(CSandBoxFileSystem::Instance().SetDeletedMark(At(L"新建文件夹 (57)"), kSandbox), 1);
    EXPECT_EQ(view->NewFolder(m_root), SBFS_FOLDER_READY);
    EXPECT_NE(view->FindItemByPath(At(L"新建文件夹 (57)")), nullptr);
    EXPECT_TRUE(guard.Unchanged());
}

TEST_F(ViewCommandsTest, PasteAfterCutMovesOnceThenDoesNothing)
{
    MakeReal(At(L"a.txt"));
    MakeReal(At(L"b.txt"));
    const std::wstring target = At(L"target");
    CreateFolderTree(target);
    const RealTreeGuard guard(m_root);
    DesktopRecorder desktop(kSandbox);
    auto view = MakeView();
    ASSERT_EQ(view->Fill(), 1);

    EXPECT_EQ(view->CopySelection(0), 0);  // nothing selected: nothing stored
    EXPECT_EQ(g_clipboardStore.Contains(kSandbox), 0);
    ASSERT_EQ(view->Select(view->FindItemByPath(At(L"b.txt")), 0, kCoverClick), 1);
    ASSERT_EQ(view->Select(view->FindItemByPath(At(L"a.txt")), 0, kCoverClick), 1);
    ASSERT_EQ(view->CopySelection(0), 1);
    EXPECT_EQ(view->PasteItems(target), 1);
    ASSERT_EQ(desktop.started.size(), 1u);
    EXPECT_EQ(desktop.started[0].type, OperationType::kMove);
    EXPECT_EQ(desktop.started[0].sources, (std::vector<std::wstring>{At(L"b.txt"), At(L"a.txt")}));  // selection order
    EXPECT_EQ(desktop.started[0].destination, target);
    EXPECT_EQ(g_clipboardStore.Contains(kSandbox), 0);

    EXPECT_EQ(view->PasteItems(target), 0);
    EXPECT_EQ(desktop.started.size(), 1u);

    // A copy leaves the sources where they are; its entry goes after one paste too.
    ASSERT_EQ(view->CopySelection(1), 1);
    EXPECT_EQ(view->PasteItems(target), 1);
    ASSERT_EQ(desktop.started.size(), 2u);
    EXPECT_EQ(desktop.started[1].type, OperationType::kCopy);
    EXPECT_EQ(g_clipboardStore.Contains(kSandbox), 0);
    EXPECT_TRUE(guard.Unchanged());
}

TEST_F(ViewCommandsTest, DrivesAndTheComputerItemAreNeitherCutNorDeleted)
{
    auto view = MakeView();
    FileItemRecord drive = MakeRecord(L"C:", kFileKindDrive, 0, DRIVE_FIXED);
    ASSERT_EQ(view->AddItemForRecord(drive, 1, 0), 1);
    ASSERT_EQ(view->AddComputerItem(kComputerItemPath), 1);
    view->SelectAll(1, kCoverClick);
    ASSERT_EQ(view->SelectedItems().size(), 2u);
    EXPECT_EQ(view->CopySelection(0), 0);
    EXPECT_EQ(g_clipboardStore.Contains(kSandbox), 0);
    EXPECT_EQ(view->DeleteSelection(), 1);
    EXPECT_EQ(CSandBoxFileSystem::Instance().IsMarkedDeleted(L"C:", kSandbox), 0);
    EXPECT_EQ(view->CreateShortcuts(), 0);
}

TEST_F(ViewCommandsTest, ThreeSelectedGiveThreeShortcuts)
{
    for (const wchar_t* name : {L"one.txt", L"two.txt"}) {
        MakeReal(At(name));
    }
    CreateFolderTree(At(L"folder"));
    const RealTreeGuard guard(m_root);
    auto view = MakeView();
    ASSERT_EQ(view->Fill(), 1);
    view->SelectAll(1, kCoverClick);
    ASSERT_EQ(view->SelectedItems().size(), 3u);

    EXPECT_EQ(view->CreateShortcuts(), 1);
    EXPECT_EQ(view->ItemCount(), 6);
    int links = 0;
    for (int index = 0; index < view->ItemCount(); ++index) {
        const FileItemRecord& record = view->ItemAt(index)->Record();
        if (record.isShortcut) {
            ++links;
            EXPECT_TRUE(InSandbox(record.path)) << index;
        }
    }
    EXPECT_EQ(links, 3);
    EXPECT_EQ(RenameCommandsFor(Host()), 0);
    EXPECT_TRUE(guard.Unchanged());
}

TEST_F(ViewCommandsTest, RenameBoxSelectsTheStemOrTheWholeName)
{
    MakeReal(At(L"report.final.doc"));
    MakeReal(At(L"noextension"));
    CreateFolderTree(At(L"a.b"));
    struct Case {
        const wchar_t* name;
        DWORD selectedEnd;
        std::uint32_t mode;
        LRESULT limit;
    };
    const Case cases[] = {{L"report.final.doc", 12, VIEW_MODE_FOLDER, 200},
                          {L"a.b", 3, VIEW_MODE_FOLDER, 200},
                          {L"noextension", 11, VIEW_MODE_FOLDER, 200},
                          {L"report.final.doc", 12, VIEW_MODE_COMPUTER, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.limit);
        auto view = MakeView();
        ASSERT_EQ(view->Fill(), 1);
        view->SetViewMode(c.mode);
        ASSERT_EQ(view->Select(view->FindItemByPath(At(c.name)), 0, kCoverClick), 1);
        ASSERT_EQ(view->BeginRename(), 1);
        const HWND box = view->RenameEditor()->Handle();
        DWORD start = 99, end = 0;
        SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, c.selectedEnd);
        EXPECT_EQ(SendMessageW(box, EM_GETLIMITTEXT, 0, 0), c.limit);
    }
}

TEST_F(ViewCommandsTest, NoRenameWhileAViewsDragRuns)
{
    MakeReal(At(L"a.txt"));
    auto view = MakeView();
    ASSERT_EQ(view->Fill(), 1);
    ASSERT_EQ(view->Select(view->ItemAt(0), 0, kCoverClick), 1);
    InternalDragFlag = 1;
    EXPECT_EQ(view->BeginRename(), 0);
    InternalDragFlag = 0;
    EXPECT_EQ(view->RenameEditor(), nullptr);
    EXPECT_EQ(view->BeginRename(), 1);
}

TEST_F(ViewCommandsTest, OpenFileLocationSelectsHereOrAsksTheDesktop)
{
    CreateFolderTree(At(L"elsewhere"));
    MakeReal(At(L"here.txt"));
    MakeReal(At(L"elsewhere\\there.txt"));
    MakeShortcut(At(L"here.lnk"), At(L"here.txt"));
    MakeShortcut(At(L"there.lnk"), At(L"elsewhere\\there.txt"));
    DesktopRecorder desktop(kSandbox);
    // A folder view's host is a child of the desktop window, which gets the request.
    UniqueWindow host(CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, desktop.Handle(), nullptr,
                                      nullptr, nullptr));
    ASSERT_TRUE(host);
    auto view = MakeView(host.get());
    ASSERT_EQ(view->Fill(), 1);

    EXPECT_EQ(view->OpenFileLocation(), 0);  // no focus item
    ASSERT_EQ(view->Select(view->FindItemByPath(At(L"here.txt")), 0, kCoverClick), 1);
    EXPECT_EQ(view->OpenFileLocation(), 0);  // not a shortcut

    view->ClearSelection(kCoverNormal, kCoverLeave);
    ASSERT_EQ(view->Select(view->FindItemByPath(At(L"here.lnk")), 0, kCoverClick), 1);
    EXPECT_EQ(view->OpenFileLocation(), 1);
    EXPECT_EQ(view->IsSelected(view->FindItemByPath(At(L"here.txt"))), 1);
    EXPECT_TRUE(desktop.requestSizes.empty());

    view->ClearSelection(kCoverNormal, kCoverLeave);
    ASSERT_EQ(view->Select(view->FindItemByPath(At(L"there.lnk")), 0, kCoverClick), 1);
    EXPECT_EQ(view->OpenFileLocation(), 1);
    ASSERT_EQ(desktop.requestSizes, std::vector<DWORD>{1044});
    ASSERT_EQ(desktop.requests.size(), 1u);
    EXPECT_EQ(desktop.requests[0].owner, kSandbox);
    EXPECT_STREQ(desktop.requests[0].folder, At(L"elsewhere").c_str());
    EXPECT_STREQ(desktop.requests[0].select, At(L"elsewhere\\there.txt").c_str());
}

TEST_F(ViewCommandsTest, OpenFileLocationOfAnUnshownTargetInThisFolderSelectsNothing)
{
    MakeReal(At(L"here.txt"));
    MakeShortcut(At(L"here.lnk"), At(L"here.txt"));
    auto view = MakeView();
    FileItemRecord link = MakeRecord(At(L"here.lnk"), kFileKindFile, 1);
    ASSERT_EQ(view->AddItemForRecord(link, 1, 1), 1);
    EXPECT_EQ(view->OpenFileLocation(), 0);
    EXPECT_EQ(view->SelectedItems().size(), 1u);
}

}  // namespace
