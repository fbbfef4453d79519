// The engine flags live in the program's own registry view: a 32-bit program on 64-bit Windows reads
// and writes them under Wow6432Node, where the suite's 32-bit parts keep them too.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/UniqueResource.h"
#include "core/SandBoxHelper.h"
#include "tests/support/ScopedRegistryValue.h"

namespace {

using veyra::CSandBoxHelper;
using veyra::test::ScopedRegistryValue;

constexpr REGSAM kOwnView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
constexpr REGSAM kOtherView = sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;

// The flag as one view of the registry holds it; -1 when it is absent there.
long FlagInView(REGSAM view, const wchar_t* name)
{
    veyra::UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, 0, KEY_QUERY_VALUE | view, key.put()) !=
        ERROR_SUCCESS) {
        return -1;
    }
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
        return -1;
    }
    return static_cast<long>(value);
}

TEST(EngineFlagsView, FlagsAreWrittenAndReadInTheProgramsOwnView)
{
    ScopedRegistryValue own(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_GUIDE", kOwnView);
    ScopedRegistryValue other(HKEY_LOCAL_MACHINE, veyra::kEngineFlagsKey, L"SB_GUIDE", kOtherView);
    ASSERT_TRUE(own.Delete());
    ASSERT_TRUE(other.SetDword(1));
    EXPECT_EQ(CSandBoxHelper::IsGuideShown(), 0) << "the other view's flag was read";

    ASSERT_EQ(CSandBoxHelper::SetGuideShown(7), 1);
    EXPECT_EQ(FlagInView(kOwnView, L"SB_GUIDE"), 7);
    EXPECT_EQ(FlagInView(kOtherView, L"SB_GUIDE"), 1) << "the write went to the other view";
    EXPECT_EQ(CSandBoxHelper::IsGuideShown(), 1);
}

}  // namespace
