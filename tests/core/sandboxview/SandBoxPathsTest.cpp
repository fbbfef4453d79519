#include <gtest/gtest.h>
#include <shlobj.h>

#include "SandBoxViewFixture.h"

namespace veyra::test {
namespace {

TEST(SandBoxPaths, MappingToTheSandboxForSandboxZeroAndANumberedSandbox)
{
    struct Case {
        const wchar_t* path;
        int sandboxId;
        int result;
        const wchar_t* mapped;
    };
    const std::wstring tooLong = L"C:\\" + std::wstring(240, L'x');
    const std::wstring fits = L"C:\\" + std::wstring(259 - 3 - 19, L'f');  // 259 once mapped
    const Case cases[] = {
        {L"C:\\dir\\a.txt", 0, 1, L"C:\\KavoSANDBOX\\SHADOW\\dir\\a.txt"},
        {L"C:", 0, 1, L"C:\\KavoSANDBOX\\SHADOW"},
        {L"C:\\", 0, 1, L"C:\\KavoSANDBOX\\SHADOW\\"},
        {L"d:\\x", 12, 1, L"d:\\KavoSANDBOX\\00000012\\x"},
        {L"c:\\KAVOSANDBOX\\shadow\\x", 0, 1, L"c:\\KAVOSANDBOX\\shadow\\x"},  // already inside: unchanged
        {L"C:\\KavoSANDBOX\\SHADOWS\\x", 0, 1, L"C:\\KavoSANDBOX\\SHADOW\\KavoSANDBOX\\SHADOWS\\x"},
        {fits.c_str(), 0, 1, nullptr},
        // Refused: too short, UNC, device, drive-relative, escaping the sandbox folder, not a drive, too long.
        {L"C", 0, 0, nullptr},
        {L"\\\\server\\share\\x", 0, 0, nullptr},
        {L"\\\\?\\C:\\x", 0, 0, nullptr},
        {L"C:x", 0, 0, nullptr},
        {L"C:\\a\\..\\..\\Windows", 0, 0, nullptr},
        {L"C:\\.", 0, 0, nullptr},
        {L"C:/a", 0, 0, nullptr},
        {L"1:\\x", 0, 0, nullptr},
        {tooLong.c_str(), 0, 0, nullptr},
    };
    CSandBoxFileSystem view(0);
    for (const auto& item : cases) {
        std::wstring out = L"untouched";
        const int result = view.ToSandboxPath(item.path, out, item.sandboxId);
        EXPECT_EQ(item.result, result) << "path " << testing::PrintToString(std::wstring(item.path));
        if (item.result && item.mapped) {
            EXPECT_EQ(item.mapped, out);
        }
        if (item.result) {
            EXPECT_LE(out.size(), 259u);
        } else {
            EXPECT_EQ(L"untouched", out) << "a refused mapping names no path";
        }
    }
    std::wstring mapped;
    ASSERT_EQ(1, view.ToSandboxPath(fits, mapped, 0));
    EXPECT_EQ(259u, mapped.size());
    EXPECT_EQ(0, view.ToSandboxPath(fits + L"g", mapped, 0));
}

TEST(SandBoxPaths, MappingBackComparesExactly)
{
    struct Case {
        const wchar_t* path;
        int result;
        const wchar_t* real;
    };
    const Case cases[] = {
        {L"C:\\KavoSANDBOX\\SHADOW\\dir", 1, L"C:\\dir"},
        {L"C:\\KavoSANDBOX\\SHADOW\\", 1, L"C:\\"},
        {L"c:\\KAVOSANDBOX\\shadow\\x", 0, L"c:\\KAVOSANDBOX\\shadow\\x"},
        {L"C:\\KavoSANDBOX\\SHADOW", 0, L"C:\\KavoSANDBOX\\SHADOW"},
        {L"C:\\KavoSANDBOX\\SHADOWS\\x", 0, L"C:\\KavoSANDBOX\\SHADOWS\\x"},
        {L"C:\\dir", 0, L"C:\\dir"},
    };
    CSandBoxFileSystem view(0);
    for (const auto& item : cases) {
        std::wstring out;
        EXPECT_EQ(item.result, view.ToShadowedPath(item.path, out, 0)) << testing::PrintToString(std::wstring(item.path));
        EXPECT_EQ(item.real, out);
    }
    std::wstring viewPath;
    EXPECT_EQ(1, view.GetViewPath(L"C:\\dir\\a", viewPath, 0));
    EXPECT_EQ(L"C:\\dir\\a", viewPath);
    EXPECT_EQ(1, view.GetViewPath(L"D:\\KavoSANDBOX\\00000012\\q", viewPath, 12));
    EXPECT_EQ(L"D:\\q", viewPath);
    EXPECT_EQ(0, view.GetViewPath(L"C:\\KavoSANDBOX\\SHADOW", viewPath, 0));
    EXPECT_EQ(L"C:\\KavoSANDBOX\\SHADOW", viewPath);
}

TEST(SandBoxPaths, FolderTests)
{
    CSandBoxFileSystem view(0);
    EXPECT_EQ(1, view.IsInSandboxFolder(L"c:\\KAVOSANDBOX\\shadow\\x", 0));
    EXPECT_EQ(1, view.IsInSandboxFolder(L"C:\\KavoSANDBOX\\SHADOW", 0));
    EXPECT_EQ(0, view.IsInSandboxFolder(L"C:\\KavoSANDBOX\\SHADOWS", 0));
    EXPECT_EQ(0, view.IsInSandboxFolder(L"C:\\KavoSANDBOX\\SHADOW\\x", 3));
    EXPECT_EQ(1, view.IsSandboxRoot(L"C:\\KavoSANDBOX\\"));
    EXPECT_EQ(1, view.IsSandboxRoot(L"c:\\kavosandbox"));
    EXPECT_EQ(0, view.IsSandboxRoot(L"C:\\KavoSANDBOX\\SHADOW"));
    EXPECT_EQ(1, view.IsDriveRoot(L"C:\\"));
    EXPECT_EQ(0, view.IsDriveRoot(L"C:"));
    EXPECT_EQ(0, view.IsDriveRoot(L"C:\\a"));
    EXPECT_EQ(L"C:\\a", view.GetParentPath(L"C:\\a\\b"));
    EXPECT_EQ(L"C:\\", view.GetParentPath(L"C:\\a"));
}

TEST(SandBoxPaths, ShellNamesAndSwitches)
{
    CSandBoxFileSystem view(1);
    const std::wstring computer = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    EXPECT_EQ(1, view.IsShellNamespacePath(computer));
    EXPECT_EQ(0, view.IsShellNamespacePath(L":"));
    EXPECT_EQ(0, view.IsNotComputerFolder(computer));
    EXPECT_EQ(1, view.IsNotComputerFolder(L"::{20d04fe0-3aea-1069-a2d8-08002b30309d}"));
    EXPECT_EQ(L"我的电脑", view.GetComputerCaption(computer));
    EXPECT_EQ(L"C:\\x", view.GetComputerCaption(L"C:\\x"));
    EXPECT_EQ(computer, view.GetComputerPath(L"我的电脑"));
    EXPECT_EQ(L"C:\\x", view.GetComputerPath(L"C:\\x"));
    EXPECT_EQ(L"b.txt", view.GetDisplayName(L"C:\\a\\b.txt"));
    wchar_t desktop[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOP, FALSE));
    EXPECT_EQ(L"虚拟桌面", view.GetDisplayName(desktop));
    EXPECT_EQ(1, view.GetNoMerge());
    EXPECT_EQ(0, view.ToggleNoMerge());
    EXPECT_EQ(1, view.ToggleNoMerge());
}

TEST(SandBoxPaths, RecycleBinFolderByVersion)
{
    struct Case {
        DWORD major, minor;
        const wchar_t* folder;
    };
    const Case cases[] = {{5, 0, L""},          {5, 1, L"\\Recycle"}, {5, 2, L""},
                          {6, 0, L""},          {6, 1, L"\\$Recycle.Bin"}, {6, 3, L"\\$Recycle.Bin"},
                          {10, 0, L"\\$Recycle.Bin"}};
    for (const auto& item : cases) {
        EXPECT_EQ(item.folder, CSandBoxFileSystem::RecycleBinFolderFor(item.major, item.minor))
            << item.major << "." << item.minor;
    }
    CSandBoxFileSystem view(0);
    std::wstring text = L"C:";
    ASSERT_EQ(1, view.GetRecycleBinPath(text, 1));
    std::wstring sid;
    ASSERT_EQ(1, view.GetUserSidText(sid));
    EXPECT_EQ(0u, sid.rfind(L"S-1-", 0));
    EXPECT_EQ(L"C:\\$Recycle.Bin\\" + sid, text);
    EXPECT_EQ(1, view.IsRecycleBinPath(L"c:\\$RECYCLE.BIN\\x"));
    EXPECT_EQ(0, view.IsRecycleBinPath(L"C:\\$Recycle.Binary"));
}

using SandBoxResolution = SandBoxViewFixture;

TEST_F(SandBoxResolution, ResolutionTable)
{
    const std::wstring realOnly = m_root + L"\\real.txt";
    const std::wstring both = m_root + L"\\both.txt";
    const std::wstring shadowOnly = m_root + L"\\shadow.txt";
    const std::wstring marked = m_root + L"\\marked.txt";
    const std::wstring markedWithCopy = m_root + L"\\markedcopy.txt";
    const std::wstring missing = m_root + L"\\missing.txt";
    MakeReal(realOnly);
    MakeReal(both);
    MakeShadow(both);
    MakeShadow(shadowOnly);
    MakeReal(marked);
    MakeReal(markedWithCopy);
    MakeShadow(markedWithCopy);
    ASSERT_EQ(1, m_view.SetDeletedMark(marked, kSandbox));
    ASSERT_EQ(1, m_view.SetDeletedMark(markedWithCopy, kSandbox));

    struct Case {
        std::wstring path;
        int result;
        std::wstring resolved;
        int deleted;
        int classified;
    };
    const Case cases[] = {
        {realOnly, SBFS_EXISTS, realOnly, 0, SBFS_NOT_FOLDER},
        {both, SBFS_EXISTS, Shadow(both), 0, SBFS_NOT_FOLDER},
        {shadowOnly, SBFS_EXISTS, Shadow(shadowOnly), 0, SBFS_NOT_FOLDER},
        {marked, 0, marked, 1, SBFS_MARKED_DELETED},
        {markedWithCopy, SBFS_EXISTS, Shadow(markedWithCopy), 0, SBFS_MARKED_DELETED},
        {missing, SBFS_NOT_FOUND, missing, 0, SBFS_NOT_FOLDER},
        {m_root, SBFS_EXISTS, Shadow(m_root), 0, SBFS_FOLDER},  // its sandbox copy holds the copies above
        {L"C:", 1, L"C:", 0, SBFS_FOLDER},
        {L"\\\\server\\share", SBFS_NOT_FOUND, L"\\\\server\\share", 0, SBFS_NOT_FOLDER},
    };
    for (const auto& item : cases) {
        std::wstring resolved;
        int deleted = 7;
        EXPECT_EQ(item.result, m_view.ResolvePath(item.path, resolved, kSandbox, deleted))
            << testing::PrintToString(item.path);
        EXPECT_EQ(item.resolved, resolved);
        EXPECT_EQ(item.deleted, deleted);
        EXPECT_EQ(item.classified, m_view.ClassifyPath(item.path, kSandbox)) << testing::PrintToString(item.path);
        EXPECT_EQ(item.result == SBFS_EXISTS ? 1 : 0, m_view.PathExists(item.path, kSandbox));
    }
}

TEST_F(SandBoxResolution, SandboxFolderOverMarkedRealFileIsAFolder)
{
    const std::wstring path = m_root + L"\\thing";
    MakeReal(path);
    ASSERT_EQ(1, m_view.SetDeletedMark(path, kSandbox));
    ASSERT_TRUE(CreateFolderTree(Shadow(path)));
    EXPECT_EQ(SBFS_FOLDER, m_view.ClassifyPath(path, kSandbox));
}

TEST_F(SandBoxResolution, ShortcutResolvesToTheViewPathOfItsTarget)
{
    const std::wstring target = m_root + L"\\app.exe";
    MakeShadow(target);
    const std::wstring link = m_root + L"\\app.lnk";
    MakeShortcut(Shadow(link), Shadow(target));  // a shortcut made inside the sandbox names sandbox paths
    std::wstring resolved;
    ASSERT_NE(0, m_view.ResolveShortcut(link, resolved, kSandbox));
    EXPECT_EQ(target, resolved);
    EXPECT_EQ(0, m_view.ResolveShortcut(m_root + L"\\none.lnk", resolved, kSandbox));
}

}  // namespace
}  // namespace veyra::test
