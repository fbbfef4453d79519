#pragma once
// Executable memory for the interception layer's trampolines, handed out in fixed-size slots. In
// 64-bit code a slot lies within reach of a 32-bit displacement from the address it is asked for, so a
// 5-byte jump at a patched function reaches it and the instructions moved into it keep their
// RIP-relative operands. Slots are only taken and given back by the thread that owns the current
// interception transaction, so the allocator needs no lock. Memory is never returned to the system:
// a trampoline may still be running on some thread long after its transaction.

#include <cstddef>
#include <cstdint>

namespace veyra::detours {

constexpr std::size_t kTrampolineSlotSize = 64;

// A free slot within reach of `anchor` (anywhere in 32-bit code), or nullptr.
[[nodiscard]] std::uint8_t* AllocateTrampolineSlot(const void* anchor) noexcept;
void FreeTrampolineSlot(std::uint8_t* slot) noexcept;

// True when a 32-bit displacement taken at `from` reaches `to`.
[[nodiscard]] bool WithinRel32(const void* from, const void* to) noexcept;

// Writes code bytes over executable memory: makes the range writable, copies, puts the protection
// back and flushes the instruction cache. False when the range cannot be made writable.
[[nodiscard]] bool WriteCode(void* address, const void* bytes, std::size_t size) noexcept;

}  // namespace veyra::detours
