#pragma once
// The sandbox engine's record of one sandboxed process, as the engine library hands it out. Fixed-width
// fields only: the 32-bit program and the 64-bit test build read the same 628 bytes.

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace veyra {

constexpr std::size_t kSbRuleItemSize = 628;
constexpr std::size_t kSbRuleImagePathChars = 260;

struct SbRuleItem {
    std::uint32_t processId;                    // 0: the record describes no process
    std::int32_t ownerId;                       // the owner key of the desktop the process belongs to
    wchar_t imagePath[kSbRuleImagePathChars];   // NUL-terminated
    std::uint8_t engineData[kSbRuleItemSize - 8 - kSbRuleImagePathChars * sizeof(wchar_t)];  // the engine's own
};

static_assert(sizeof(wchar_t) == 2);
static_assert(sizeof(SbRuleItem) == kSbRuleItemSize);
static_assert(offsetof(SbRuleItem, ownerId) == 4);
static_assert(offsetof(SbRuleItem, imagePath) == 8);

}  // namespace veyra
