#pragma once
// The control kinds of the layouts and their creation by layout category or element name.

#include <windows.h>

#include <string>

#include "suite/vorrel/ControlNode.h"

namespace vorrel {

// A control of a layout category (the engine's CreateControl), asked for by `iid`.
HRESULT CreateControlOfCategory(const GUID& category, const IID& iid, const std::wstring& themeName, void** out) noexcept;
// The aggregatable outer-drawn control (class CLSID_vorrel_outercontrol).
HRESULT CreateOuterDrawnControl(IUnknown* outer, REFIID iid, void** out) noexcept;
// A new node for a layout element name ("static", "button", ...), with one reference; nullptr for an
// unknown element.
ControlNode* CreateControlForElement(const std::wstring& element, const std::wstring& themeName);
// The root container of a skinned window.
ControlNode* CreateRootPanel(const std::wstring& themeName);

}  // namespace vorrel
