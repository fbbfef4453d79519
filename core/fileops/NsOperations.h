#pragma once
// The four file operations. Each carries what its starter was given and runs its worker on a thread
// of its own (Start); the worker holds a reference for as long as it runs.

#include <string>
#include <vector>

#include "FileOperationContext.h"
#include "NsOperate.h"

namespace veyra {

class NsCopyOperate final : public NsOperate {
public:
    NsCopyOperate(std::vector<std::wstring> sourcePaths, std::wstring destinationFolder, int key, int inView)
        : NsOperate(OperationType::kCopy, key), sources(std::move(sourcePaths)),
          destination(std::move(destinationFolder)), sourcesInView(inView)
    {
    }
    [[nodiscard]] HANDLE Start() noexcept override { return StartWorker(); }

    std::vector<std::wstring> sources;
    std::wstring destination;
    // 1: the sources are view paths (the program's own clipboard or drag); 0: real paths (another
    // program's drop).
    int sourcesInView;

private:
    DWORD RunWorker() noexcept override;
};

class NsMoveOperate final : public NsOperate {
public:
    NsMoveOperate(std::vector<std::wstring> sourcePaths, std::wstring destinationFolder, int key)
        : NsOperate(OperationType::kMove, key), sources(std::move(sourcePaths)),
          destination(std::move(destinationFolder))
    {
    }
    [[nodiscard]] HANDLE Start() noexcept override { return StartWorker(); }

    std::vector<std::wstring> sources;
    std::wstring destination;

private:
    DWORD RunWorker() noexcept override;
};

class NsDeleteOperate final : public NsOperate {
public:
    NsDeleteOperate(std::vector<std::wstring> paths, int key)
        : NsOperate(OperationType::kDelete, key), sources(std::move(paths))
    {
    }
    [[nodiscard]] HANDLE Start() noexcept override { return StartWorker(); }

    std::vector<std::wstring> sources;

private:
    DWORD RunWorker() noexcept override;
};

class NsRenameOperate final : public NsOperate {
public:
    NsRenameOperate(std::wstring oldFullPath, std::wstring newFullPath, int key)
        : NsOperate(OperationType::kRename, key), oldPath(std::move(oldFullPath)), newPath(std::move(newFullPath))
    {
    }
    [[nodiscard]] HANDLE Start() noexcept override { return StartWorker(); }

    std::wstring oldPath;
    std::wstring newPath;

private:
    DWORD RunWorker() noexcept override;
};

// The worker routines; each returns 1 after a full run, 0 on its early exits.
DWORD CopyWorkerThread(NsCopyOperate* operation) noexcept;
DWORD MoveWorkerThread(NsMoveOperate* operation) noexcept;
DWORD DeleteWorkerThread(NsDeleteOperate* operation) noexcept;
DWORD RenameWorkerThread(NsRenameOperate* operation) noexcept;

}  // namespace veyra
