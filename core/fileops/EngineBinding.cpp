#include "EngineBinding.h"

#include "FileOperationView.h"
#include "FilePrimitives.h"
#include "OperationPrompts.h"
#include "core/sandboxview/CSandBoxFileSystem.h"

namespace veyra {

namespace {

class EngineFilePrimitives final : public SandBoxFilePrimitives {
public:
    int CopyFileWithPrompts(const std::wstring& existingPath, const std::wstring& newPath, int failIfExists,
                            int ownerKey, FileOperationContext* context) override
    {
        return veyra::CopyFileWithPrompts(existingPath, newPath, failIfExists, ownerKey, context);
    }
    int MoveFileWithPrompts(const std::wstring& existingPath, const std::wstring& newPath, int ownerKey,
                            FileOperationContext* context) override
    {
        return veyra::MoveFileWithPrompts(existingPath, newPath, ownerKey, context);
    }
    int DeleteFileWithRetry(const std::wstring& path, int ownerKey, FileOperationContext* context) override
    {
        return veyra::DeleteFileWithRetry(path, ownerKey, context);
    }
    int NotifyPathDone(const std::wstring& path, int ownerKey, FileOperationContext* context) override
    {
        return veyra::NotifyPathDone(path, ownerKey, context);
    }
    bool AskRetryFileInUse(FileOperationContext** context) override
    {
        FileOperationContext* asking = context ? *context : nullptr;
        if (veyra::AskRetryFileInUse(asking)) {
            return true;
        }
        if (asking) {
            asking->Stop();
        }
        return false;
    }
};

class SandBoxViewNames final : public IFileOperationView {
public:
    explicit SandBoxViewNames(const CSandBoxFileSystem& view) noexcept : m_view(view) {}

    std::wstring GetViewPath(const std::wstring& path, int sandboxId) const override
    {
        std::wstring viewPath;
        return m_view.GetViewPath(path, viewPath, sandboxId) ? viewPath : path;
    }
    bool NameExistsInFolder(const std::wstring& folder, const std::wstring& name, bool foldersOnly,
                            int sandboxId) const override
    {
        return m_view.NameExistsInFolder(folder, name, foldersOnly ? 1 : 0, sandboxId) != 0;
    }
    bool PathShown(const std::wstring& path, int sandboxId) const override
    {
        return m_view.PathExists(path, sandboxId) != 0;
    }

private:
    const CSandBoxFileSystem& m_view;
};

}  // namespace

void InstallFileOperationEngine(CSandBoxFileSystem& view) noexcept
{
    static EngineFilePrimitives primitives;
    static SandBoxViewNames names(view);
    view.SetFilePrimitives(&primitives);
    (void)SetFileOperationView(&names);
}

}  // namespace veyra
