#include "FileOperationView.h"

#include <windows.h>

#include <atomic>

namespace veyra {

namespace {

class PlainFileSystem final : public IFileOperationView {
public:
    std::wstring GetViewPath(const std::wstring& path, int) const override { return path; }

    bool NameExistsInFolder(const std::wstring& folder, const std::wstring& name, bool foldersOnly,
                            int) const override
    {
        // The file system compares names without letter case, as the view's name test does.
        const DWORD attributes = GetFileAttributesW((folder + L"\\" + name).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return false;
        }
        return !foldersOnly || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    bool PathShown(const std::wstring& path, int) const override
    {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

PlainFileSystem s_plainFileSystem;
std::atomic<IFileOperationView*> s_view{nullptr};

}  // namespace

IFileOperationView* SetFileOperationView(IFileOperationView* view) noexcept
{
    return s_view.exchange(view);
}

const IFileOperationView& GetFileOperationView() noexcept
{
    IFileOperationView* view = s_view.load();
    return view ? *view : s_plainFileSystem;
}

}  // namespace veyra
