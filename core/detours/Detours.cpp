#include "Detours.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "InstructionDecoder.h"
#include "TrampolineMemory.h"

namespace {

using veyra::detours::AllocateTrampolineSlot;
using veyra::detours::FreeTrampolineSlot;
using veyra::detours::WithinRel32;
using veyra::detours::WriteCode;

constexpr std::size_t kJumpLength = 5;  // E9 rel32
// Enough for the longest run of instructions that can cover the 5-byte jump.
constexpr std::size_t kMaxMovedLength = kJumpLength - 1 + veyra::detours::kMaxInstructionLength;
// The trampoline's jump back: 5-byte relative in 32-bit code; in 64-bit code jmp [rip+0] and the
// absolute address, so it reaches back whatever the distance.
constexpr std::size_t kReturnJumpLength = sizeof(void*) == 8 ? 14 : 5;
static_assert(kMaxMovedLength + 2 * kReturnJumpLength <= veyra::detours::kTrampolineSlotSize);

struct PendingAttach {
    PVOID* pointer;
    std::uint8_t* target;
    std::uint8_t* trampoline;  // its slot: moved code, jump back, then (64-bit) the jump to the detour
    std::uint8_t* detourEntry;  // where the patch at the target jumps to
    std::uint8_t original[kMaxMovedLength];
    std::size_t moved;
};

struct Transaction {
    DWORD owner = 0;
    LONG error = NO_ERROR;
    std::vector<PendingAttach> attaches;
    std::vector<HANDLE> threads;
};

Transaction& Current()
{
    static Transaction transaction;
    return transaction;
}

bool OwnsTransaction()
{
    return Current().owner == GetCurrentThreadId();
}

LONG Remember(LONG error)
{
    if (Current().error == NO_ERROR) {
        Current().error = error;
    }
    return error;
}

void End(bool committed)
{
    Transaction& transaction = Current();
    if (!committed) {
        for (const PendingAttach& attach : transaction.attaches) {
            FreeTrampolineSlot(attach.trampoline);
        }
    }
    for (HANDLE thread : transaction.threads) {
        ResumeThread(thread);
    }
    transaction.attaches.clear();
    transaction.threads.clear();
    transaction.error = NO_ERROR;
    InterlockedExchange(reinterpret_cast<volatile LONG*>(&transaction.owner), 0);
}

// Code is assembled in a local buffer and written later: `placedAt` is where `buffer` will run.
void PutJump(std::uint8_t* buffer, const std::uint8_t* placedAt, const std::uint8_t* destination)
{
    buffer[0] = 0xE9;
    const auto displacement = static_cast<std::int32_t>(destination - (placedAt + kJumpLength));
    std::memcpy(buffer + 1, &displacement, sizeof(displacement));
}

void PutAbsoluteJump(std::uint8_t* buffer, const std::uint8_t* placedAt, const std::uint8_t* destination)
{
    if constexpr (sizeof(void*) == 8) {
        const std::uint8_t jumpThroughNextQword[] = {0xFF, 0x25, 0, 0, 0, 0};
        std::memcpy(buffer, jumpThroughNextQword, sizeof(jumpThroughNextQword));
        std::memcpy(buffer + sizeof(jumpThroughNextQword), &destination, sizeof(destination));
    } else {
        PutJump(buffer, placedAt, destination);
    }
}

// Copies whole instructions from `target` into `code` until they cover the jump, fixing relative
// fields for their new place `destination`. Returns the bytes moved, or 0 when refused.
std::size_t MoveInstructions(const std::uint8_t* target, std::uint8_t* code, const std::uint8_t* destination)
{
    std::size_t moved = 0;
    while (moved < kJumpLength) {
        veyra::detours::Instruction instruction;
        if (!DecodeInstruction(target + moved, veyra::detours::kNativeMode, instruction)) {
            return 0;
        }
        std::memcpy(code + moved, target + moved, instruction.length);
        if (instruction.relativeField) {
            std::int32_t field = 0;
            std::memcpy(&field, target + moved + instruction.relativeField, sizeof(field));
            const std::uint8_t* absolute = target + moved + instruction.length + field;
            const std::uint8_t* newEnd = destination + moved + instruction.length;
            if (!WithinRel32(newEnd, absolute)) {
                return 0;
            }
            field = static_cast<std::int32_t>(absolute - newEnd);
            std::memcpy(code + moved + instruction.relativeField, &field, sizeof(field));
        }
        moved += instruction.length;
        if (instruction.endsFlow && moved < kJumpLength) {
            return 0;  // the function is shorter than the jump
        }
    }
    return moved;
}

LONG PrepareAttach(PendingAttach& attach, void* detour)
{
    attach.trampoline = AllocateTrampolineSlot(attach.target);
    if (!attach.trampoline) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    std::uint8_t code[veyra::detours::kTrampolineSlotSize] = {};
    attach.moved = MoveInstructions(attach.target, code, attach.trampoline);
    if (attach.moved == 0 || !WithinRel32(attach.target + kJumpLength, attach.trampoline)) {
        FreeTrampolineSlot(attach.trampoline);
        return ERROR_INVALID_BLOCK;
    }
    std::memcpy(attach.original, attach.target, attach.moved);
    PutAbsoluteJump(code + attach.moved, attach.trampoline + attach.moved, attach.target + attach.moved);
    // 64-bit: the patch's 5-byte jump cannot reach an arbitrary detour, so it lands on a stub here.
    attach.detourEntry = static_cast<std::uint8_t*>(detour);
    std::size_t used = attach.moved + kReturnJumpLength;
    if constexpr (sizeof(void*) == 8) {
        attach.detourEntry = attach.trampoline + used;
        PutAbsoluteJump(code + used, attach.trampoline + used, static_cast<std::uint8_t*>(detour));
        used += kReturnJumpLength;
    }
    if (!WriteCode(attach.trampoline, code, used)) {
        FreeTrampolineSlot(attach.trampoline);
        return static_cast<LONG>(GetLastError());
    }
    return NO_ERROR;
}

// Writes the jump over one target; the bytes left over become breakpoints.
bool Patch(const PendingAttach& attach)
{
    std::uint8_t patch[kMaxMovedLength];
    std::memset(patch, 0xCC, sizeof(patch));
    PutJump(patch, attach.target, attach.detourEntry);
    return WriteCode(attach.target, patch, attach.moved);
}

// A suspended thread stopped inside moved bytes goes on in the trampoline's copy of them.
void MoveThreadOutOfPatches(HANDLE thread, const std::vector<PendingAttach>& attaches)
{
    CONTEXT context{};
    context.ContextFlags = CONTEXT_CONTROL;
    if (!GetThreadContext(thread, &context)) {
        return;
    }
#if defined(_WIN64)
    auto& ip = context.Rip;
#else
    auto& ip = context.Eip;
#endif
    for (const PendingAttach& attach : attaches) {
        const auto start = reinterpret_cast<std::uintptr_t>(attach.target);
        if (ip >= start && ip < start + attach.moved) {
            ip = reinterpret_cast<std::uintptr_t>(attach.trampoline) + (ip - start);
            SetThreadContext(thread, &context);
            return;
        }
    }
}

LONG CommitPending()
{
    Transaction& transaction = Current();
    for (const PendingAttach& attach : transaction.attaches) {
        if (std::memcmp(attach.target, attach.original, attach.moved) != 0) {
            return ERROR_INVALID_DATA;
        }
    }
    for (std::size_t index = 0; index < transaction.attaches.size(); ++index) {
        if (!Patch(transaction.attaches[index])) {
            const LONG error = static_cast<LONG>(GetLastError());
            while (index-- > 0) {
                const PendingAttach& undone = transaction.attaches[index];
                (void)WriteCode(undone.target, undone.original, undone.moved);
            }
            return error != NO_ERROR ? error : ERROR_INVALID_BLOCK;
        }
    }
    for (HANDLE thread : transaction.threads) {
        MoveThreadOutOfPatches(thread, transaction.attaches);
    }
    for (const PendingAttach& attach : transaction.attaches) {
        *attach.pointer = attach.trampoline;
    }
    return NO_ERROR;
}

}  // namespace

LONG WINAPI DetourTransactionBegin() noexcept
{
    auto* owner = reinterpret_cast<volatile LONG*>(&Current().owner);
    if (InterlockedCompareExchange(owner, static_cast<LONG>(GetCurrentThreadId()), 0) != 0) {
        return ERROR_INVALID_OPERATION;
    }
    Current().error = NO_ERROR;
    return NO_ERROR;
}

LONG WINAPI DetourUpdateThread(HANDLE thread) noexcept
{
    if (!OwnsTransaction()) {
        return ERROR_INVALID_OPERATION;
    }
    if (Current().error != NO_ERROR) {
        return Current().error;
    }
    if (!thread) {
        return Remember(ERROR_INVALID_HANDLE);
    }
    if (thread == GetCurrentThread() || GetThreadId(thread) == GetCurrentThreadId()) {
        return NO_ERROR;
    }
    if (SuspendThread(thread) == static_cast<DWORD>(-1)) {
        return Remember(static_cast<LONG>(GetLastError()));
    }
    try {
        Current().threads.push_back(thread);
    } catch (...) {
        ResumeThread(thread);
        return Remember(ERROR_NOT_ENOUGH_MEMORY);
    }
    return NO_ERROR;
}

LONG WINAPI DetourAttach(PVOID* pointer, PVOID detour) noexcept
{
    if (!OwnsTransaction()) {
        return ERROR_INVALID_OPERATION;
    }
    if (Current().error != NO_ERROR) {
        return Current().error;
    }
    if (!pointer || !*pointer || !detour) {
        return Remember(ERROR_INVALID_HANDLE);
    }
    PendingAttach attach{};
    attach.pointer = pointer;
    attach.target = static_cast<std::uint8_t*>(*pointer);
    if (const LONG error = PrepareAttach(attach, detour); error != NO_ERROR) {
        return Remember(error);
    }
    try {
        Current().attaches.push_back(attach);
    } catch (...) {
        FreeTrampolineSlot(attach.trampoline);
        return Remember(ERROR_NOT_ENOUGH_MEMORY);
    }
    return NO_ERROR;
}

LONG WINAPI DetourTransactionCommit() noexcept
{
    if (!OwnsTransaction()) {
        return ERROR_INVALID_OPERATION;
    }
    LONG result = Current().error;
    if (result == NO_ERROR) {
        result = CommitPending();
    }
    End(result == NO_ERROR);
    return result;
}
