#pragma once
// Status values of the sandbox file-system view. They are 32-bit words with the top bit set, so they never
// collide with the plain 0 / 1 answers that some of the same operations give.

#include <cstdint>

namespace veyra {

constexpr int SandBoxResult(std::uint32_t value) noexcept
{
    return static_cast<int>(value);
}

constexpr int SBFS_EXISTS = SandBoxResult(0x90001001);          // in the view: sandbox copy or unmarked real item
constexpr int SBFS_NOT_FOUND = SandBoxResult(0x90001002);       // nothing there, or the path cannot be mapped
constexpr int SBFS_FOLDER = SandBoxResult(0x90001003);          // a folder in the view
constexpr int SBFS_NOT_FOLDER = SandBoxResult(0x90001004);      // a file, missing, or unmappable
constexpr int SBFS_MKDIR_FAILED = SandBoxResult(0x90001005);    // a sandbox folder could not be made
constexpr int SBFS_FOLDER_READY = SandBoxResult(0x90001006);    // the sandbox folder exists now
constexpr int SBFS_MARKED_DELETED = SandBoxResult(0x90001008);  // the real item carries a deletion mark
constexpr int SBFS_CREATE_FAILED = SandBoxResult(0x9000100B);   // an empty file could not be made
constexpr int SBFS_FILE_CREATED = SandBoxResult(0x9000100C);    // an empty file was made in the sandbox copy
constexpr int SBFS_DELETE_FAILED = SandBoxResult(0x9000100D);   // a delete failed or was stopped
constexpr int SBFS_REMOVED = SandBoxResult(0x9000100E);         // the item is gone from the view

}  // namespace veyra
