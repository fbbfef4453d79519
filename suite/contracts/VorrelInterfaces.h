#pragma once
// The skin library's interfaces, shared by the library (suite/vorrel) and the program (shell/skin).
// Positions are binding: a position is the index of an operation in its interface's table, counting the
// three IUnknown operations as 0-2. Operations that no caller of ours uses still occupy their position;
// those the library does not serve are marked "unused" and answer E_NOTIMPL.
//
// Rectangles: every control rectangle, read or moved, is in the client coordinates of the skinned window,
// whatever the nesting of containers. Layout bounds are window pixels and the skinned window's client
// area is its whole window, so both agree.
//
// Events (dispinterface Ivorrel_events, raised through each control's connection point):
//   1 (message, wParam, lParam, sender): a click on a control arrives as WM_COMMAND with
//     MAKEWPARAM(control id, 0) and lParam 0; the sender is the clicked control. Enter in an edit arrives
//     as WM_KEYDOWN with VK_RETURN (lParam as the key message had it); the sender is the edit.
//   2 (bits set, bits cleared, sender): raised on every hover or press change of an advised control
//     (kStateHover, kStatePressed); the program's own ModifyState / SetOptionPair raise nothing. A rich
//     list raises it from itself: (kStatePressed, 0) when pressed, after the press selected the row under
//     it (a press beside the rows clears the selection), (0, kStatePressed) on the release, and
//     (kStateExpanded, 0) / (0, kStateExpanded) when one of its rows opens or closes.
//   A handler may close and release the window: the library keeps the window and the sender alive
//   until the raise returns.
// Mouse: labels take no mouse input, their press and hover belong to the control under them. Hover
// holds on the deepest control under the cursor and its ancestors. A press captures the mouse until
// the release; a release elsewhere, or a lost capture, clears the press without a click.
// DISPPARAMS carry the arguments in COM's reverse order (rgvarg[0] is the sender), all VT_I4 / VT_DISPATCH.
//
// Scrolling: a rich list, and a panel with control style 1, scroll vertically. Their children keep the
// rectangles the program gives them ("content" coordinates, window pixels as if nothing scrolled); at
// scroll position p (units of 2 pixels) a child is shown, hit and tooltipped 2p pixels higher, so the
// program adds 2p to a window y to find content under it. The wheel (60 pixels a notch) and a bar drawn
// at the right edge move the position, from 0 to the content's reach below the control.
//
// Anchors: a layout control's `anchor` ("left,top,right,bottom", any of them) keeps those edges at their
// distance from the window's edges when the host is resized; a container carries its children.

#include <ocidl.h>
#include <olectl.h>
#include <oleauto.h>
#include <unknwn.h>
#include <windows.h>

namespace vorrelUI {

// Control state bits (control positions 24 / 25, event 2).
inline constexpr DWORD kStateHover = 0x04;
inline constexpr DWORD kStatePressed = 0x10;
inline constexpr DWORD kStateChecked = 0x20;
inline constexpr DWORD kStateExpanded = 0x100;

// Style bits (control position 23).
inline constexpr DWORD kStyleVisible = 0x10000000;
inline constexpr DWORD kStyleDisabled = 0x400;

// Control-style bits (position 26) the library reads: for a button, the low byte 3 makes a check button;
// for a panel, bit 1 scrolls its children vertically (the folder window's view panel 1005 has it, the
// desktop panel 2001 has not).
inline constexpr DWORD kControlStyleCheckButton = 3;
inline constexpr DWORD kControlStyleScroll = 1;

// Codes of Ivorrel_scroll::ScrollIntoView (position 9).
// 4: `first` is the content y that is to stand at the control's top edge (ensure-visible passes an
//    item's cell bottom minus the panel's height, which brings that bottom to the panel's bottom).
inline constexpr INT kScrollCodeContentTop = 4;
// 5: `first` and `second` are the top and bottom of a content band, scrolled the least that shows it.
inline constexpr INT kScrollCodeIntoView = 5;

// The theme every list-header column is drawn with (one style shared by the columns).
inline constexpr wchar_t kListHeaderColumnTheme[] = L"panel_sandbox_listheader";

// Class ids and layout categories.
inline constexpr CLSID CLSID_vorrel_engine = {0x58E1F4B8, 0x8BD3, 0x4AA0, {0xBB, 0xE8, 0x5E, 0x46, 0xAC, 0x01, 0xA0, 0xCE}};
inline constexpr CLSID CLSID_vorrel_respack = {0x27CA8633, 0x8455, 0x457E, {0x91, 0x8F, 0xEE, 0x67, 0x23, 0xBF, 0x67, 0x05}};
inline constexpr CLSID CLSID_vorrel_winfactory = {0x36D87C72, 0xB695, 0x4A0D, {0x94, 0xA1, 0xD3, 0x3C, 0x38, 0x54, 0x75, 0xCA}};
inline constexpr CLSID CLSID_vorrel_outercontrol = {0x47EB5A9A, 0x7835, 0x430C, {0x86, 0x8D, 0x1A, 0xF6, 0xD5, 0x49, 0x35, 0x89}};
inline constexpr GUID CATEGORY_label = {0xFEC1ABC6, 0x6663, 0x4490, {0xBF, 0xD6, 0x65, 0xCF, 0xAA, 0x0B, 0x0F, 0xDA}};
inline constexpr GUID CATEGORY_imagebutton = {0xCD2416A2, 0x81E2, 0x486B, {0x92, 0x58, 0xE5, 0xC3, 0x0A, 0x07, 0x55, 0xAA}};
inline constexpr GUID CATEGORY_panel = {0xACE94411, 0xE3FB, 0x44C8, {0xBD, 0x2C, 0xFE, 0x33, 0x03, 0xCC, 0xEB, 0x3B}};
inline constexpr GUID CATEGORY_picture = {0x00073C9D, 0x2E82, 0x437F, {0x91, 0x7A, 0x7A, 0x0C, 0x2C, 0x8F, 0xFC, 0x87}};
inline constexpr GUID CATEGORY_list = {0xD6D9AC4C, 0x715F, 0x4311, {0xB1, 0xCF, 0xA3, 0x7C, 0x3C, 0x3A, 0x3C, 0x6A}};
inline constexpr GUID CATEGORY_edit = {0x8ABF4DD4, 0x7A77, 0x4FFA, {0x8A, 0xDE, 0x8E, 0x99, 0x49, 0x0D, 0x0A, 0xF4}};
inline constexpr GUID CATEGORY_progress = {0x1155F5C3, 0x607A, 0x4502, {0xA8, 0xF8, 0xC9, 0x6F, 0x48, 0x9F, 0xD3, 0x07}};
inline constexpr GUID CATEGORY_listview = {0x84D1047F, 0x60DD, 0x45D3, {0xB1, 0x6E, 0xE9, 0xDB, 0xCA, 0x45, 0xE5, 0x6A}};
// Chosen here: the list header has no layout element of its own.
inline constexpr GUID CATEGORY_listheader = {0x5B0E7A31, 0x2C4D, 0x4E8F, {0x9A, 0x61, 0x3D, 0x72, 0x0B, 0xC4, 0x18, 0xE5}};

// Interface ids.
inline constexpr IID IID_Ivorrel_engine = {0x3EF72492, 0x42FE, 0x427D, {0x96, 0x39, 0x5F, 0xDA, 0x57, 0x07, 0x0B, 0x0F}};
inline constexpr IID IID_Ivorrel_respack = {0x2687326B, 0x85E5, 0x47C0, {0x82, 0x61, 0x59, 0xED, 0x94, 0x51, 0x1B, 0x7B}};
inline constexpr IID IID_Ivorrel_winfactory = {0x14F35D78, 0x373D, 0x4321, {0xB0, 0x75, 0x80, 0x53, 0xFF, 0xEB, 0x69, 0x76}};
inline constexpr IID IID_Ivorrel_resregistry = {0x1A740BED, 0xAE0F, 0x4E39, {0x9D, 0xB8, 0x37, 0x12, 0x6A, 0x3A, 0xE8, 0x2E}};
inline constexpr IID IID_Ivorrel_window = {0x3FD96BBB, 0x065E, 0x4DCA, {0xAF, 0xF4, 0x06, 0xEB, 0xE0, 0xAE, 0xE0, 0x7A}};
inline constexpr IID IID_Ivorrel_control = {0x75090732, 0xB6F7, 0x4B59, {0xA4, 0xE7, 0xF2, 0xC9, 0x73, 0x36, 0x2E, 0x27}};
inline constexpr IID IID_Ivorrel_container = {0xAA5FC180, 0x68D6, 0x4A96, {0xB3, 0xDF, 0x8F, 0xE7, 0x38, 0x6F, 0xE6, 0xD6}};
inline constexpr IID IID_Ivorrel_label = {0xA61FD988, 0xB1D0, 0x4327, {0x87, 0x0A, 0x75, 0xBC, 0x4F, 0xE9, 0xD7, 0x93}};
inline constexpr IID IID_Ivorrel_imagebutton = {0x7E5A87F0, 0xCA8F, 0x4732, {0xA2, 0xF1, 0x0E, 0x99, 0x03, 0xA6, 0x57, 0x0F}};
inline constexpr IID IID_Ivorrel_panel = {0xED5A6252, 0xF449, 0x45E9, {0x82, 0x5E, 0xC2, 0x7E, 0x98, 0xA2, 0x63, 0x59}};
inline constexpr IID IID_Ivorrel_itemcontrol = {0xEA8C5503, 0x10CF, 0x45DE, {0x8F, 0x20, 0x1E, 0x0D, 0x98, 0xEC, 0x6A, 0x09}};
inline constexpr IID IID_Ivorrel_list = {0x92F9B2A2, 0xAF10, 0x49A2, {0xBC, 0xEA, 0x0A, 0xC6, 0x9E, 0x4C, 0x71, 0x32}};
inline constexpr IID IID_Ivorrel_edit = {0x573221BD, 0xE7FD, 0x4D89, {0xB7, 0x68, 0x9B, 0xE5, 0x8D, 0x29, 0xAE, 0x82}};
inline constexpr IID IID_Ivorrel_progress = {0x14573334, 0x6831, 0x45C0, {0x85, 0x66, 0x6A, 0x28, 0x0C, 0x9A, 0x06, 0x64}};
inline constexpr IID IID_Ivorrel_listview = {0x7B72D435, 0xBABE, 0x44DC, {0xA9, 0xA5, 0xBA, 0xE8, 0x47, 0x42, 0x00, 0xEF}};
inline constexpr IID IID_Ivorrel_listheader = {0x9274453A, 0xF012, 0x451F, {0x9C, 0x96, 0xA7, 0x37, 0x59, 0x50, 0xB7, 0x00}};
inline constexpr IID IID_Ivorrel_scroll = {0xBCFCD9C0, 0x660A, 0x4190, {0x82, 0x37, 0xC6, 0x7C, 0x94, 0x7D, 0x11, 0x28}};
inline constexpr IID IID_Ivorrel_outercontrol = {0x528E2894, 0x58CF, 0x4980, {0xA0, 0x13, 0xB1, 0xF5, 0x95, 0x66, 0xE2, 0x6F}};
inline constexpr IID DIID_Ivorrel_events = {0x186A8A2B, 0x8AA1, 0x4243, {0xA4, 0xEC, 0xD6, 0x08, 0x1C, 0x0B, 0xFC, 0x67}};
// Chosen here.
inline constexpr IID IID_Ivorrel_theme = {0x6C1D2E43, 0x7F58, 0x4B96, {0xA2, 0x0D, 0x51, 0x8E, 0x3B, 0x7C, 0x94, 0x26}};
inline constexpr IID IID_Ivorrel_image = {0x0E93B4D7, 0x56A1, 0x4C02, {0x8D, 0x3F, 0x27, 0xB9, 0x6E, 0x14, 0xC5, 0x8A}};
inline constexpr IID IID_Ivorrel_outer = {0xD2A4F816, 0x3B95, 0x4E7C, {0xB1, 0x48, 0x6F, 0x02, 0xAD, 0x93, 0x5E, 0x71}};
inline constexpr IID IID_Ivorrel_uiproxy = {0x8F3C61A2, 0x14D7, 0x49B0, {0x9E, 0x25, 0xC7, 0x40, 0x1B, 0x6D, 0xA8, 0x53}};
inline constexpr IID IID_Ivorrel_minicompat = {0x41B7E9D0, 0x6A2C, 0x4F13, {0x85, 0xDE, 0x0C, 0x93, 0x72, 0xB4, 0x1F, 0x68}};
inline constexpr IID IID_Ivorrel_skinmanager = {0xA95D03C8, 0x2E61, 0x47F4, {0xB7, 0x1A, 0x58, 0xC2, 0x9F, 0x06, 0xE3, 0xDB}};

// Filler for an unused position; its name carries the position so the tables stay checkable.
#define VORREL_UNUSED(position) \
    virtual HRESULT STDMETHODCALLTYPE Unused##position() { return E_NOTIMPL; }

struct Ivorrel_control;
struct Ivorrel_container;
struct Ivorrel_window;
struct Ivorrel_scroll;

// A named image of a resource pack.
struct Ivorrel_image : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSize(SIZE* size) = 0;                              // 3
    virtual HRESULT STDMETHODCALLTYPE GetName(LPWSTR buffer, UINT capacity) = 0;            // 4
    virtual HRESULT STDMETHODCALLTYPE Draw(HDC hdc, const RECT* target) = 0;                // 5: stretched
};

// Fonts and colours by theme name.
struct Ivorrel_theme : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetFont(LPCWSTR themeName, LOGFONTW* font) = 0;       // 3
    virtual HRESULT STDMETHODCALLTYPE GetColor(LPCWSTR themeName, UINT part, COLORREF* color) = 0;  // 4
    virtual HRESULT STDMETHODCALLTYPE GetThemeFile(LPWSTR buffer, UINT capacity) = 0;       // 5: last loaded
    virtual HRESULT STDMETHODCALLTYPE LoadTheme(LPCWSTR path) = 0;                          // 6
};
// Colour parts of GetColor.
inline constexpr UINT kColorText = 0;
inline constexpr UINT kColorBack = 1;
inline constexpr UINT kColorBorder = 2;

struct Ivorrel_respack : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPath(LPWSTR buffer, UINT capacity) = 0;            // 3
    virtual HRESULT STDMETHODCALLTYPE GetImageCount(UINT* count) = 0;                       // 4
    VORREL_UNUSED(5) VORREL_UNUSED(6) VORREL_UNUSED(7) VORREL_UNUSED(8) VORREL_UNUSED(9)
    VORREL_UNUSED(10) VORREL_UNUSED(11)
    virtual HRESULT STDMETHODCALLTYPE Load(UINT flags, LPCWSTR xmlPath) = 0;                // 12: flags 0
    VORREL_UNUSED(13) VORREL_UNUSED(14) VORREL_UNUSED(15) VORREL_UNUSED(16) VORREL_UNUSED(17)
    virtual HRESULT STDMETHODCALLTYPE GetImage(LPCWSTR name, Ivorrel_image** image) = 0;    // 18
};

// The packs images are looked up in, in registration order.
struct Ivorrel_resregistry : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPackCount(UINT* count) = 0;                        // 3
    virtual HRESULT STDMETHODCALLTYPE GetPack(UINT index, Ivorrel_respack** pack) = 0;      // 4
    virtual HRESULT STDMETHODCALLTYPE FindImage(LPCWSTR name, Ivorrel_image** image) = 0;   // 5
    VORREL_UNUSED(6) VORREL_UNUSED(7) VORREL_UNUSED(8) VORREL_UNUSED(9) VORREL_UNUSED(10)
    VORREL_UNUSED(11) VORREL_UNUSED(12)
    virtual HRESULT STDMETHODCALLTYPE AddPack(UINT flags, Ivorrel_respack* pack) = 0;       // 13: flags 0
};

struct Ivorrel_resregistry;
struct Ivorrel_engine : IUnknown {
    // 3: a control of a layout category (both ids by value) with a theme name.
    virtual HRESULT STDMETHODCALLTYPE CreateControl(GUID category, IID iid, LPCWSTR themeName, void** control) = 0;
    // 4: the theme-centre file the library read when it was loaded, as opened.
    virtual HRESULT STDMETHODCALLTYPE GetThemeCenterPath(LPWSTR buffer, UINT capacity) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetResRegistry(Ivorrel_resregistry** registry) = 0;   // 5
    virtual HRESULT STDMETHODCALLTYPE GetTheme(Ivorrel_theme** theme) = 0;                  // 6
    // 7: the library's own message box, modal on the calling thread, built from the skin's
    // "\Common\XML\DefaultMessageBox.xml" (the registered pack loaded from that name, else the default
    // skin below the library's folder). `type` is a MB_ value: its buttons (MB_OK ... MB_CANCELTRYCONTINUE),
    // its icon (MB_ICONHAND ... MB_ICONASTERISK), its default button (MB_DEFBUTTON1-3) and MB_TOPMOST.
    // The box is a visible top-level window owned by the top-level window of `owner` (when it is one),
    // which stays disabled while the box runs. It answers, in *result, the button's IDOK ... IDCONTINUE
    // value: a click, Enter (the default button) or a WM_COMMAND with that id posted to the box. Esc, the
    // close glyph, WM_CLOSE and WM_COMMAND IDCANCEL answer IDCANCEL (2), or IDOK for an MB_OK box; so does
    // the owner's destruction. The three reserved arguments are 0. Fails (E_INVALIDARG for an unknown
    // button type, the file's error when the layout cannot be read) without a window, *result 0.
    virtual HRESULT STDMETHODCALLTYPE RunMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type,
                                                    UINT_PTR reserved1, UINT_PTR reserved2, UINT_PTR reserved3,
                                                    INT* result) = 0;
};

// 0-57. Every control answers it; sender of events as IDispatch (3-6 answer E_NOTIMPL).
struct Ivorrel_control : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GetCategory(GUID* category) = 0;                      // 7
    virtual HRESULT STDMETHODCALLTYPE GetThemeName(LPWSTR buffer, UINT capacity) = 0;       // 8
    virtual HRESULT STDMETHODCALLTYPE SetThemeName(LPCWSTR themeName) = 0;                  // 9
    virtual HRESULT STDMETHODCALLTYPE SetId(USHORT id) = 0;                                 // 10
    virtual HRESULT STDMETHODCALLTYPE GetId(USHORT* id) = 0;                                // 11
    virtual HRESULT STDMETHODCALLTYPE GetTooltip(LPWSTR buffer, UINT capacity) = 0;         // 12
    virtual HRESULT STDMETHODCALLTYPE SetTooltip(LPCWSTR text) = 0;                         // 13
    virtual HRESULT STDMETHODCALLTYPE GetParent(Ivorrel_container** parent) = 0;            // 14
    virtual HRESULT STDMETHODCALLTYPE GetHostWindow(HWND* hwnd) = 0;                        // 15
    virtual HRESULT STDMETHODCALLTYPE GetRect(RECT* rect) = 0;                              // 16
    virtual HRESULT STDMETHODCALLTYPE Move(const RECT* rect, BOOL redraw) = 0;              // 17
    virtual HRESULT STDMETHODCALLTYPE GetStyle(DWORD* style) = 0;                           // 18
    virtual HRESULT STDMETHODCALLTYPE GetControlStyle(DWORD* controlStyle) = 0;             // 19
    virtual HRESULT STDMETHODCALLTYPE GetText(LPWSTR buffer, UINT capacity) = 0;            // 20
    virtual HRESULT STDMETHODCALLTYPE GetImageName(LPWSTR buffer, UINT capacity) = 0;       // 21
    virtual HRESULT STDMETHODCALLTYPE GetOwnerWindow(Ivorrel_window** window) = 0;          // 22
    virtual HRESULT STDMETHODCALLTYPE ModifyStyle(DWORD set, DWORD clear) = 0;              // 23
    virtual HRESULT STDMETHODCALLTYPE GetState(DWORD* state) = 0;                           // 24
    virtual HRESULT STDMETHODCALLTYPE ModifyState(DWORD set, DWORD clear) = 0;              // 25
    virtual HRESULT STDMETHODCALLTYPE ModifyControlStyle(DWORD set, DWORD clear) = 0;       // 26
    VORREL_UNUSED(27)
    // 28: (state bits to set, state bits to clear, redraw). On a rich-list row (0x100, 0, 1) opens the
    // row: its child rows show below it; (0, 0x100, 1) closes it. ModifyState (25) does the same.
    virtual HRESULT STDMETHODCALLTYPE SetOptionPair(USHORT first, USHORT second, BOOL redraw) = 0;
    VORREL_UNUSED(29) VORREL_UNUSED(30)
    virtual HRESULT STDMETHODCALLTYPE SetOption(INT option) = 0;                            // 31
    VORREL_UNUSED(32) VORREL_UNUSED(33) VORREL_UNUSED(34) VORREL_UNUSED(35) VORREL_UNUSED(36)
    VORREL_UNUSED(37) VORREL_UNUSED(38)
    virtual HRESULT STDMETHODCALLTYPE Redraw(BOOL now) = 0;                                 // 39
    VORREL_UNUSED(40) VORREL_UNUSED(41) VORREL_UNUSED(42) VORREL_UNUSED(43) VORREL_UNUSED(44)
    VORREL_UNUSED(45) VORREL_UNUSED(46)
    virtual HRESULT STDMETHODCALLTYPE SetUserValue(LONG_PTR value) = 0;                     // 47
    virtual HRESULT STDMETHODCALLTYPE SetOwnerData(void* data) = 0;                         // 48
    virtual HRESULT STDMETHODCALLTYPE GetUserValue(LONG_PTR* value) = 0;                    // 49
    virtual HRESULT STDMETHODCALLTYPE GetOwnerData(void** data) = 0;                        // 50
    // 51: how many child rows it holds: panels inside it that reach its right edge and are at least three
    // quarters as wide as itself (other panels are cells of a row; pictures and labels are not rows); 0
    // for a row without any.
    virtual HRESULT STDMETHODCALLTYPE GetChildControlCount(UINT* count) = 0;
    VORREL_UNUSED(52)
    virtual HRESULT STDMETHODCALLTYPE SetBackgroundImage(Ivorrel_image* image) = 0;         // 53
    VORREL_UNUSED(54) VORREL_UNUSED(55)
    // 56: drawn over the control's own pictures and behind its children (hover and selection covers lie
    // under the icon; nine-part when the pack says so).
    virtual HRESULT STDMETHODCALLTYPE SetCoverImage(Ivorrel_image* image) = 0;
    VORREL_UNUSED(57)
};

struct Ivorrel_container : Ivorrel_control {
    virtual HRESULT STDMETHODCALLTYPE SetText(LPCWSTR text) = 0;                            // 58
    VORREL_UNUSED(59)
    virtual HRESULT STDMETHODCALLTYPE GetChildCount(INT* count) = 0;                        // 60
    virtual HRESULT STDMETHODCALLTYPE AddChild(Ivorrel_control* child) = 0;                 // 61
    virtual HRESULT STDMETHODCALLTYPE RemoveChild(Ivorrel_control* child) = 0;              // 62
    virtual HRESULT STDMETHODCALLTYPE RemoveAllChildren() = 0;                              // 63
    virtual HRESULT STDMETHODCALLTYPE GetChild(UINT index, Ivorrel_control** child) = 0;    // 64
    // 65: the topmost shown child at a window point as shown (scrolling applied); S_FALSE outside the
    // container or over no child.
    virtual HRESULT STDMETHODCALLTYPE ChildFromPoint(POINT point, Ivorrel_control** child) = 0;
    // 66: searched through the whole subtree; `flags` 0.
    virtual HRESULT STDMETHODCALLTYPE FindChild(USHORT id, UINT flags, Ivorrel_control** child) = 0;
    virtual HRESULT STDMETHODCALLTYPE ChildrenChanged() = 0;                                // 67
    virtual HRESULT STDMETHODCALLTYPE Refresh() = 0;                                        // 68
    VORREL_UNUSED(69)
    // 70: an outer-drawn control (its IID_Ivorrel_outercontrol pointer); `flags` 0.
    virtual HRESULT STDMETHODCALLTYPE InsertOuterChild(UINT flags, Ivorrel_control* outerControl) = 0;
};

struct Ivorrel_label : Ivorrel_control {
    virtual HRESULT STDMETHODCALLTYPE SetText(LPCWSTR text) = 0;                            // 58
};

struct Ivorrel_imagebutton : Ivorrel_control {
    virtual HRESULT STDMETHODCALLTYPE SetText(LPCWSTR text) = 0;                            // 58
    // 59: a check button's value: low word 1 while checked.
    virtual HRESULT STDMETHODCALLTYPE GetCheck(DWORD* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCheck(DWORD value) = 0;                            // 60
    VORREL_UNUSED(61) VORREL_UNUSED(62) VORREL_UNUSED(63)
    virtual HRESULT STDMETHODCALLTYPE SetButtonOption(INT value) = 0;                       // 64
    virtual HRESULT STDMETHODCALLTYPE SetImage(Ivorrel_image* image) = 0;                   // 65
};

struct Ivorrel_itemcontrol : Ivorrel_control {
    virtual HRESULT STDMETHODCALLTYPE SetText(LPCWSTR text) = 0;                            // 58
    VORREL_UNUSED(59)
    virtual HRESULT STDMETHODCALLTYPE SetPictureOption(INT value) = 0;                      // 60
    VORREL_UNUSED(61) VORREL_UNUSED(62) VORREL_UNUSED(63) VORREL_UNUSED(64) VORREL_UNUSED(65)
    virtual HRESULT STDMETHODCALLTYPE SetImage(Ivorrel_image* image) = 0;                   // 66
};

struct Ivorrel_panel : Ivorrel_container {
    virtual HRESULT STDMETHODCALLTYPE SetPanelOption(INT value) = 0;                        // 71
    VORREL_UNUSED(72) VORREL_UNUSED(73)
    virtual HRESULT STDMETHODCALLTYPE SetImage(Ivorrel_image* image) = 0;                   // 74
    VORREL_UNUSED(75) VORREL_UNUSED(76)
    // 77: its vertical scroll object; a panel without control style 1 has none (E_NOINTERFACE).
    virtual HRESULT STDMETHODCALLTYPE GetScroll(Ivorrel_scroll** scroll) = 0;
};

struct Ivorrel_edit : Ivorrel_container {
    virtual HRESULT STDMETHODCALLTYPE SetEditText(LPCWSTR text) = 0;                        // 71
    virtual HRESULT STDMETHODCALLTYPE GetEditText(LPWSTR buffer, UINT capacity) = 0;        // 72
    virtual HRESULT STDMETHODCALLTYPE GetEditWindow(HWND* hwnd) = 0;                        // 73: the EDIT child
};

// A rich list: a container whose direct children are rows, stacked from the top at their own heights
// in the order added, each stretched to the list's right edge. A row's child rows (see position 51) are
// stacked, painted and hit below it while the row is open (state 0x100) and are not drawn while it is
// closed; its other children (cells, labels, pictures) are drawn in place. A press on a row selects it
// (the selected row carries kStatePressed) and raises event 2 from the list; removing a row, or
// anything holding it, clears the selection. The list scrolls when its rows reach below it. The task
// manager's list 7002 is such a rich list, with a list header attached.
struct Ivorrel_list : Ivorrel_container {
    VORREL_UNUSED(71) VORREL_UNUSED(72)
    virtual HRESULT STDMETHODCALLTYPE GetSelected(Ivorrel_control** row) = 0;               // 73
    // 74: ends hover and press tracking (the window lost the focus).
    virtual HRESULT STDMETHODCALLTYPE CancelTracking() = 0;
    VORREL_UNUSED(75) VORREL_UNUSED(76) VORREL_UNUSED(77) VORREL_UNUSED(78)
    // 79: attaches a list header control; it is drawn over its own rectangle.
    virtual HRESULT STDMETHODCALLTYPE AttachHeader(Ivorrel_control* header) = 0;
};

struct Ivorrel_progress : Ivorrel_control {
    VORREL_UNUSED(58) VORREL_UNUSED(59) VORREL_UNUSED(60) VORREL_UNUSED(61)
    virtual HRESULT STDMETHODCALLTYPE SetRange(INT minimum, INT maximum) = 0;               // 62
    VORREL_UNUSED(63) VORREL_UNUSED(64) VORREL_UNUSED(65) VORREL_UNUSED(66) VORREL_UNUSED(67)
    VORREL_UNUSED(68) VORREL_UNUSED(69) VORREL_UNUSED(70) VORREL_UNUSED(71) VORREL_UNUSED(72)
    virtual HRESULT STDMETHODCALLTYPE SetProgressOption(INT value) = 0;                     // 73
    virtual HRESULT STDMETHODCALLTYPE GetPosition(INT* position) = 0;                       // 74
    virtual HRESULT STDMETHODCALLTYPE SetPosition(INT position) = 0;                        // 75
};

// The list view proper is not built by this library: no window uses it beyond its creation (the task
// manager's rows live in the rich list 7002 of its layout, not in a list view).
struct Ivorrel_listview : Ivorrel_container {
    VORREL_UNUSED(71) VORREL_UNUSED(72) VORREL_UNUSED(73) VORREL_UNUSED(74) VORREL_UNUSED(75)
    VORREL_UNUSED(76) VORREL_UNUSED(77)
};

// A list header (a panel answering this too): its columns share one column style, and its image (panel
// 74) is the splitter, drawn once at each boundary between two columns, never stretched over it.
struct Ivorrel_listheader : IDispatch {
    // 7: a column: a panel (usually holding a label) placed at its own rectangle, drawn with the shared
    // column theme (kListHeaderColumnTheme unless position 8 named another).
    virtual HRESULT STDMETHODCALLTYPE AddColumn(Ivorrel_control* column) = 0;
    // 8: the theme of the column style every column shares.
    virtual HRESULT STDMETHODCALLTYPE SetColumnTheme(LPCWSTR themeName) = 0;
};

// Positions are in units of 2 pixels (see Scrolling above), clamped to 0 ... the content's reach.
struct Ivorrel_scroll : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GetPosition(INT* position) = 0;                       // 7
    virtual HRESULT STDMETHODCALLTYPE SetPosition(INT position, BOOL redraw) = 0;           // 8
    // 9: moves by a code (kScrollCode*) and its values; the unused values are 0.
    virtual HRESULT STDMETHODCALLTYPE ScrollIntoView(INT code, INT first, INT second, INT third, INT fourth) = 0;
    VORREL_UNUSED(10) VORREL_UNUSED(11) VORREL_UNUSED(12) VORREL_UNUSED(13) VORREL_UNUSED(14)
    VORREL_UNUSED(15) VORREL_UNUSED(16) VORREL_UNUSED(17) VORREL_UNUSED(18) VORREL_UNUSED(19)
    VORREL_UNUSED(20) VORREL_UNUSED(21) VORREL_UNUSED(22) VORREL_UNUSED(23) VORREL_UNUSED(24)
    VORREL_UNUSED(25) VORREL_UNUSED(26) VORREL_UNUSED(27) VORREL_UNUSED(28) VORREL_UNUSED(29)
    VORREL_UNUSED(30) VORREL_UNUSED(31) VORREL_UNUSED(32) VORREL_UNUSED(33) VORREL_UNUSED(34)
    VORREL_UNUSED(35) VORREL_UNUSED(36) VORREL_UNUSED(37) VORREL_UNUSED(38) VORREL_UNUSED(39)
    VORREL_UNUSED(40) VORREL_UNUSED(41) VORREL_UNUSED(42) VORREL_UNUSED(43) VORREL_UNUSED(44)
    VORREL_UNUSED(45) VORREL_UNUSED(46) VORREL_UNUSED(47) VORREL_UNUSED(48) VORREL_UNUSED(49)
    VORREL_UNUSED(50) VORREL_UNUSED(51) VORREL_UNUSED(52) VORREL_UNUSED(53) VORREL_UNUSED(54)
    VORREL_UNUSED(55) VORREL_UNUSED(56) VORREL_UNUSED(57) VORREL_UNUSED(58) VORREL_UNUSED(59)
    // 60: fills what `info->fMask` asks for, in units: SIF_POS (the position the program doubles into
    // pixels), SIF_TRACKPOS, SIF_RANGE (0 ... largest position + page - 1) and SIF_PAGE.
    virtual HRESULT STDMETHODCALLTYPE GetScrollInfo(SCROLLINFO* info) = 0;
};

// The library's side of an outer-drawn child: the control interface under its own id.
struct Ivorrel_outercontrol : Ivorrel_control {};

// Implemented by the program: the library lays the outer-drawn child out and calls Draw (5) to paint it.
// The other operations tell the object about input over it; the library ignores their results.
struct Ivorrel_outer : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnMouseEnter(LONG x, LONG y) = 0;                     // 3
    virtual HRESULT STDMETHODCALLTYPE OnMouseLeave(LONG x, LONG y) = 0;                     // 4
    virtual HRESULT STDMETHODCALLTYPE Draw(HDC hdc, LONG flags) = 0;                        // 5
    virtual HRESULT STDMETHODCALLTYPE HitTest(LONG x, LONG y, LONG cx, LONG cy) = 0;         // 6
    virtual HRESULT STDMETHODCALLTYPE OnFocus(LONG gained) = 0;                             // 7
    virtual HRESULT STDMETHODCALLTYPE OnMouseButton(LONG message, LONG x, LONG y) = 0;      // 8
    virtual HRESULT STDMETHODCALLTYPE OnKey(LONG key) = 0;                                  // 9
    virtual HRESULT STDMETHODCALLTYPE OnDetach() = 0;                                       // 10
    virtual HRESULT STDMETHODCALLTYPE OnMove(LONG x, LONG y) = 0;                           // 11
    virtual HRESULT STDMETHODCALLTYPE OnSize(LONG cx, LONG cy) = 0;                         // 12
};

struct Ivorrel_window : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GetHostWindow(HWND* hwnd) = 0;                        // 7
    virtual HRESULT STDMETHODCALLTYPE GetLayoutPath(LPWSTR buffer, UINT capacity) = 0;      // 8
    virtual HRESULT STDMETHODCALLTYPE GetBound(RECT* bound) = 0;                            // 9
    virtual HRESULT STDMETHODCALLTYPE GetRoot(Ivorrel_container** root) = 0;                // 10
    virtual HRESULT STDMETHODCALLTYPE FindControl(USHORT id, Ivorrel_control** control) = 0;  // 11
    virtual HRESULT STDMETHODCALLTYPE Invalidate() = 0;                                     // 12
    // 13: releases every control and lets go of the host window (its own teardown).
    virtual HRESULT STDMETHODCALLTYPE ReleaseControls() = 0;
    VORREL_UNUSED(14) VORREL_UNUSED(15) VORREL_UNUSED(16) VORREL_UNUSED(17) VORREL_UNUSED(18)
    // 19: the control that has the focus (0 clears it).
    virtual HRESULT STDMETHODCALLTYPE SetFocusControl(Ivorrel_control* control) = 0;
    VORREL_UNUSED(20)
    // 21: drops the window's hover, press and focus references into a control about to go.
    virtual HRESULT STDMETHODCALLTYPE ForgetControl(Ivorrel_control* control) = 0;
    VORREL_UNUSED(22) VORREL_UNUSED(23) VORREL_UNUSED(24) VORREL_UNUSED(25)
    // 26: with 1 the skin is drawn. It never shows the host window: the program decides that.
    virtual HRESULT STDMETHODCALLTYPE Show(BOOL show) = 0;
    VORREL_UNUSED(27) VORREL_UNUSED(28) VORREL_UNUSED(29) VORREL_UNUSED(30) VORREL_UNUSED(31)
    virtual HRESULT STDMETHODCALLTYPE SetCaption(LPCWSTR text) = 0;                         // 32
    // 33: test hook: writes the control tree to a file (see "The test hook" below).
    virtual HRESULT STDMETHODCALLTYPE DumpControlTree(LPCWSTR path) = 0;
};

struct Ivorrel_winfactory : IUnknown {
    VORREL_UNUSED(3) VORREL_UNUSED(4) VORREL_UNUSED(5) VORREL_UNUSED(6)
    // 7: builds the layout into `parent` (the program's own window); `flags` 0.
    virtual HRESULT STDMETHODCALLTYPE CreateSkinWindow(LPCWSTR layoutPath, HWND parent, UINT flags,
                                                       Ivorrel_window** window) = 0;
};

// The proxy's objects (Utils\VorrelUIProxy.dll).
struct Ivorrel_uiproxy : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetVersion(DWORD* version) = 0;                       // 3
    virtual HRESULT STDMETHODCALLTYPE SetEngine(IUnknown* engine) = 0;                      // 4
    virtual HRESULT STDMETHODCALLTYPE GetEngine(IUnknown** engine) = 0;                     // 5
    virtual HRESULT STDMETHODCALLTYPE GetSkinName(LPWSTR buffer260) = 0;                    // 6
    VORREL_UNUSED(7)
    virtual HRESULT STDMETHODCALLTYPE GetSkinDirectory(LPWSTR buffer260) = 0;               // 8
};
struct Ivorrel_minicompat : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE IsCompatible(BOOL* compatible) = 0;                   // 3
};
struct Ivorrel_skinmanager : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSkinCount(UINT* count) = 0;                        // 3
};

// The proxy's exports.
using GetVorrelUIProxyFunction = IUnknown*(WINAPI*)();
using GetMiniUICompatibleFunction = IUnknown*(WINAPI*)();
using GetChangeSkinManagerFunction = IUnknown*(WINAPI*)();

// The test hook: when this variable names a folder, the library writes the control tree of each skinned
// window to "<folder>\<layout file name>.tree" after every paint. The registered message asks a host
// window for one dump into the path that a global atom (wParam) names: a file, or a folder, into which
// each window writes "<layout file name>.<host handle, 8 hex digits>.tree" (so two windows of one layout
// keep apart). One UTF-8 line per control, indented two spaces a level, tab-separated fields in this
// order: id, kind, rect, visible, disabled, state, image, loaded, text (an edit's live text), cover, tip;
// then as the kind has them: scroll (position), progress (position), check (0 / 1); for an outer-drawn
// control drawn (the texts its drawing wrote, '|' between them) and picture (1 when it drew a picture).
inline constexpr wchar_t kDumpFolderVariable[] = L"VORREL_DUMP_FOLDER";
inline constexpr wchar_t kDumpMessageName[] = L"Vorrel_DumpControlTree";

}  // namespace vorrelUI
