#pragma once
// The state of one running file operation, and its units of work. A worker keeps its context on its
// own stack and hands it by pointer to the sandbox view's writes, the file primitives and every
// question; the rename checks build one on the UI thread. Only the thread that owns the context
// touches it.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace veyra {

class OperationProgress;

// Operation types and the item bits added to them while a folder item is worked.
namespace OperationType {
constexpr int kCopy = 1;
constexpr int kMove = 2;
constexpr int kDelete = 4;
constexpr int kRename = 8;
constexpr int kFolderMade = 0x10;
constexpr int kFolderRemoved = 0x20;
// Moved or renamed source folders are removed as a delete would remove them.
constexpr int kRemoveSourceFolders = kDelete | kFolderRemoved;
}  // namespace OperationType

// The conflict answer word of the file-conflict box.
namespace ConflictAnswer {
constexpr int kReplace = 0x1;
constexpr int kSkip = 0x2;
constexpr int kKeepBoth = 0x4;
constexpr int kStop = 0x8;
constexpr int kApplyToAll = static_cast<int>(0x80000000u);
}  // namespace ConflictAnswer

struct FileOperationItem {
    int id = 1;
    int isFolder = 0;
    std::wstring source;
    // Copy and move file items: the target folder; rename file items: the full target path; folder
    // items: the full target folder; delete items: empty.
    std::wstring target;
    std::uint64_t size = 0;
};

using FileOperationItems = std::vector<FileOperationItem>;

struct FileOperationContext {
    HWND ownerWindow = nullptr;
    int type = 0;
    int id = 1;
    // Borrowed: the operation that runs this context holds the reference for as long as it runs.
    OperationProgress* progressDialog = nullptr;
    int ownerKey = 0;
    int answer = 0;
    int count = 0;
    std::wstring sourcePath;
    std::wstring targetPath;
    std::wstring keepBothName;
    std::wstring buttonText1;
    std::wstring buttonText2;
    std::wstring buttonText3;

    void Initialise(HWND window, int operationType, OperationProgress* progress, int key) noexcept
    {
        ownerWindow = window;
        type = operationType;
        progressDialog = progress;
        ownerKey = key;
    }
    void SetCount(int value) noexcept { count = value; }
    void SetId(int value) noexcept { id = value; }

    [[nodiscard]] bool Stopped() const noexcept { return (answer & ConflictAnswer::kStop) != 0; }
    void Stop() noexcept { answer |= ConflictAnswer::kStop; }
};

}  // namespace veyra
