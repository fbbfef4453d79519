// What the program sets up on its UI thread before any drag: GDI+, OLE, and the system information.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include "core/GlobalInfo.h"
#include "core/shellutil/GdiplusSession.h"

namespace {

class DragDropEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_gdiplus.Started());
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        veyra::g_globalInfo.Init();
    }
    void TearDown() override { OleUninitialize(); }

private:
    veyra::GdiplusSession m_gdiplus;
};

[[maybe_unused]] testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new DragDropEnvironment);

}  // namespace
