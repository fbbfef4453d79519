// The drop target called the way OLE calls it: what it shows (the description read back from the data
// object), what it reports, which drops reach the window and with which target and move flag.

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "base/ComPtr.h"
#include "shell/dragdrop/CIDropTarget.h"
#include "shell/dragdrop/DropDecision.h"
#include "tests/shell/dragdrop/DragTestSupport.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr int kLeft = 200, kTop = 150;

TEST(DropDecisionTest, DescriptionAndEffectPerStep)
{
    struct Case {
        const char* name;
        std::wstring target;
        std::wstring insert;
        DWORD effect;
        bool noMove;
        DropImage type;
        std::wstring message;
        bool move;
        DWORD reported;
    } const cases[] = {
        {"copy", L"D:\\b", L"b", DROPEFFECT_COPY, false, DropImage::Copy, L"复制到 %1", false, DROPEFFECT_COPY},
        {"move reported as copy", L"C:\\b", L"b", DROPEFFECT_MOVE, false, DropImage::Move, L"移动到 %1", true, DROPEFFECT_COPY},
        {"move onto where it came from", L"C:\\b", L"b", DROPEFFECT_MOVE, true, DropImage::Invalid, L"", true, DROPEFFECT_COPY},
        {"move without a name", L"C:\\b", L"", DROPEFFECT_MOVE, false, DropImage::Invalid, L"", true, DROPEFFECT_COPY},
        {"copy without a name", L"C:\\b", L"", DROPEFFECT_COPY, false, DropImage::Invalid, L"", false, DROPEFFECT_COPY},
        {"copy and move: copy wins", L"C:\\b", L"b", DROPEFFECT_COPY | DROPEFFECT_MOVE, false, DropImage::Copy, L"复制到 %1", false, DROPEFFECT_COPY},
        {"refused", L"C:\\b", L"b", DROPEFFECT_NONE, false, DropImage::Invalid, L"", false, DROPEFFECT_NONE},
        {"My Computer refuses even a copy", kComputerTargetPath, L"计算机", DROPEFFECT_COPY, false, DropImage::None, L"", false, DROPEFFECT_NONE},
    };
    for (const Case& c : cases) {
        const DropStep step = DecideDropStep(c.target, c.insert, c.effect, c.noMove);
        EXPECT_EQ(step.type, c.type) << c.name;
        EXPECT_EQ(step.message, c.message) << c.name;
        EXPECT_EQ(step.insert, c.message.empty() ? std::wstring() : c.insert) << c.name;
        EXPECT_EQ(step.move, c.move) << c.name;
        EXPECT_EQ(step.reportedEffect, c.reported) << c.name;
    }
}

class DropTargetTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(m_window.Handle(), nullptr);
        m_target = ComPtr<CIDropTarget>::Adopt(new CIDropTarget(m_window.Handle()));
        m_target->AddAcceptedFormat(FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
        m_target->SetDefaultTargetPath(L"C:\\shown");
        m_target->SetCallbacks(&m_callbacks);
    }
    void TearDown() override { m_target->SetCallbacks(nullptr); }

    static POINTL At(int x, int y) { return POINTL{kLeft + x, kTop + y}; }

    RecordingWindow m_window{kLeft, kTop, 300, 200};
    RecordingCallbacks m_callbacks;
    ComPtr<CIDropTarget> m_target;
};

TEST_F(DropTargetTest, StepsShowTheDescriptionAndDropsCarryTheDecision)
{
    struct Case {
        const char* name;
        DWORD effect;
        std::wstring target;
        int noMove;
        DropImage type;
        std::wstring message;
        std::wstring insert;
        DWORD reported;
        size_t drops;
        std::wstring dropTarget;
        int move;
    } const cases[] = {
        {"copy into the window's folder", DROPEFFECT_COPY, L"", 0, DropImage::Copy, L"复制到 %1", L"shown", DROPEFFECT_COPY, 1, L"C:\\shown", 0},
        {"move into a subfolder", DROPEFFECT_MOVE, L"C:\\shown\\sub", 0, DropImage::Move, L"移动到 %1", L"sub", DROPEFFECT_COPY, 1, L"C:\\shown\\sub", 1},
        {"move onto its own desktop", DROPEFFECT_MOVE, L"", 1, DropImage::Invalid, L"", L"", DROPEFFECT_COPY, 1, L"C:\\shown", 1},
        {"refused by the window", DROPEFFECT_NONE, L"", 0, DropImage::Invalid, L"", L"", DROPEFFECT_NONE, 0, L"", 0},
        {"My Computer", DROPEFFECT_COPY, kComputerTargetPath, 0, DropImage::None, L"", L"", DROPEFFECT_NONE, 0, L"", 0},
        {"a drive root", DROPEFFECT_COPY, L"D:\\", 0, DropImage::Copy, L"复制到 %1", L"D:\\", DROPEFFECT_COPY, 1, L"D:\\", 0},
    };
    for (const Case& c : cases) {
        m_callbacks.Clear();
        m_callbacks.answerEffect = c.effect;
        m_callbacks.answerTarget = c.target;
        m_callbacks.answerNoMove = c.noMove;
        ComPtr<CIDataObject> data = MakeFileDataObject({L"C:\\a\\one.txt", L"C:\\a\\two.txt"});

        DWORD effect = DROPEFFECT_COPY;
        ASSERT_EQ(m_target->DragEnter(data.get(), MK_LBUTTON, At(10, 20), &effect), S_OK) << c.name;
        EXPECT_EQ(effect, c.reported) << c.name;
        const auto shown = ReadDescription(data.get());
        ASSERT_TRUE(shown.has_value()) << c.name;
        EXPECT_EQ(shown->type, static_cast<std::int32_t>(c.type)) << c.name;
        EXPECT_EQ(std::wstring(shown->message), c.message) << c.name;
        EXPECT_EQ(std::wstring(shown->insert), c.insert) << c.name;

        effect = DROPEFFECT_COPY;
        ASSERT_EQ(m_target->DragOver(MK_LBUTTON, At(30, 40), &effect), S_OK) << c.name;
        EXPECT_EQ(effect, c.reported) << c.name;
        EXPECT_EQ(m_callbacks.ended, 0) << c.name;
        effect = DROPEFFECT_COPY;
        ASSERT_EQ(m_target->Drop(data.get(), 0, At(30, 40), &effect), S_OK) << c.name;
        EXPECT_EQ(effect, c.reported) << c.name;
        EXPECT_EQ(m_callbacks.ended, 1) << c.name << ": the window hears of the end, taken or refused";

        // Each step saw the point in the window's client coordinates and what the drag offered.
        ASSERT_EQ(m_callbacks.steps.size(), 3u) << c.name;
        EXPECT_EQ(m_callbacks.steps[0].x, 10) << c.name;
        EXPECT_EQ(m_callbacks.steps[0].y, 20) << c.name;
        EXPECT_EQ(m_callbacks.steps[2].x, 30) << c.name;
        EXPECT_EQ(m_callbacks.offered[1], static_cast<DWORD>(DROPEFFECT_COPY)) << c.name;
        ASSERT_EQ(m_callbacks.drops.size(), c.drops) << c.name;
        if (c.drops) {
            EXPECT_EQ(m_callbacks.drops[0].target, c.dropTarget) << c.name;
            EXPECT_EQ(m_callbacks.drops[0].move, c.move) << c.name;
            EXPECT_EQ(m_callbacks.drops[0].paths,
                      (std::vector<std::wstring>{L"C:\\a\\one.txt", L"C:\\a\\two.txt"})) << c.name;
            EXPECT_EQ(m_callbacks.drops[0].readBack, m_callbacks.drops[0].paths) << c.name;
            EXPECT_EQ(m_callbacks.stepPaths, m_callbacks.drops[0].paths) << c.name;
        }
        // The target let the data object go: ours is the only reference left.
        EXPECT_EQ(data->AddRef(), 2u) << c.name;
        data->Release();
    }
}

TEST_F(DropTargetTest, LeavingEndsTheDragWithoutADrop)
{
    ComPtr<CIDataObject> data = MakeFileDataObject({L"C:\\a\\one.txt"});
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(m_target->DragEnter(data.get(), MK_LBUTTON, At(5, 5), &effect), S_OK);
    EXPECT_EQ(m_callbacks.ended, 0);
    ASSERT_EQ(m_target->DragLeave(), S_OK);
    EXPECT_EQ(m_callbacks.ended, 1);
    EXPECT_TRUE(m_callbacks.drops.empty());
}

// A move seen on the way (over a same-drive folder) does not turn the final copy into a move.
TEST_F(DropTargetTest, TheDropsOwnStepDecidesMoveOrCopy)
{
    ComPtr<CIDataObject> data = MakeFileDataObject({L"C:\\a\\one.txt"});
    DWORD effect = DROPEFFECT_COPY;
    m_callbacks.answerEffect = DROPEFFECT_MOVE;
    ASSERT_EQ(m_target->DragEnter(data.get(), MK_LBUTTON, At(5, 5), &effect), S_OK);
    EXPECT_TRUE(m_target->MoveFlag());
    m_callbacks.answerEffect = DROPEFFECT_COPY;
    m_callbacks.answerTarget = L"D:\\other";
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(m_target->DragOver(MK_LBUTTON, At(6, 6), &effect), S_OK);
    EXPECT_FALSE(m_target->MoveFlag());
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(m_target->Drop(data.get(), 0, At(6, 6), &effect), S_OK);
    ASSERT_EQ(m_callbacks.drops.size(), 1u);
    EXPECT_EQ(m_callbacks.drops[0].move, 0);
    EXPECT_EQ(m_callbacks.drops[0].target, L"D:\\other");
}

TEST_F(DropTargetTest, ForeignDataAndBadArguments)
{
    // Text from another program: refused at every step, the window never asked.
    ComPtr<CIDataObject> text = ComPtr<CIDataObject>::Adopt(new CIDataObject());
    ASSERT_EQ(SetGlobalData(text.get(), CF_UNICODETEXT, L"hi", 6), S_OK);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(m_target->DragEnter(text.get(), MK_LBUTTON, At(1, 1), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(m_target->DragOver(MK_LBUTTON, At(2, 2), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(m_target->Drop(text.get(), 0, At(2, 2), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(m_callbacks.steps.empty());
    EXPECT_TRUE(m_callbacks.drops.empty());
    EXPECT_FALSE(ReadDescription(text.get()).has_value());

    ComPtr<CIDataObject> files = MakeFileDataObject({L"C:\\a"});
    EXPECT_EQ(m_target->DragEnter(nullptr, 0, At(1, 1), &effect), E_INVALIDARG);
    EXPECT_EQ(m_target->DragEnter(files.get(), 0, At(1, 1), nullptr), E_POINTER);
    EXPECT_EQ(m_target->DragOver(0, At(1, 1), nullptr), E_POINTER);
    EXPECT_EQ(m_target->Drop(nullptr, 0, At(1, 1), &effect), E_INVALIDARG);
    EXPECT_EQ(m_target->Drop(files.get(), 0, At(1, 1), nullptr), E_POINTER);
    EXPECT_EQ(m_target->DragLeave(), S_OK);

    // Entered and left: the window was asked once and nothing was dropped.
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(m_target->DragEnter(files.get(), MK_LBUTTON, At(1, 1), &effect), S_OK);
    ASSERT_EQ(m_target->DragLeave(), S_OK);
    EXPECT_EQ(m_callbacks.steps.size(), 1u);
    EXPECT_TRUE(m_callbacks.drops.empty());
    EXPECT_EQ(files->AddRef(), 2u);
    files->Release();

    void* out = nullptr;
    EXPECT_EQ(m_target->QueryInterface(IID_IDropTarget, nullptr), E_POINTER);
    ASSERT_EQ(m_target->QueryInterface(IID_IDropTarget, &out), S_OK);
    static_cast<IUnknown*>(out)->Release();
    EXPECT_EQ(m_target->QueryInterface(IID_IDropSource, &out), E_NOINTERFACE);
}

// A file list with no names is still the file format: the window is asked, with no paths to judge.
TEST_F(DropTargetTest, AFileListWithoutNamesGivesNoPaths)
{
    ComPtr<CIDataObject> data = ComPtr<CIDataObject>::Adopt(new CIDataObject());
    DROPFILES header{};
    header.pFiles = sizeof(header);
    header.fWide = TRUE;
    ASSERT_EQ(SetGlobalData(data.get(), CF_HDROP, &header, sizeof(header)), S_OK);
    m_callbacks.stepPaths = {L"stale"};
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(m_target->DragEnter(data.get(), MK_LBUTTON, At(1, 1), &effect), S_OK);
    ASSERT_EQ(m_callbacks.steps.size(), 1u);
    EXPECT_TRUE(m_callbacks.stepPaths.empty());
    ASSERT_EQ(m_target->DragLeave(), S_OK);
}

// Without callbacks (the window has gone) the drag is refused and reaches nobody.
TEST_F(DropTargetTest, NoCallbacksNoDrop)
{
    m_target->SetCallbacks(nullptr);
    ComPtr<CIDataObject> files = MakeFileDataObject({L"C:\\a"});
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(m_target->DragEnter(files.get(), MK_LBUTTON, At(1, 1), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(m_target->Drop(files.get(), 0, At(1, 1), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(m_callbacks.drops.empty());
}

}  // namespace
