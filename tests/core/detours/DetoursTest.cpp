// The interception layer on real code of this process: a function of the test program, kernel32's
// CreateFileW (called from this program, from another thread and from another module), hand-built
// functions whose moved instructions need their displacements fixed, and the refusals.
#include "core/detours/Detours.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "base/FixedPath.h"
#include "base/Thread.h"
#include "base/UniqueResource.h"
#include "tests/core/detours/CodeBuffer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPaths.h"

namespace {

using veyra::test::MakeCode;
using veyra::test::PutRel32;

// Runs one whole transaction that intercepts `*pointer` with `detour`; the result of the first step
// that fails, else of the commit.
LONG Intercept(PVOID* pointer, PVOID detour, HANDLE thread = GetCurrentThread())
{
    LONG result = DetourTransactionBegin();
    if (result != NO_ERROR) {
        return result;
    }
    const LONG update = DetourUpdateThread(thread);
    const LONG attach = DetourAttach(pointer, detour);
    result = DetourTransactionCommit();
    return update != NO_ERROR ? update : attach != NO_ERROR ? attach : result;
}

template <typename Function>
PVOID AsPointer(Function function)
{
    return reinterpret_cast<PVOID>(function);
}

DWORD ProtectionOf(const void* address)
{
    MEMORY_BASIC_INFORMATION info{};
    return VirtualQuery(address, &info, sizeof(info)) ? info.Protect : 0;
}

// --- A function of this program -------------------------------------------------------------------

__attribute__((noipa)) int MixNumbers(int a, int b)
{
    return a * 31 + b;
}

PVOID s_trueMix = AsPointer(&MixNumbers);

int HookedMix(int a, int b)
{
    return reinterpret_cast<decltype(&MixNumbers)>(s_trueMix)(a, b) + 1000;
}

TEST(Detours, InterceptsFunctionOfThisProgramAndKeepsTheOriginalReachable)
{
    int (*volatile call)(int, int) = &MixNumbers;
    ASSERT_EQ(call(2, 3), 65);
    const DWORD protection = ProtectionOf(AsPointer(&MixNumbers));

    ASSERT_EQ(Intercept(&s_trueMix, AsPointer(&HookedMix)), NO_ERROR);

    EXPECT_EQ(call(2, 3), 1065);
    EXPECT_NE(s_trueMix, AsPointer(&MixNumbers)) << "the pointer must now name the trampoline";
    EXPECT_EQ(reinterpret_cast<decltype(&MixNumbers)>(s_trueMix)(2, 3), 65);
    EXPECT_EQ(ProtectionOf(AsPointer(&MixNumbers)), protection) << "the patched page keeps its protection";
}

// --- kernel32's CreateFileW, intercepted once for the whole test program ---------------------------

PVOID s_trueCreateFile = AsPointer(&CreateFileW);
wchar_t s_redirectFrom[MAX_PATH];
wchar_t s_redirectTo[MAX_PATH];
std::atomic<int> s_redirected{0};

HANDLE WINAPI RedirectingCreateFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                    DWORD disposition, DWORD flags, HANDLE templateFile)
{
    if (name && CompareStringOrdinal(name, -1, s_redirectFrom, -1, TRUE) == CSTR_EQUAL) {
        name = s_redirectTo;
        ++s_redirected;
    }
    return reinterpret_cast<decltype(&CreateFileW)>(s_trueCreateFile)(name, access, share, security, disposition,
                                                                    flags, templateFile);
}

std::string ReadThroughCreateFile(const std::wstring& path)
{
    veyra::UniqueFileHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return {};
    }
    char buffer[256];
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr)) {
        return {};
    }
    return std::string(buffer, read);
}

class CreateFileInterception : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(veyra::test::WriteFileBytes(m_folder / L"asked.txt", "asked"));
        ASSERT_TRUE(veyra::test::WriteFileBytes(m_folder / L"given.txt", "given"));
        ASSERT_TRUE(veyra::test::WriteFileBytes(m_folder / L"other.txt", "other"));
        // The names change only while no other thread of the program opens files.
        ASSERT_TRUE(veyra::CopyBounded(s_redirectFrom, m_folder / L"ASKED.TXT"));
        ASSERT_TRUE(veyra::CopyBounded(s_redirectTo, m_folder / L"given.txt"));
        static const LONG installed = Intercept(&s_trueCreateFile, AsPointer(&RedirectingCreateFile));
        ASSERT_EQ(installed, NO_ERROR);
        s_redirected = 0;
    }

    veyra::test::TempFolder m_folder{L"detours"};
};

TEST_F(CreateFileInterception, RedirectsThisProgramsCallsByWholeName)
{
    const auto* start = static_cast<const std::uint8_t*>(
        AsPointer(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateFileW")));
    EXPECT_EQ(start[0], 0xE9) << "kernel32's CreateFileW starts with the jump";
    EXPECT_EQ(ReadThroughCreateFile(m_folder / L"asked.txt"), "given");
    EXPECT_EQ(ReadThroughCreateFile(m_folder / L"other.txt"), "other");
    EXPECT_EQ(s_redirected.load(), 1);
}

TEST_F(CreateFileInterception, RedirectsCallsOfAnotherThread)
{
    std::string seen;
    veyra::UniqueHandle thread = veyra::StartThread([&] { seen = ReadThroughCreateFile(m_folder / L"asked.txt"); });
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(seen, "given");
}

TEST_F(CreateFileInterception, RedirectsCallsOfAnotherModule)
{
    veyra::UniqueModule probe(LoadLibraryW(veyra::test::BinFile(L"detours_probe.dll").c_str()));
    ASSERT_TRUE(probe);
    using ProbeReadFile = DWORD(WINAPI*)(const wchar_t*, char*, DWORD);
    auto read = reinterpret_cast<ProbeReadFile>(AsPointer(GetProcAddress(probe.get(), "ProbeReadFile")));
    ASSERT_NE(read, nullptr);
    char buffer[16] = {};
    const std::wstring asked = m_folder / L"asked.txt";
    ASSERT_EQ(read(asked.c_str(), buffer, sizeof(buffer)), 5u);
    EXPECT_EQ(std::string(buffer, 5), "given");
    EXPECT_EQ(s_redirected.load(), 1);
}

// --- A thread running the target while the transaction patches it ---------------------------------

__attribute__((noipa)) int SpinTarget(int value)
{
    return value * 7 + 1;
}

PVOID s_trueSpin = AsPointer(&SpinTarget);

int HookedSpin(int)
{
    return -1;
}

TEST(Detours, HoldsAnUpdatedThreadStillAndResumesIt)
{
    std::atomic<bool> running{false};
    std::atomic<bool> sawDetour{false};
    veyra::UniqueHandle thread = veyra::StartThread([&] {
        int (*volatile call)(int) = &SpinTarget;
        const ULONGLONG deadline = GetTickCount64() + 20000;
        while (GetTickCount64() < deadline) {
            running = true;
            if (call(3) == -1) {
                sawDetour = true;
                return;
            }
        }
    });
    ASSERT_TRUE(thread);
    for (int waited = 0; !running && waited < 10000; waited += 1) {
        Sleep(1);
    }
    ASSERT_TRUE(running);

    ASSERT_EQ(Intercept(&s_trueSpin, AsPointer(&HookedSpin), thread.get()), NO_ERROR);

    ASSERT_EQ(WaitForSingleObject(thread.get(), 30000), WAIT_OBJECT_0);
    EXPECT_TRUE(sawDetour);
    EXPECT_EQ(reinterpret_cast<decltype(&SpinTarget)>(s_trueSpin)(3), 22);
}

// --- Moved instructions whose displacements must follow them ----------------------------------------

__attribute__((noipa)) int Helper()
{
    return 4242;
}

PVOID s_trueCode = nullptr;

int HookedCode()
{
    return reinterpret_cast<int (*)()>(s_trueCode)() + 1;
}

TEST(Detours, RelocatesRelativeCallsAndJumpsItMoves)
{
    struct Case {
        const char* what;
        std::uint8_t* code;
    };
    std::uint8_t* call = MakeCode({0xE8, 0, 0, 0, 0, 0xC3});  // call Helper; ret
    PutRel32(call + 1, call + 5, AsPointer(&Helper));
    std::uint8_t* jump = MakeCode({0xE9, 0, 0, 0, 0});  // jmp Helper
    PutRel32(jump + 1, jump + 5, AsPointer(&Helper));
    for (const Case& c : {Case{"call rel32", call}, Case{"jmp rel32", jump}}) {
        SCOPED_TRACE(c.what);
        s_trueCode = c.code;
        ASSERT_EQ(Intercept(&s_trueCode, AsPointer(&HookedCode)), NO_ERROR);
        EXPECT_EQ(reinterpret_cast<int (*)()>(c.code)(), 4243);
        EXPECT_EQ(reinterpret_cast<int (*)()>(s_trueCode)(), 4242);
    }
}

#if defined(_WIN64)
std::int64_t s_ripTarget = 0x1234567890LL;

TEST(Detours, RelocatesRipRelativeOperandsItMoves)
{
    std::uint8_t* code = MakeCode({0x48, 0x8B, 0x05, 0, 0, 0, 0, 0xC3});  // mov rax,[rip+s_ripTarget]; ret
    PutRel32(code + 3, code + 7, &s_ripTarget);
    using Read = std::int64_t (*)();
    static PVOID s_trueRead = code;
    static Read hooked = [] { return reinterpret_cast<Read>(s_trueRead)() + 1; };
    ASSERT_EQ(Intercept(&s_trueRead, AsPointer(hooked)), NO_ERROR);
    EXPECT_EQ(reinterpret_cast<Read>(code)(), 0x1234567891LL);
    EXPECT_EQ(reinterpret_cast<Read>(s_trueRead)(), 0x1234567890LL);
}
#endif

// --- Refusals and misuse ---------------------------------------------------------------------------

int Replacement()
{
    return 0;
}

TEST(Detours, RefusesFunctionStartsItCannotMove)
{
    struct Case {
        const char* what;
        std::uint8_t* code;
    };
    const Case cases[] = {
        {"unknown instruction (ud2)", MakeCode({0x0F, 0x0B, 0x90, 0x90, 0x90, 0xC3})},
        {"breakpoint", MakeCode({0xCC, 0x90, 0x90, 0x90, 0x90, 0xC3})},
        {"function shorter than the jump", MakeCode({0x31, 0xC0, 0xC3})},
        {"8-bit branch inside the moved bytes", MakeCode({0x85, 0xC0, 0x74, 0x01, 0x90, 0xC3})},
        {"VEX-encoded instruction", MakeCode({0xC5, 0xF8, 0x77, 0x90, 0x90, 0xC3})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint8_t before[veyra::test::kCodeBufferSize];
        std::memcpy(before, c.code, sizeof(before));
        PVOID pointer = c.code;
        ASSERT_EQ(DetourTransactionBegin(), NO_ERROR);
        EXPECT_EQ(DetourAttach(&pointer, AsPointer(&Replacement)), ERROR_INVALID_BLOCK);
        EXPECT_EQ(DetourTransactionCommit(), ERROR_INVALID_BLOCK) << "the commit reports the pending failure";
        EXPECT_EQ(pointer, c.code);
        EXPECT_EQ(std::memcmp(before, c.code, sizeof(before)), 0) << "refused code stays untouched";
    }
}

TEST(Detours, RefusesCallsOutsideATransaction)
{
    PVOID pointer = MakeCode({0xB8, 1, 0, 0, 0, 0xC3});
    EXPECT_EQ(DetourAttach(&pointer, AsPointer(&Replacement)), ERROR_INVALID_OPERATION);
    EXPECT_EQ(DetourUpdateThread(GetCurrentThread()), ERROR_INVALID_OPERATION);
    EXPECT_EQ(DetourTransactionCommit(), ERROR_INVALID_OPERATION);

    ASSERT_EQ(DetourTransactionBegin(), NO_ERROR);
    EXPECT_EQ(DetourTransactionBegin(), ERROR_INVALID_OPERATION) << "one transaction at a time";
    LONG otherThread = NO_ERROR;
    veyra::UniqueHandle thread = veyra::StartThread([&] {
        otherThread = DetourTransactionBegin();
        (void)DetourAttach(&pointer, AsPointer(&Replacement));
    });
    ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(otherThread, ERROR_INVALID_OPERATION);
    EXPECT_EQ(DetourTransactionCommit(), NO_ERROR) << "an empty transaction commits";

    ASSERT_EQ(DetourTransactionBegin(), NO_ERROR);
    PVOID nothing = nullptr;
    EXPECT_EQ(DetourAttach(&nothing, AsPointer(&Replacement)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(DetourAttach(&pointer, AsPointer(&Replacement)), ERROR_INVALID_HANDLE) << "the failure stays pending";
    EXPECT_EQ(DetourTransactionCommit(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(static_cast<std::uint8_t*>(pointer)[0], 0xB8) << "nothing of a failed transaction is patched";
}

TEST(Detours, RefusesToPatchCodeChangedSinceTheAttach)
{
    std::uint8_t* code = MakeCode({0xB8, 1, 0, 0, 0, 0xC3});  // mov eax,1; ret
    PVOID pointer = code;
    ASSERT_EQ(DetourTransactionBegin(), NO_ERROR);
    ASSERT_EQ(DetourAttach(&pointer, AsPointer(&Replacement)), NO_ERROR);
    code[1] = 2;
    EXPECT_EQ(DetourTransactionCommit(), ERROR_INVALID_DATA);
    EXPECT_EQ(code[0], 0xB8);
    EXPECT_EQ(pointer, code);
}

}  // namespace
