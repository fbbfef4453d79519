#pragma once
// Joins the file-operation engine and the sandbox view, which call each other: the view's writes
// hand each file to the engine's prompting primitives, and the primitives ask the view for view
// paths and taken names. Start-up calls this once, before any operation runs.

namespace veyra {

class CSandBoxFileSystem;

void InstallFileOperationEngine(CSandBoxFileSystem& view) noexcept;

}  // namespace veyra
