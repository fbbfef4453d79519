#pragma once
// The two process-wide values of a drag started by a view: its host window and 1 while DoDragDrop runs,
// both 0 otherwise. Written and read only on the UI thread (drop targets tell an internal drag by them).

#include <windows.h>

namespace veyra {

inline HWND DragSourceWindow = nullptr;
inline int InternalDragFlag = 0;

}  // namespace veyra
