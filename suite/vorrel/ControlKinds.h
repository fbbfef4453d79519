#pragma once
// Inside the library: the control kinds that live in files of their own, made by the kind table of
// Controls.cpp, and the drawing helpers they share.

#include <string>

#include "suite/vorrel/ControlNode.h"

namespace vorrel {

ControlNode* MakePanelNode(const std::wstring& theme);
ControlNode* MakeListHeaderNode(const std::wstring& theme);
ControlNode* MakeListNode(const std::wstring& theme);
ControlNode* MakeEditNode(const std::wstring& theme);

Gdiplus::Rect ToGdiplusRect(const RECT& r);
// Hover and press show as a light or dark veil over a control that has no picture for them.
void PaintStateVeil(Gdiplus::Graphics& graphics, const ControlNode& node);
void PaintStateVeil(Gdiplus::Graphics& graphics, const ControlNode& node, DWORD state);

// A node of a kind, with one reference; nullptr when memory runs out.
template <typename T>
ControlNode* MakeNode(const std::wstring& theme)
{
    try {
        return new T(theme);
    } catch (...) {
        return nullptr;
    }
}

// The edit's layout attribute `max_length` (characters; 0 leaves the EDIT's own limit).
void SetEditLimit(ControlNode* node, UINT characters);

}  // namespace vorrel
