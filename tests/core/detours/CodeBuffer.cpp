#include "CodeBuffer.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>

namespace veyra::test {

namespace {
constexpr std::size_t kBufferCount = 16;
alignas(4096) std::uint8_t s_buffers[kBufferCount][kCodeBufferSize];
std::size_t s_used = 0;
}  // namespace

std::uint8_t* MakeCode(std::initializer_list<std::uint8_t> bytes)
{
    if (s_used == kBufferCount || bytes.size() > kCodeBufferSize) {
        throw std::length_error("no code buffer left");
    }
    std::uint8_t* buffer = s_buffers[s_used++];
    DWORD previous = 0;
    if (!VirtualProtect(buffer, kCodeBufferSize, PAGE_EXECUTE_READWRITE, &previous)) {
        throw std::runtime_error("code buffer cannot be made executable");
    }
    std::memset(buffer, 0xCC, kCodeBufferSize);
    std::memcpy(buffer, bytes.begin(), bytes.size());
    FlushInstructionCache(GetCurrentProcess(), buffer, kCodeBufferSize);
    return buffer;
}

void PutRel32(std::uint8_t* field, const std::uint8_t* end, const void* to)
{
    const auto displacement = static_cast<std::int32_t>(static_cast<const std::uint8_t*>(to) - end);
    std::memcpy(field, &displacement, sizeof(displacement));
}

}  // namespace veyra::test
