#pragma once
// The orders in which listings and views put their items: strict comes-before predicates over file item
// records, and the same over the records inside two icon items (no when either item is missing).

#include "core/sandboxview/FileItemRecord.h"

namespace veyra {

class NsIcon;

// Rank of a drive type in the drive order (fixed disks first); 7 for a type outside 0-6.
[[nodiscard]] int DriveRank(int driveType) noexcept;

// By drive rank only.
[[nodiscard]] bool DriveOrder(const FileItemRecord& a, const FileItemRecord& b) noexcept;
// Drives, programs, other files, folders; within a kind by file name in code-unit order.
[[nodiscard]] bool DesktopOrder(const FileItemRecord& a, const FileItemRecord& b) noexcept;
// Folders, other files, programs, drives; within a kind by upper-cased file name.
[[nodiscard]] bool FolderOrder(const FileItemRecord& a, const FileItemRecord& b) noexcept;

[[nodiscard]] bool DriveOrderOfItems(const NsIcon* a, const NsIcon* b) noexcept;
[[nodiscard]] bool DesktopOrderOfItems(const NsIcon* a, const NsIcon* b) noexcept;
[[nodiscard]] bool FolderOrderOfItems(const NsIcon* a, const NsIcon* b) noexcept;

}  // namespace veyra
