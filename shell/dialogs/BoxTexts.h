#pragma once
// What the boxes show, worked out without a window: the message boxes' button sets and places, their
// icon, and the file-conflict box's title and panel wordings. Any thread.

#include <windows.h>

#include <string>
#include <vector>

namespace veyra::dialogs {

// Run-time buttons of the message boxes and their answers.
namespace BoxButtonId {
inline constexpr USHORT kYes = 8004;
inline constexpr USHORT kNo = 8005;
inline constexpr USHORT kCancel = 8006;
}  // namespace BoxButtonId

struct BoxButton {
    USHORT id;
    std::wstring text;
    const wchar_t* image;
    int answer;  // IDYES, IDNO or IDCANCEL
};

enum class BoxMode { Modeless, Modal };

// The buttons of `type` (low four bits), right to left; empty when the box offers no such set (the
// modeless box has Yes/No and OK, the modal one Yes/No/Cancel too). A non-empty optional text replaces
// the default one: Yes/No take texts 2 and 3, Yes/No/Cancel 1-3, OK text 1.
[[nodiscard]] std::vector<BoxButton> ButtonSet(int type, BoxMode mode, const std::wstring& text1,
                                               const std::wstring& text2, const std::wstring& text3);

// Button `indexFromRight` (0 the rightmost) inside the body panel's rectangle: 62 by 22 pixels, 37 to
// 15 above its bottom, the rightmost from, each further one 77 pixels to the left.
[[nodiscard]] RECT ButtonRect(const RECT& panel, int indexFromRight) noexcept;

// The skin image of the type's icon bits (stop, question, exclamation; the asterisk otherwise).
[[nodiscard]] const wchar_t* IconImageName(int type) noexcept;

// The file-conflict box's texts for a copy (type 1), a move (2) or anything else (copy wording, the
// layout's own title: `title` empty).
struct ReplaceWording {
    std::wstring title;
    std::wstring replace;   // panel 9002
    std::wstring skip;      // panel 9003
    std::wstring keepBoth;  // panel 9004
};
[[nodiscard]] ReplaceWording ReplaceBoxWording(int type, const std::wstring& name, const std::wstring& sourceFolder,
                                               const std::wstring& targetFolder, const std::wstring& newName);

}  // namespace veyra::dialogs
