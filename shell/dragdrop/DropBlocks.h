#pragma once
// The global-memory blocks a drag carries: the file list (CF_HDROP) and the drop description that a
// target puts on the drag's data object for the shell's drag image. Plain functions, any thread.

#include <windows.h>
// CLIPFORMAT and the OLE types that WIN32_LEAN_AND_MEAN leaves out of windows.h.
#include <objidl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/UniqueResource.h"

namespace veyra {

// GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE: the flags of every block a drag hands out.
inline constexpr UINT kDragBlockFlags = 0x2042;

// The image types of a drop description (the shell's DROPIMAGETYPE values).
enum class DropImage : std::int32_t { Invalid = -1, None = 0, Copy = 1, Move = 2 };

// The "DropDescription" block: 1044 bytes, fixed fields, no pointers.
struct DropDescriptionRecord {
    std::int32_t type;
    WCHAR message[MAX_PATH];
    WCHAR insert[MAX_PATH];
};
static_assert(sizeof(DropDescriptionRecord) == 1044, "the shell reads exactly this layout");

// The registered clipboard formats "DropDescription" and "DragWindow" (0 when they cannot be registered).
[[nodiscard]] CLIPFORMAT DropDescriptionFormat() noexcept;
[[nodiscard]] CLIPFORMAT DragWindowFormat() noexcept;

// The path-list builder: the optional header (headerBytes of it), then each path, the suffix after it and,
// with nulAfterEach, a NUL; then one more NUL. Size = headerBytes + 2 * (1 + sum of the path parts).
// An empty handle when memory runs out.
[[nodiscard]] UniqueGlobal BuildPathList(const std::vector<std::wstring>& paths, UINT allocationFlags,
                                         const wchar_t* suffix, bool nulAfterEach, const void* header,
                                         std::size_t headerBytes) noexcept;

// Longest path a drag carries: what the sandbox view and every MAX_PATH reader of a drop can take.
inline constexpr std::size_t kMaxDragPathLength = MAX_PATH - 1;

// The CF_HDROP block of the paths: a 20-byte DROPFILES header (list at 20, wide), each path NUL-terminated,
// one more NUL. Empty for no paths, an empty or over-long path (the drag is refused rather than carrying
// a list that some target would cut), or on lack of memory.
[[nodiscard]] UniqueGlobal BuildFileDropBlock(const std::vector<std::wstring>& paths) noexcept;

// A "DropDescription" block; texts longer than 259 characters are cut.
[[nodiscard]] UniqueGlobal BuildDropDescription(DropImage type, const std::wstring& message,
                                                const std::wstring& insert) noexcept;

}  // namespace veyra
