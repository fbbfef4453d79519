#pragma once
// The per-file transfers, questions and notices that the view's writes hand off to the file-operation
// engine. The view sits below that engine, so it reaches them through this interface: the engine installs
// its prompting implementation with CSandBoxFileSystem::SetFilePrimitives at start-up; until then (and in
// the view's own tests) the plain one below answers, which behaves as the prompting one does without an
// operation context: one system call, no question, no notice.

#include <string>

namespace veyra {

struct FileOperationContext;  // the running operation's state, owned by the file-operation engine

class SandBoxFilePrimitives {
public:
    virtual ~SandBoxFilePrimitives() = default;

    // Nonzero when the file was copied; asks the conflict and in-use questions when a context is given.
    virtual int CopyFileWithPrompts(const std::wstring& existingPath, const std::wstring& newPath, int failIfExists,
                                    int ownerKey, FileOperationContext* context) = 0;
    // Nonzero when the file was moved.
    virtual int MoveFileWithPrompts(const std::wstring& existingPath, const std::wstring& newPath, int ownerKey,
                                    FileOperationContext* context) = 0;
    // The result of DeleteFileW, after the in-use retries that a context allows.
    virtual int DeleteFileWithRetry(const std::wstring& path, int ownerKey, FileOperationContext* context) = 0;
    // Announces one changed view path; 1 when a context was given (and so a notice sent), else 0.
    virtual int NotifyPathDone(const std::wstring& path, int ownerKey, FileOperationContext* context) = 0;
    // The in-use question: true to try again. A refusal must stop the operation, that is set the stop bit
    // (0x8) of the context's answer when there is a context.
    virtual bool AskRetryFileInUse(FileOperationContext** context) = 0;
};

// Context-free behaviour: CopyFileW, MoveFileExW, DeleteFileW; no notices; an in-use file is not retried.
class PlainFilePrimitives final : public SandBoxFilePrimitives {
public:
    int CopyFileWithPrompts(const std::wstring& existingPath, const std::wstring& newPath, int failIfExists, int ownerKey,
                            FileOperationContext* context) override;
    int MoveFileWithPrompts(const std::wstring& existingPath, const std::wstring& newPath, int ownerKey,
                            FileOperationContext* context) override;
    int DeleteFileWithRetry(const std::wstring& path, int ownerKey, FileOperationContext* context) override;
    int NotifyPathDone(const std::wstring& path, int ownerKey, FileOperationContext* context) override;
    bool AskRetryFileInUse(FileOperationContext** context) override;
};

}  // namespace veyra
