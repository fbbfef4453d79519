#include "base/Thread.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/UniqueResource.h"

namespace {

TEST(Thread, TaskRunsOnNewThreadAndIsFreedThere)
{
    auto marker = std::make_shared<int>(0);
    DWORD taskThread = 0;
    veyra::UniqueHandle thread = veyra::StartThread([marker, &taskThread] {
        *marker = 1;
        taskThread = GetCurrentThreadId();
    });
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(*marker, 1);
    EXPECT_NE(taskThread, GetCurrentThreadId());
    EXPECT_EQ(marker.use_count(), 1) << "the thread must free its copy of the task";
}

TEST(UniqueResource, ClosingKeepsLastError)
{
    veyra::UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    SetLastError(ERROR_DISK_FULL);
    event.reset();
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_FALSE(event);
}

TEST(UniqueResource, FileHandleTreatsNullAndInvalidApart)
{
    veyra::UniqueFileHandle file;
    EXPECT_FALSE(file);
    EXPECT_EQ(file.get(), INVALID_HANDLE_VALUE);
    veyra::UniqueHandle handle;
    EXPECT_EQ(handle.get(), nullptr);
}

}  // namespace
