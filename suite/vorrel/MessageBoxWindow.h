#pragma once
// The library's own message box (engine position 7): a skinned box built from the skin's
// "\Common\XML\DefaultMessageBox.xml" into a top-level window owned by the asker's top-level window, run
// modally on the calling thread (the owner disabled meanwhile, its own loop, the owner enabled again
// before the box goes). The object lives on the stack of the call and belongs to that thread.

#include <windows.h>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "base/ComPtr.h"
#include "base/MessageLoop.h"
#include "base/Window.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace vorrel {

class SkinWindow;

// What a message-box type asks for: its answers left to right, the one Enter gives and the one a close
// gives. Nothing for a button type that does not exist.
struct MessageBoxButtons {
    int answers[3] = {};
    int count = 0;
    int defaultAnswer = 0;
    int closeAnswer = IDCANCEL;
};
std::optional<MessageBoxButtons> ButtonsForType(UINT type) noexcept;
// The picture of the type's icon (IDI_ICONHAND ...), or nullptr without one.
const wchar_t* IconImageForType(UINT type) noexcept;
// The text of an answer's button ("是", "否", ...).
const wchar_t* ButtonText(int answer) noexcept;

// Runs the box; S_OK with the answer in *result, or a failure without a window (*result 0).
HRESULT ShowEngineMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, INT* result) noexcept;

class LibraryMessageBox final : public veyra::MappedWindow<LibraryMessageBox>, public veyra::MessageFilter {
public:
    LibraryMessageBox(UINT type, const MessageBoxButtons& buttons);
    ~LibraryMessageBox() override;

    // Builds the skinned box over `owner` (shown, owner disabled); a failure leaves no window behind.
    HRESULT Create(HWND owner, const std::wstring& layoutPath, const std::wstring& text, const std::wstring& caption);
    // Runs the box's loop until it is answered; the box is gone afterwards.
    int Run();

    // The sink of its buttons: a click arrives as this command id.
    void Command(USHORT id);

    static std::span<const Entry> Messages();
    bool PreTranslateMessage(MSG& message) override;

private:
    class ButtonSink;

    HRESULT Fill(const std::wstring& text, const std::wstring& caption);
    HRESULT FillButtons();
    void FillIcon();
    void Advise(vorrelUI::Ivorrel_control* control);
    void Place();
    void Answer(int answer);
    bool AnswerKey(WPARAM key);
    void TearDown() noexcept;
    veyra::ComPtr<vorrelUI::Ivorrel_control> Find(USHORT id) const;

    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

    UINT m_type;
    MessageBoxButtons m_buttons;
    std::unique_ptr<ButtonSink> m_sink;
    veyra::ComPtr<SkinWindow> m_skin;
    std::vector<std::pair<veyra::ComPtr<IConnectionPoint>, DWORD>> m_advised;
    HWND m_owner = nullptr;
    bool m_ownerDisabled = false;
    bool m_answered = false;
    int m_answer = 0;
};

}  // namespace vorrel
