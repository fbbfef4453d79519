#pragma once
// What a path names, by its text alone: an image or icon file by its extension, or one of the places
// that are no ordinary folder (a bare drive, My Computer, the control panel).

namespace veyra {

extern const wchar_t kMyComputerName[];  // the shell's name of My Computer

[[nodiscard]] int IsImageFile(const wchar_t* path) noexcept;  // .bmp .jpg .jpeg .png .gif
[[nodiscard]] int IsIconFile(const wchar_t* path) noexcept;   // .ico
[[nodiscard]] int IsSpecialFolder(const wchar_t* path) noexcept;

}  // namespace veyra
