// What the program sets up before any shell utility runs: GDI+, COM on the calling thread, and the
// system information its version rules read.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/GlobalInfo.h"
#include "core/shellutil/GdiplusSession.h"

namespace {

class ShellUtilEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_gdiplus.Started());
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        veyra::g_globalInfo.Init();
    }
    void TearDown() override { CoUninitialize(); }

private:
    veyra::GdiplusSession m_gdiplus;
};

[[maybe_unused]] testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new ShellUtilEnvironment);

}  // namespace
