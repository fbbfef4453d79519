#pragma once
// Small pieces the drag-and-drop tests share: data objects with a file list, the drop description read
// back from a data object, and drop callbacks that record what a target asked and was given.

#include <windows.h>
#include <oleidl.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/ComPtr.h"
#include "shell/dragdrop/CIDataObject.h"
#include "shell/dragdrop/CIDropTarget.h"
#include "shell/dragdrop/DropBlocks.h"

namespace veyra::test {

// A new data object holding the CF_HDROP block of `paths` (none for an empty list).
ComPtr<CIDataObject> MakeFileDataObject(const std::vector<std::wstring>& paths);

// Sets `bytes` as an HGLOBAL medium of `format` on the data object (released by it).
HRESULT SetGlobalData(IDataObject* data, CLIPFORMAT format, const void* bytes, size_t size);

// The "DropDescription" block on the data object, when it has one of the right size.
std::optional<DropDescriptionRecord> ReadDescription(IDataObject* data);

struct DropCall {
    std::wstring target;
    int move;
    std::vector<std::wstring> paths;  // as given to the drop
    std::vector<std::wstring> readBack;  // read from the data object at the drop
    int internalFlag;
    HWND sourceWindow;
};

// Answers every drag-over step with `effect` and, when set, `target`; records the steps and the drops.
class RecordingCallbacks final : public DropCallbacks {
public:
    void DragOverTarget(IDataObject* dataObject, const std::vector<std::wstring>& paths, POINT clientPoint,
                        DWORD& effect, std::wstring& targetPath, int& noMove) override;
    void DropOnTarget(IDataObject* dataObject, const std::vector<std::wstring>& paths, const std::wstring& targetPath,
                      int move) override;
    void DragEnded() override { ++ended; }

    DWORD answerEffect = DROPEFFECT_COPY;
    std::wstring answerTarget;  // empty: keep the window's folder
    int answerNoMove = 0;

    std::vector<POINT> steps;
    std::vector<DWORD> offered;
    std::vector<DropCall> drops;
    std::vector<std::wstring> stepPaths;  // what the last step was given
    std::atomic<int> stepCount{0};  // read by an input thread while the drag runs
    int ended = 0;

    RecordingCallbacks() = default;
    RecordingCallbacks& operator=(const RecordingCallbacks&) = delete;
    void Clear();
};

}  // namespace veyra::test

#include "base/Window.h"

namespace veyra::test {

// A plain top-level window at a fixed screen place that records the private messages it receives.
class RecordingWindow final : public Window {
public:
    RecordingWindow(int x, int y, int width, int height, DWORD style = WS_POPUP | WS_VISIBLE);
    std::vector<UINT> received;
    // The registration records that reached it: the code and the window each names.
    std::vector<std::pair<ULONG_PTR, std::uint32_t>> registrations;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Lets queued and sent messages run for a moment's work (posted input, OLE's timer).
void PumpMessages();

}  // namespace veyra::test
