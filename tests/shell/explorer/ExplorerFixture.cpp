#include "tests/shell/explorer/ExplorerFixture.h"

#include <thread>

#include "shell/explorer/ViewMessages.h"
#include "shell/skin/SkinBinding.h"

namespace veyra::test {

void ExplorerFixture::SetUp()
{
    IconViewFixture::SetUp();
    ASSERT_EQ(skin::CreateResourcePack(skin::ImagePack), S_OK);
    ASSERT_EQ(skin::ImagePack->Load(0, (m_suite->ThemeFolder() + L"\\KavoSandBox\\KavoSandbox.xml").c_str()), S_OK);
    m_panel = BuildView(L"NsExplorer.xml", 1005);
    ASSERT_TRUE(m_panel);
}

void ExplorerFixture::TearDown()
{
    m_panel.reset();
    skin::ImagePack.reset();
    IconViewFixture::TearDown();
}

std::unique_ptr<NsExplorer> ExplorerFixture::MakeFolderView()
{
    auto view = std::make_unique<NsExplorer>(m_panel.get(), Host(), kSandbox);
    std::uint32_t mode = 0;
    EXPECT_EQ(view->ChooseViewMode(m_root, &mode, 0), 1);
    EXPECT_EQ(mode, VIEW_MODE_FOLDER);
    return view;
}

NsIcon* ExplorerFixture::AddFile(NsExplorer& view, const std::wstring& name, int kind, const std::string& bytes)
{
    const std::wstring path = m_root + L"\\" + name;
    if (kind == kFileKindFolder) {
        CreateFolderTree(path);
    } else {
        MakeReal(path, bytes);
    }
    FileItemRecord record = MakeRecord(path, kind);
    record.sandboxId = kSandbox;
    if (!view.AddItemForRecord(record, 1, 0)) {
        return nullptr;
    }
    return view.ItemAt(view.ItemCount() - 1);
}

NsIcon* ExplorerFixture::WaitForIconMessage(std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    MSG message{};
    do {
        if (PeekMessageW(&message, Host(), WM_NS_ICON_LOADED, WM_NS_ICON_LOADED, PM_REMOVE)) {
            return reinterpret_cast<NsIcon*>(message.wParam);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_POSTMESSAGE);
    } while (std::chrono::steady_clock::now() < end);
    return nullptr;
}

bool ExplorerFixture::IconMessageWaiting()
{
    MSG message{};
    return PeekMessageW(&message, Host(), WM_NS_ICON_LOADED, WM_NS_ICON_LOADED, PM_NOREMOVE) != FALSE;
}

}  // namespace veyra::test
