#include "SandBoxViewFixture.h"

#include <shlobj.h>

#include "base/ComPtr.h"

namespace veyra::test {

namespace {

constexpr wchar_t kTestMarkRoot[] = L"KavoSandBox\\00004711";

std::wstring ParentOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

}  // namespace

void SandBoxViewFixture::SetUp()
{
    m_comReady = SUCCEEDED(CoInitialize(nullptr));
    m_root = m_real.Path();
    RemoveTestSandbox();
}

void SandBoxViewFixture::TearDown()
{
    RemoveTestSandbox();
    if (m_comReady) {
        CoUninitialize();
    }
}

void SandBoxViewFixture::RemoveTestSandbox()
{
    for (const wchar_t* drive : {L"C:", L"D:"}) {
        const std::wstring folder = std::wstring(drive) + L"\\KavoSANDBOX\\00004711";
        if (GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES) {
            RemoveTree(folder);
        }
    }
    RegDeleteTreeW(HKEY_USERS, kTestMarkRoot);
    RegDeleteKeyW(HKEY_USERS, kTestMarkRoot);
}

std::wstring SandBoxViewFixture::Shadow(const std::wstring& viewPath) const
{
    std::wstring shadow;
    EXPECT_TRUE(m_view.ToSandboxPath(viewPath, shadow, kSandbox));
    return shadow;
}

void SandBoxViewFixture::MakeReal(const std::wstring& path, const std::string& bytes)
{
    ASSERT_TRUE(CreateFolderTree(ParentOf(path)));
    ASSERT_TRUE(WriteFileBytes(path, bytes));
}

void SandBoxViewFixture::MakeShadow(const std::wstring& viewPath, const std::string& bytes)
{
    MakeReal(Shadow(viewPath), bytes);
}

void SandBoxViewFixture::MakeShortcut(const std::wstring& linkPath, const std::wstring& target)
{
    ComPtr<IShellLinkW> link;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void()));
    ASSERT_HRESULT_SUCCEEDED(link->SetPath(target.c_str()));
    ComPtr<IPersistFile> file;
    ASSERT_HRESULT_SUCCEEDED(link.As(IID_IPersistFile, file));
    ASSERT_TRUE(CreateFolderTree(ParentOf(linkPath)));
    ASSERT_HRESULT_SUCCEEDED(file->Save(linkPath.c_str(), FALSE));
}

std::vector<std::wstring> SandBoxViewFixture::Names(const std::wstring& folder, ListingScope scope)
{
    std::vector<FileItemRecord> items;
    EXPECT_EQ(1, m_view.ListFolder(folder, items, kSandbox, scope));
    std::vector<std::wstring> names;
    for (const auto& item : items) {
        names.push_back(item.path.substr(item.path.find_last_of(L'\\') + 1));
    }
    return names;
}

const FileItemRecord* SandBoxViewFixture::Find(const std::vector<FileItemRecord>& items, const std::wstring& name)
{
    for (const auto& item : items) {
        if (item.path.size() >= name.size() && item.path.compare(item.path.size() - name.size(), name.size(), name) == 0 &&
            item.path[item.path.size() - name.size() - 1] == L'\\') {
            return &item;
        }
    }
    return nullptr;
}

std::wstring ScratchFolderOnD(const std::wstring& name)
{
    if (GetDriveTypeW(L"D:\\") == DRIVE_NO_ROOT_DIR) {
        return {};
    }
    const std::wstring folder = L"D:\\" + name + L"-" + std::to_wstring(GetCurrentProcessId());
    RemoveTree(folder);
    return CreateFolderTree(folder) ? folder : std::wstring();
}

}  // namespace veyra::test
