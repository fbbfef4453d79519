#pragma once
// GDI+ images from the program's own PNG resources, and the GDI+ encoders.

#include <windows.h>

#include "core/shellutil/ShellPlatform.h"

namespace veyra {

// The "PNG" resource `id` of `module` (the program's own by default); empty when it is missing or no PNG.
[[nodiscard]] ImagePtr LoadPngResource(int id, HMODULE module = GetModuleHandleW(nullptr)) noexcept;

// The index of the GDI+ encoder whose MIME type is exactly `mimeType` ("image/png") with its class id,
// or -1.
[[nodiscard]] int GetEncoderClsid(const wchar_t* mimeType, CLSID* classId) noexcept;

}  // namespace veyra
