#pragma once
// Hand-assembled functions for the interception tests, placed in this program's image so that 32-bit
// displacements between them and the program's own functions always fit.

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace veyra::test {

constexpr std::size_t kCodeBufferSize = 64;

// A fresh executable buffer (one per call, at most 16 per process) holding `bytes`, the rest int3.
std::uint8_t* MakeCode(std::initializer_list<std::uint8_t> bytes);

// Stores a 32-bit displacement at `field` that makes an instruction ending at `end` reach `to`.
void PutRel32(std::uint8_t* field, const std::uint8_t* end, const void* to);

}  // namespace veyra::test
