#pragma once
// A small x86 / x86-64 instruction-length decoder for the interception layer. It knows the
// instructions that compilers and Wine put at the start of functions (stack frame set-up, moves,
// arithmetic, hot-patch fillers, calls and jumps) and refuses everything else, so a function is
// never patched through an instruction whose length or meaning is only guessed.

#include <cstddef>
#include <cstdint>

namespace veyra::detours {

enum class CodeMode { X86, X64 };

// The instruction set the running program executes.
constexpr CodeMode kNativeMode = sizeof(void*) == 8 ? CodeMode::X64 : CodeMode::X86;

struct Instruction {
    std::size_t length = 0;
    // Offset of a 32-bit field that is relative to the instruction's end (a rel32 branch target or a
    // RIP-relative displacement); 0 when the instruction holds none.
    std::size_t relativeField = 0;
    // ret or an unconditional jump: the bytes after it need not belong to the same function.
    bool endsFlow = false;
};

constexpr std::size_t kMaxInstructionLength = 15;

// Decodes the instruction at `code`, which must have kMaxInstructionLength readable bytes. False for
// an instruction the decoder does not know, and for those it refuses to move: 8-bit relative branches,
// 16-bit addressing, breakpoints and privileged or far control transfers.
[[nodiscard]] bool DecodeInstruction(const std::uint8_t* code, CodeMode mode, Instruction& out) noexcept;

}  // namespace veyra::detours
