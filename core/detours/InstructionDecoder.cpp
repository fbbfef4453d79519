#include "InstructionDecoder.h"

namespace veyra::detours {

namespace {

// What follows the opcode byte(s).
struct Form {
    bool known = false;
    bool modRm = false;
    std::size_t immediate = 0;  // bytes
    bool rel32 = false;
    bool endsFlow = false;
};

struct Prefixes {
    bool operandSize = false;  // 66: 16-bit immediates for "z"-sized operands
    bool rexW = false;         // REX.W: 64-bit operand size (only B8+r then takes a 64-bit immediate)
};

constexpr Form Unknown() { return Form{}; }
constexpr Form Plain(std::size_t immediate = 0) { return Form{true, false, immediate, false, false}; }
constexpr Form WithModRm(std::size_t immediate = 0) { return Form{true, true, immediate, false, false}; }

bool IsLegacyPrefix(std::uint8_t byte)
{
    switch (byte) {
        case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65:
        case 0x66: case 0x67: case 0xF0: case 0xF2: case 0xF3:
            return true;
        default:
            return false;
    }
}

// The ALU block 00-3F: op r/m,r / op r,r/m / op al,imm8 / op eax,imm32; the rest are segment
// pushes, BCD adjustments and prefixes.
Form AluForm(std::uint8_t op, std::size_t immZ)
{
    switch (op & 7) {
        case 0: case 1: case 2: case 3: return WithModRm();
        case 4: return Plain(1);
        case 5: return Plain(immZ);
        default: return Unknown();
    }
}

Form OneByteForm(std::uint8_t op, CodeMode mode, const Prefixes& prefixes)
{
    const std::size_t immZ = prefixes.operandSize ? 2 : 4;
    const bool x86 = mode == CodeMode::X86;
    if (op < 0x40) {
        return AluForm(op, immZ);
    }
    if (op < 0x50) {
        return x86 ? Plain() : Unknown();  // inc/dec r32; in 64-bit code these are REX prefixes
    }
    if (op < 0x60 || (op >= 0x90 && op <= 0x99) || (op >= 0x9C && op <= 0x9F) || (op >= 0xA4 && op <= 0xA7) ||
        (op >= 0xAA && op <= 0xAF) || op == 0xC9 || op == 0xF5 || (op >= 0xF8 && op <= 0xFD)) {
        return Plain();
    }
    if (op >= 0xB0 && op <= 0xB7) {
        return Plain(1);
    }
    if (op >= 0xB8 && op <= 0xBF) {
        return Plain(prefixes.rexW ? 8 : immZ);
    }
    if ((op >= 0x84 && op <= 0x8B) || op == 0x8D || op == 0x8F || (op >= 0xD0 && op <= 0xD3) ||
        (op >= 0xD8 && op <= 0xDF) || op == 0x63 || op == 0xFE || op == 0xFF) {
        return WithModRm();
    }
    switch (op) {
        case 0x60: case 0x61: return x86 ? Plain() : Unknown();
        case 0x68: return Plain(immZ);
        case 0x69: return WithModRm(immZ);
        case 0x6A: return Plain(1);
        case 0x6B: return WithModRm(1);
        case 0x80: case 0x83: case 0xC0: case 0xC1: case 0xC6: return WithModRm(1);
        case 0x81: case 0xC7: return WithModRm(immZ);
        case 0xA0: case 0xA1: case 0xA2: case 0xA3: return Plain(x86 ? 4 : 8);  // moffs
        case 0xA8: return Plain(1);
        case 0xA9: return Plain(immZ);
        case 0xC2: return Form{true, false, 2, false, true};
        case 0xC3: return Form{true, false, 0, false, true};
        case 0xC8: return Plain(3);  // enter imm16, imm8
        case 0xE8: return Form{true, false, 4, true, false};
        case 0xE9: return Form{true, false, 4, true, true};
        case 0xF6: case 0xF7: return WithModRm();  // the immediate of /0 and /1 is added by the caller
        default: return Unknown();
    }
}

Form TwoByteForm(std::uint8_t op)
{
    if (op >= 0x80 && op <= 0x8F) {
        return Form{true, false, 4, true, false};  // jcc rel32
    }
    if ((op >= 0x10 && op <= 0x17) || (op >= 0x18 && op <= 0x1F) || (op >= 0x28 && op <= 0x2F) ||
        (op >= 0x40 && op <= 0x6F) || (op >= 0x74 && op <= 0x7F) || (op >= 0x90 && op <= 0x9F) ||
        op == 0xA3 || op == 0xA5 || op == 0xAB || op == 0xAD || op == 0xAF || (op >= 0xB0 && op <= 0xB3) ||
        (op >= 0xB6 && op <= 0xBF && op != 0xB9 && op != 0xBA) || op == 0xC0 || op == 0xC1 ||
        (op >= 0xD0 && op <= 0xFE)) {
        return WithModRm();
    }
    switch (op) {
        case 0x70: case 0x71: case 0x72: case 0x73:  // pshuf*, vector shifts by imm8
        case 0xA4: case 0xAC: case 0xBA: case 0xC2: case 0xC4: case 0xC5: case 0xC6:
            return WithModRm(1);
        case 0xA2:  // cpuid
            return Plain();
        default:
            return Unknown();
    }
}

// Length of the ModRM byte and what follows it (SIB, displacement). Sets `ripRelative` for the
// 64-bit form [rip+disp32].
std::size_t ModRmLength(const std::uint8_t* modRm, CodeMode mode, bool& ripRelative)
{
    const std::uint8_t mod = modRm[0] >> 6;
    const std::uint8_t rm = modRm[0] & 7;
    ripRelative = false;
    if (mod == 3) {
        return 1;
    }
    std::size_t length = 1;
    if (rm == 4) {
        length += 1;
        if (mod == 0 && (modRm[1] & 7) == 5) {
            length += 4;  // SIB without base: disp32
        }
    } else if (mod == 0 && rm == 5) {
        ripRelative = mode == CodeMode::X64;
        length += 4;
    }
    if (mod == 1) {
        length += 1;
    } else if (mod == 2) {
        length += 4;
    }
    return length;
}

}  // namespace

bool DecodeInstruction(const std::uint8_t* code, CodeMode mode, Instruction& out) noexcept
{
    out = Instruction{};
    Prefixes prefixes;
    std::size_t at = 0;
    while (at < 4 && IsLegacyPrefix(code[at])) {
        if (code[at] == 0x67) {
            return false;  // 16-bit (or 32-bit in 64-bit code) addressing: not worth knowing
        }
        prefixes.operandSize |= code[at] == 0x66;
        ++at;
    }
    if (mode == CodeMode::X64 && (code[at] & 0xF0) == 0x40) {
        prefixes.rexW = (code[at] & 0x08) != 0;
        ++at;
    }
    const bool twoByte = code[at] == 0x0F;
    if (twoByte) {
        ++at;
    }
    const std::uint8_t op = code[at++];
    Form form = twoByte ? TwoByteForm(op) : OneByteForm(op, mode, prefixes);
    if (!form.known) {
        return false;
    }
    if (form.modRm) {
        const std::uint8_t reg = (code[at] >> 3) & 7;
        if (!twoByte && (op == 0xF6 || op == 0xF7) && reg <= 1) {
            form.immediate = op == 0xF6 ? 1 : (prefixes.operandSize ? 2 : 4);  // test r/m, imm
        }
        if (!twoByte && op == 0xFF) {
            if (reg == 3 || reg == 5 || reg == 7) {
                return false;  // far call, far jump, undefined
            }
            form.endsFlow = reg == 4;  // jmp r/m
        }
        bool ripRelative = false;
        const std::size_t modRmStart = at;
        at += ModRmLength(code + at, mode, ripRelative);
        if (ripRelative) {
            out.relativeField = modRmStart + 1;
        }
    }
    if (form.rel32) {
        out.relativeField = at;
    }
    at += form.immediate;
    if (at > kMaxInstructionLength) {
        return false;
    }
    out.length = at;
    out.endsFlow = form.endsFlow;
    return true;
}

}  // namespace veyra::detours
