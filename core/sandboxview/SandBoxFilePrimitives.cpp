#include "SandBoxFilePrimitives.h"

#include <windows.h>

namespace veyra {

int PlainFilePrimitives::CopyFileWithPrompts(const std::wstring& existingPath, const std::wstring& newPath,
                                             int failIfExists, int, FileOperationContext*)
{
    return CopyFileW(existingPath.c_str(), newPath.c_str(), failIfExists) ? 1 : 0;
}

int PlainFilePrimitives::MoveFileWithPrompts(const std::wstring& existingPath, const std::wstring& newPath, int,
                                             FileOperationContext*)
{
    return MoveFileExW(existingPath.c_str(), newPath.c_str(), 0) ? 1 : 0;
}

int PlainFilePrimitives::DeleteFileWithRetry(const std::wstring& path, int, FileOperationContext*)
{
    return DeleteFileW(path.c_str()) ? 1 : 0;
}

int PlainFilePrimitives::NotifyPathDone(const std::wstring&, int, FileOperationContext*)
{
    return 0;  // nobody to tell without the engine
}

bool PlainFilePrimitives::AskRetryFileInUse(FileOperationContext**)
{
    return false;
}

}  // namespace veyra
