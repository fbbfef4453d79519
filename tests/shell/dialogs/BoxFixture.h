#pragma once
// Real boxes in real windows: the stand-in suite's skin started once for the test program, a desktop
// window for the test sandbox's key that keeps the registered windows as the real one does, questions
// asked from threads of their own, and the boxes found, read through the skin's dump and clicked
// through the input queue.

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "base/Window.h"
#include "shell/desktop/RegisteredWindows.h"
#include "tests/core/sandboxview/SandBoxViewFixture.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TempFolder.h"

namespace veyra::test {

// The class names of the boxes' windows.
inline constexpr wchar_t kMessageBoxClass[] = L"VeyraMessageBox";
inline constexpr wchar_t kReplaceBoxClass[] = L"VeyraReplaceBox";
inline constexpr wchar_t kProgressClass[] = L"VeyraProgressDialog";

// A loose layout file of `name` in the skin's layout folder, found before the package's own: a window
// without any control, so a box built on it misses every control. Removed when the object goes.
class BrokenLayout {
public:
    explicit BrokenLayout(const wchar_t* name);
    ~BrokenLayout();
    BrokenLayout(const BrokenLayout&) = delete;
    BrokenLayout& operator=(const BrokenLayout&) = delete;
    [[nodiscard]] bool Written() const noexcept { return m_written; }

private:
    std::wstring m_path;
    bool m_written;
};

// Stands where the desktop window would: 830x625, shown, registered for its key; keeps the windows
// that register with it.
class BoxHost final : public MappedWindow<BoxHost> {
public:
    explicit BoxHost(int ownerKey);
    ~BoxHost() override;
    [[nodiscard]] const RegisteredWindows& Registered() const noexcept { return m_registered; }
    static std::span<const Entry> Messages();

private:
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);

    int m_ownerKey;
    RegisteredWindows m_registered;
};

// A question asked on a thread of its own. The asking thread ends when the question returns; a case
// that fails leaves no thread behind (the box's loop is told to quit).
class Asker {
public:
    explicit Asker(std::function<int()> ask);
    ~Asker();
    Asker(const Asker&) = delete;
    Asker& operator=(const Asker&) = delete;

    // Pumps this thread (the host's) until the question returned.
    bool WaitAnswered(DWORD timeoutMs = 15000);
    [[nodiscard]] int Result() const noexcept { return m_result.load(); }
    [[nodiscard]] bool Answered() const noexcept { return m_answered.load(); }
    [[nodiscard]] DWORD ThreadId() const noexcept { return m_threadId.load(); }

private:
    std::atomic<int> m_result{-1};
    std::atomic<bool> m_answered{false};
    std::atomic<DWORD> m_threadId{0};
    std::thread m_thread;
};

// The shown window of `className` (other than `except`), pumping this thread meanwhile; nullptr after
// `timeoutMs`.
HWND WaitForShownWindow(const wchar_t* className, HWND except = nullptr, DWORD timeoutMs = 15000);

// Boxes over a test sandbox: the fixture's host, the shell's prompts installed for each case.
class BoxFixture : public SandBoxViewFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The skin dump of a box window (the host pumps meanwhile, since a box may be sending to it).
    std::string Dump(HWND box);
    // Dumps `box` until `field` of control `id` reads `value` (pumping); the last dump.
    std::string WaitForField(HWND box, USHORT id, const char* field, const std::string& value);
    // Clicks control `id` of `box` as shown in its dump.
    void Click(HWND box, USHORT id);
    // When VEYRA_SHOT_FOLDER names a folder: writes "<name>.ready" there and waits (pumping, at most
    // 60 s) for "<name>.taken", which the screenshot script writes after it took the screen.
    void AwaitScreenshot(const char* name);

    std::unique_ptr<BoxHost> host;
    TempFolder dumps{L"boxdumps"};
};

}  // namespace veyra::test
