// The length decoder against the instructions met at function starts, in both instruction sets (the
// decoder is plain code, so the 64-bit test build checks the 32-bit tables too).
#include "core/detours/InstructionDecoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using veyra::detours::CodeMode;

struct Case {
    const char* what;
    CodeMode mode;
    std::vector<std::uint8_t> bytes;
    std::size_t length;         // 0: refused
    std::size_t relativeField;  // offset of a rel32 / RIP-relative field, 0 for none
    bool endsFlow;
};

const CodeMode X86 = CodeMode::X86;
const CodeMode X64 = CodeMode::X64;

const Case kCases[] = {
    {"hot-patch filler mov edi,edi", X86, {0x8B, 0xFF}, 2, 0, false},
    {"push ebp", X86, {0x55}, 1, 0, false},
    {"mov ebp,esp", X86, {0x8B, 0xEC}, 2, 0, false},
    {"sub esp,16", X86, {0x83, 0xEC, 0x10}, 3, 0, false},
    {"sub esp,256", X86, {0x81, 0xEC, 0x00, 0x01, 0x00, 0x00}, 6, 0, false},
    {"mov eax,fs:[0]", X86, {0x64, 0xA1, 0, 0, 0, 0}, 6, 0, false},
    {"mov eax,[esp+4]", X86, {0x8B, 0x44, 0x24, 0x04}, 4, 0, false},
    {"mov eax,[ebp+256]", X86, {0x8B, 0x85, 0x00, 0x01, 0x00, 0x00}, 6, 0, false},
    {"mov eax,[abs32] is absolute in 32-bit code", X86, {0x8B, 0x05, 1, 2, 3, 4}, 6, 0, false},
    {"push imm32", X86, {0x68, 1, 2, 3, 4}, 5, 0, false},
    {"push imm8", X86, {0x6A, 0x00}, 2, 0, false},
    {"mov ax,imm16", X86, {0x66, 0xB8, 0x34, 0x12}, 4, 0, false},
    {"test eax,imm32", X86, {0xF7, 0xC0, 1, 2, 3, 4}, 6, 0, false},
    {"neg eax", X86, {0xF7, 0xD8}, 2, 0, false},
    {"dec eax", X86, {0x48}, 1, 0, false},
    {"call rel32", X86, {0xE8, 1, 2, 3, 4}, 5, 1, false},
    {"jmp rel32", X86, {0xE9, 1, 2, 3, 4}, 5, 1, true},
    {"je rel32", X86, {0x0F, 0x84, 1, 2, 3, 4}, 6, 2, false},
    {"jmp [abs32]", X86, {0xFF, 0x25, 1, 2, 3, 4}, 6, 0, true},
    {"ret", X86, {0xC3}, 1, 0, true},
    {"ret 8", X86, {0xC2, 0x08, 0x00}, 3, 0, true},
    {"int3", X86, {0xCC}, 0, 0, false},
    {"je rel8", X86, {0x74, 0x05}, 0, 0, false},
    {"jmp rel8", X86, {0xEB, 0xFE}, 0, 0, false},
    {"ud2", X86, {0x0F, 0x0B}, 0, 0, false},
    {"hlt", X86, {0xF4}, 0, 0, false},
    {"16-bit addressing", X86, {0x67, 0x8B, 0x00}, 0, 0, false},
    {"far jmp [mem]", X86, {0xFF, 0x2D, 1, 2, 3, 4}, 0, 0, false},
    {"far call ptr16:32", X86, {0x9A, 1, 2, 3, 4, 5, 6}, 0, 0, false},

    {"Wine's filler lea rsp,[rsp+0]", X64, {0x48, 0x8D, 0xA4, 0x24, 0, 0, 0, 0}, 8, 0, false},
    {"jmp [rip+disp32]", X64, {0xFF, 0x25, 1, 2, 3, 4}, 6, 2, true},
    {"mov [rsp+8],rbx", X64, {0x48, 0x89, 0x5C, 0x24, 0x08}, 5, 0, false},
    {"sub rsp,40", X64, {0x48, 0x83, 0xEC, 0x28}, 4, 0, false},
    {"push r15", X64, {0x41, 0x57}, 2, 0, false},
    {"mov rax,[rip+disp32]", X64, {0x48, 0x8B, 0x05, 1, 2, 3, 4}, 7, 3, false},
    {"lea r10,[rip+disp32]", X64, {0x4C, 0x8D, 0x15, 1, 2, 3, 4}, 7, 3, false},
    {"mov dword [rip+disp32],imm32", X64, {0xC7, 0x05, 1, 2, 3, 4, 5, 6, 7, 8}, 10, 2, false},
    {"mov rax,imm64", X64, {0x48, 0xB8, 1, 2, 3, 4, 5, 6, 7, 8}, 10, 0, false},
    {"mov eax,imm32 with REX.B", X64, {0x41, 0xB8, 1, 2, 3, 4}, 6, 0, false},
    {"mov rax,[moffs64]", X64, {0x48, 0xA1, 1, 2, 3, 4, 5, 6, 7, 8}, 10, 0, false},
    {"endbr64", X64, {0xF3, 0x0F, 0x1E, 0xFA}, 4, 0, false},
    {"mov rax,gs:[0x30] (SIB, no base)", X64, {0x65, 0x48, 0x8B, 0x04, 0x25, 0x30, 0, 0, 0}, 9, 0, false},
    {"nopw 0(rax,rax)", X64, {0x66, 0x0F, 0x1F, 0x44, 0x00, 0x00}, 6, 0, false},
    {"movaps [rsp+32],xmm6", X64, {0x0F, 0x29, 0x74, 0x24, 0x20}, 5, 0, false},
    {"movsxd rax,ecx", X64, {0x48, 0x63, 0xC1}, 3, 0, false},
    {"call rel32", X64, {0xE8, 1, 2, 3, 4}, 5, 1, false},
    {"vzeroupper (VEX)", X64, {0xC5, 0xF8, 0x77}, 0, 0, false},
    {"syscall", X64, {0x0F, 0x05}, 0, 0, false},
    {"three-byte opcode map", X64, {0x66, 0x0F, 0x38, 0x00, 0xC1}, 0, 0, false},
};

TEST(InstructionDecoder, MeasuresKnownInstructionsAndRefusesTheRest)
{
    for (const Case& c : kCases) {
        std::vector<std::uint8_t> code = c.bytes;
        code.resize(c.bytes.size() + veyra::detours::kMaxInstructionLength, 0xCC);
        veyra::detours::Instruction instruction;
        const bool known = veyra::detours::DecodeInstruction(code.data(), c.mode, instruction);
        SCOPED_TRACE(std::string(c.mode == X86 ? "x86 " : "x64 ") + c.what);
        ASSERT_EQ(known, c.length != 0);
        if (known) {
            EXPECT_EQ(instruction.length, c.length);
            EXPECT_EQ(instruction.relativeField, c.relativeField);
            EXPECT_EQ(instruction.endsFlow, c.endsFlow);
        }
    }
}

}  // namespace
