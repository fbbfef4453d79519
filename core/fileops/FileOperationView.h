#pragma once
// What the file primitives need to know about the sandbox view: the view path a sandbox path stands
// for, whether a name is taken in a view folder and whether the view shows a path. The sandbox
// file-system view answers these once it is installed at start-up; until then (and in programs
// without a sandbox) the answers are those of the file system as it is.

#include <string>

namespace veyra {

class IFileOperationView {
public:
    // The path the user sees for `path` (a path inside the sandbox copy maps back; others are kept).
    virtual std::wstring GetViewPath(const std::wstring& path, int sandboxId) const = 0;
    // True when `folder` lists an entry named `name` (letter case ignored); with foldersOnly only
    // folders count.
    virtual bool NameExistsInFolder(const std::wstring& folder, const std::wstring& name, bool foldersOnly,
                                    int sandboxId) const = 0;
    // True when the view shows an item at the view path `path` (its sandbox copy, or a real item
    // without a deletion mark).
    virtual bool PathShown(const std::wstring& path, int sandboxId) const = 0;

protected:
    ~IFileOperationView() = default;
};

// Installs the view (nullptr puts back the plain file system); returns the previous one.
IFileOperationView* SetFileOperationView(IFileOperationView* view) noexcept;
// The installed view, or the plain file system.
[[nodiscard]] const IFileOperationView& GetFileOperationView() noexcept;

}  // namespace veyra
