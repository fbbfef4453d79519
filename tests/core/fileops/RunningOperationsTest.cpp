// Exit and restore stop the running operations first: every worker is cancelled and waited for while
// its notices still reach the UI thread, so no file is left half-written and nothing is written after
// the stop. Run against the process's sandbox view in the test sandbox.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "base/Window.h"
#include "core/fileops/EngineBinding.h"
#include "core/fileops/NsOperations.h"
#include "core/fileops/RunningOperations.h"
#include "tests/core/sandboxview/SandBoxViewFixture.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestPaths.h"

namespace veyra::test {
namespace {

constexpr int kFiles = 6;
constexpr DWORD kWaitMs = 20000;

BOOL CALLBACK CountShownWindow(HWND window, LPARAM data)
{
    *reinterpret_cast<int*>(data) += IsWindowVisible(window) ? 1 : 0;
    return TRUE;
}

// A box on the asking worker's thread: a top-level window whose close ends its loop, as the skinned
// boxes do.
LRESULT CALLBACK BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        DestroyWindow(hwnd);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RunBoxUntilClosed(HANDLE shown)
{
    WNDCLASSW box{};
    box.lpfnWndProc = &BoxProc;
    box.hInstance = GetModuleHandleW(nullptr);
    box.lpszClassName = L"VeyraStopTestBox";
    RegisterClassW(&box);
    HWND window = CreateWindowExW(0, box.lpszClassName, L"box", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                  box.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    SetEvent(shown);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
}

// An operation whose last reference, let go on its worker thread after the worker took it out of the
// running operations, holds that thread until `release` is set.
class LingeringOperate : public NsOperate {
public:
    explicit LingeringOperate(HANDLE release) noexcept : NsOperate(0), m_release(release) {}
    ~LingeringOperate() override { WaitForSingleObject(m_release, kWaitMs); }
    HANDLE Start() noexcept override { return StartWorker(); }

protected:
    DWORD RunWorker() noexcept override { return 0; }

private:
    HANDLE m_release;
};

class StopOperations : public SandBoxViewFixture {
protected:
    void SetUp() override
    {
        SandBoxViewFixture::SetUp();
        InstallFileOperationEngine(CSandBoxFileSystem::Instance());
        for (int index = 1; index <= kFiles; ++index) {
            m_sources.push_back(m_root + L"\\src\\f" + std::to_wstring(index) + L".bin");
            MakeReal(m_sources.back(), std::string(256 * 1024, static_cast<char>('a' + index)));
        }
    }

    std::wstring Target(int index) const { return Shadow(m_root + L"\\dst\\f" + std::to_wstring(index) + L".bin"); }

    // Starts the copy as the progress dialog would; the worker's handle.
    UniqueHandle StartCopy(const std::wstring& folder = L"\\dst")
    {
        RefPtr<NsOperate> operation = MakeRef<NsCopyOperate>(m_sources, m_root + folder, kSandbox, 1);
        operation->progressDialog = MakeRef<OperationProgress>();
        return UniqueHandle(operation->Start());
    }

    // Every target is absent, untouched ("old") or a whole copy of its source; returns how many are present.
    int CheckTargets()
    {
        int present = 0;
        for (int index = 1; index <= kFiles; ++index) {
            if (!FileExists(Target(index))) {
                continue;
            }
            ++present;
            const std::string bytes = ReadFileBytes(Target(index));
            if (bytes != "old") {
                EXPECT_EQ(bytes, ReadFileBytes(m_sources[index - 1])) << "partial file " << index;
            }
        }
        return present;
    }

    NoticeRecorder m_host{kSandbox};
    ScriptedPrompts m_prompts;
    std::vector<std::wstring> m_sources;
};

TEST_F(StopOperations, StopDuringACopyHandlesTheWorkersNoticeAndWritesNothingAfter)
{
    UniqueHandle worker = StartCopy();
    ASSERT_TRUE(worker);
    // Without pumping, the worker stops in its first notice: the first file is done, the rest waits.
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) && GetTickCount64() < end) {
        Sleep(5);
    }
    ASSERT_TRUE(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) << "the worker never sent its notice";
    EXPECT_EQ(CRunningOperations::Instance().Count(), 1u);

    EXPECT_TRUE(CRunningOperations::Instance().CancelAllAndWait(kStopOperationsLimitMs))
        << "the worker's notice must be handled while the stop waits";
    EXPECT_EQ(WaitForSingleObject(worker.get(), 0), WAIT_OBJECT_0) << "the worker has ended: nothing is written later";
    EXPECT_EQ(CRunningOperations::Instance().Count(), 0u);
    EXPECT_FALSE(CRunningOperations::Instance().Stopping());
    EXPECT_EQ(m_host.Notices().size(), 1u);
    EXPECT_EQ(CheckTargets(), 1) << "the first file is whole, the later ones never started";
}

TEST_F(StopOperations, StopClosesTheBoxAWorkerWaitsInAndRefusesItsLaterQuestions)
{
    MakeShadow(m_root + L"\\dst\\f2.bin", "old");
    MakeShadow(m_root + L"\\dst\\f4.bin", "old");
    UniqueHandle shown(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // Closed without a button: the box answers 0 (skip). The fourth file's conflict is never asked.
    m_prompts.Queue(Question::Replace, 0, [&] { RunBoxUntilClosed(shown.get()); });
    UniqueHandle worker = StartCopy();
    ASSERT_TRUE(worker);
    ASSERT_TRUE(PumpUntilSignalled(shown.get(), kWaitMs));
    int boxes = 0;
    EnumThreadWindows(GetThreadId(worker.get()), &CountShownWindow, reinterpret_cast<LPARAM>(&boxes));
    ASSERT_EQ(boxes, 1);

    EXPECT_TRUE(CRunningOperations::Instance().CancelAllAndWait(kStopOperationsLimitMs));
    EXPECT_EQ(WaitForSingleObject(worker.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(m_prompts.Asked().size(), 1u) << "no question is asked after the stop began";
    EXPECT_EQ(ReadFileBytes(Target(2)), "old") << "the skipped file is untouched";
    EXPECT_EQ(CheckTargets(), 3) << "the first file, and the old copies of the second and fourth";
}

TEST_F(StopOperations, AnOperationStartedDuringAStopWorksNoItem)
{
    MakeShadow(m_root + L"\\dst\\f1.bin", "old");
    UniqueHandle second;
    m_prompts.Queue(Question::Replace, ConflictAnswer::kSkip, [&] {
        while (!CRunningOperations::Instance().Stopping()) {
            Sleep(5);
        }
        second = StartCopy(L"\\late");
    });
    UniqueHandle first = StartCopy();
    ASSERT_TRUE(first);
    ASSERT_TRUE(PumpUntil([] { return CRunningOperations::Instance().Count() == 1; }, kWaitMs));
    ASSERT_TRUE(PumpUntil([&] { return !m_prompts.Asked().empty(); }, kWaitMs));
    ASSERT_TRUE(CRunningOperations::Instance().CancelAllAndWait(kStopOperationsLimitMs));
    ASSERT_TRUE(second) << "the start itself goes through";
    EXPECT_TRUE(PumpUntilSignalled(second.get(), kWaitMs));
    EXPECT_FALSE(FileExists(Shadow(m_root + L"\\late"))) << "the late copy worked no item";
    EXPECT_EQ(CheckTargets(), 1) << "only the first file's old copy stays";
}

TEST(StopOperationsThreads, AStopWaitsForAWorkerThreadThatStillEndsAfterItsOperationWentOut)
{
    UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle worker;
    {
        RefPtr<NsOperate> operation = MakeRef<LingeringOperate>(release.get());
        worker.reset(operation->Start());
    }
    ASSERT_TRUE(worker);
    ASSERT_TRUE(PumpUntil([] { return CRunningOperations::Instance().Count() == 0; }, kWaitMs));
    ASSERT_EQ(WaitForSingleObject(worker.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    EXPECT_FALSE(CRunningOperations::Instance().CancelAllAndWait(200)) << "the worker's thread still runs";
    SetEvent(release.get());
    EXPECT_TRUE(CRunningOperations::Instance().CancelAllAndWait(kStopOperationsLimitMs));
    EXPECT_EQ(WaitForSingleObject(worker.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
}

}  // namespace
}  // namespace veyra::test
