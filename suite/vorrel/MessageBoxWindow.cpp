#include "MessageBoxWindow.h"

#include <algorithm>
#include <string_view>

#include "suite/vorrel/Resources.h"
#include "suite/vorrel/SkinFiles.h"
#include "suite/vorrel/SkinWindow.h"
#include "suite/vorrel/ThemeStore.h"

namespace vorrel {

using namespace vorrelUI;
using veyra::ComPtr;

namespace {

constexpr wchar_t kLayoutBelowSkin[] = L"\\Common\\XML\\DefaultMessageBox.xml";
constexpr wchar_t kDefaultSkinBelowLibrary[] = L"\\Config\\newui\\themes\\default";
constexpr wchar_t kDefaultCaption[] = L"错误";
constexpr wchar_t kDefaultButtonTheme[] = L"msgbox_button_default";
const veyra::WindowClass kBoxClass{L"VorrelMessageBox", CS_DBLCLKS | CS_SAVEBITS};

// Controls of the layout.
constexpr USHORT kCaptionLabel = 1002;
constexpr USHORT kCloseGlyph = 1003;
constexpr USHORT kIconPicture = 1004;
constexpr USHORT kTextLabel = 1005;
constexpr USHORT kButtonSlots[] = {1011, 1012, 1013};

struct ButtonSet {
    UINT type;
    int answers[3];
    int count;
};
const ButtonSet kButtonSets[] = {
    {MB_OK, {IDOK}, 1},
    {MB_OKCANCEL, {IDOK, IDCANCEL}, 2},
    {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, 3},
    {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, 3},
    {MB_YESNO, {IDYES, IDNO}, 2},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, 2},
    {MB_CANCELTRYCONTINUE, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, 3},
};

struct Named {
    int value;
    const wchar_t* name;
};
const Named kIcons[] = {
    {MB_ICONHAND, L"IDI_ICONHAND"},
    {MB_ICONQUESTION, L"IDI_ICONQUESTION"},
    {MB_ICONEXCLAMATION, L"IDI_ICONEXCLAMATION"},
    {MB_ICONASTERISK, L"IDI_ICONASTERISK"},
};
const Named kButtonTexts[] = {
    {IDOK, L"确定"},    {IDCANCEL, L"取消"}, {IDABORT, L"中止"},    {IDRETRY, L"重试"},    {IDIGNORE, L"忽略"},
    {IDYES, L"是"},     {IDNO, L"否"},       {IDTRYAGAIN, L"重试"}, {IDCONTINUE, L"继续"},
};

bool EndsWithIgnoringCase(std::wstring_view text, std::wstring_view suffix) noexcept
{
    return text.size() >= suffix.size() &&
           CompareStringOrdinal(text.data() + text.size() - suffix.size(), static_cast<int>(suffix.size()),
                                suffix.data(), static_cast<int>(suffix.size()), TRUE) == CSTR_EQUAL;
}

// The pack the program registered from the skin's DefaultMessageBox.xml names the layout; without one,
// the default skin below this library's folder.
std::wstring MessageBoxLayoutPath()
{
    ResourceRegistry& registry = ResourceRegistry::Instance();
    UINT count = 0;
    registry.GetPackCount(&count);
    for (UINT index = 0; index < count; ++index) {
        ComPtr<Ivorrel_respack> pack;
        wchar_t path[MAX_PATH * 2] = {};
        if (SUCCEEDED(registry.GetPack(index, pack.put())) && pack &&
            SUCCEEDED(pack->GetPath(path, ARRAYSIZE(path))) && EndsWithIgnoringCase(path, kLayoutBelowSkin)) {
            return path;
        }
    }
    static const char anchor = 0;  // an address inside this module
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&anchor), &self);
    wchar_t module[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameW(self, module, ARRAYSIZE(module));
    if (length == 0 || length >= ARRAYSIZE(module)) {
        return {};
    }
    return ParentFolder(module) + kDefaultSkinBelowLibrary + kLayoutBelowSkin;
}

}  // namespace

std::optional<MessageBoxButtons> ButtonsForType(UINT type) noexcept
{
    for (const ButtonSet& set : kButtonSets) {
        if (set.type == (type & MB_TYPEMASK)) {
            MessageBoxButtons buttons;
            std::copy(std::begin(set.answers), std::end(set.answers), buttons.answers);
            buttons.count = set.count;
            // A default button past the last one is the first, as with the system's boxes.
            const int chosen = static_cast<int>((type & MB_DEFMASK) >> 8);
            buttons.defaultAnswer = set.answers[chosen < set.count ? chosen : 0];
            buttons.closeAnswer = set.type == MB_OK ? IDOK : IDCANCEL;
            return buttons;
        }
    }
    return std::nullopt;
}

const wchar_t* IconImageForType(UINT type) noexcept
{
    for (const Named& icon : kIcons) {
        if (static_cast<UINT>(icon.value) == (type & MB_ICONMASK)) {
            return icon.name;
        }
    }
    return nullptr;
}

const wchar_t* ButtonText(int answer) noexcept
{
    for (const Named& text : kButtonTexts) {
        if (text.value == answer) {
            return text.name;
        }
    }
    return L"";
}

// Forwards the clicks of the box's buttons. Not counted: it lives as long as the box, which unadvises it
// before it goes.
class LibraryMessageBox::ButtonSink final : public IDispatch {
public:
    explicit ButtonSink(LibraryMessageBox& box) : m_box(box) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) {
            return E_POINTER;
        }
        const bool ours = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
                          IsEqualIID(iid, DIID_Ivorrel_events);
        *out = ours ? static_cast<IDispatch*>(this) : nullptr;
        return ours ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return count ? (*count = 0, S_OK) : E_POINTER; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    // Event 1 is (message, wParam, lParam, sender), in COM's reverse order.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                     UINT*) override
    {
        if (id != 1 || !parameters || parameters->cArgs != 4) {
            return S_OK;
        }
        if (static_cast<UINT>(parameters->rgvarg[3].lVal) == WM_COMMAND) {
            m_box.Command(LOWORD(parameters->rgvarg[2].lVal));
        }
        return S_OK;
    }

private:
    LibraryMessageBox& m_box;
};

LibraryMessageBox::LibraryMessageBox(UINT type, const MessageBoxButtons& buttons)
    : m_type(type), m_buttons(buttons), m_sink(std::make_unique<ButtonSink>(*this))
{
}

LibraryMessageBox::~LibraryMessageBox()
{
    TearDown();
}

std::span<const LibraryMessageBox::Entry> LibraryMessageBox::Messages()
{
    static const Entry entries[] = {
        {WM_COMMAND, &LibraryMessageBox::OnCommand},
        {WM_CLOSE, &LibraryMessageBox::OnClose},
        {WM_KEYDOWN, &LibraryMessageBox::OnKeyDown},
        {WM_DESTROY, &LibraryMessageBox::OnDestroy},
    };
    return entries;
}

HRESULT LibraryMessageBox::Create(HWND owner, const std::wstring& layoutPath, const std::wstring& text,
                                  const std::wstring& caption)
{
    m_owner = owner && IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : nullptr;
    veyra::WindowPlacement placement;
    placement.exStyle = (m_type & MB_TOPMOST) ? WS_EX_TOPMOST : 0;
    placement.style = WS_POPUP | WS_CLIPCHILDREN;
    placement.x = placement.y = 0;
    placement.width = placement.height = 1;
    placement.parent = m_owner;  // a popup's parent is its owner
    if (!Window::Create(kBoxClass, caption.c_str(), placement)) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    m_skin = ComPtr<SkinWindow>::Adopt(new (std::nothrow) SkinWindow);
    if (!m_skin) {
        TearDown();
        return E_OUTOFMEMORY;
    }
    HRESULT hr = m_skin->Build(layoutPath, Handle());
    if (SUCCEEDED(hr)) {
        hr = Fill(text, caption);
    }
    if (FAILED(hr)) {
        TearDown();
        return hr;
    }
    Place();
    if (m_owner && IsWindowEnabled(m_owner)) {
        EnableWindow(m_owner, FALSE);
        m_ownerDisabled = true;
    }
    m_skin->Show(TRUE);
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(Handle());
    SetFocus(Handle());
    UpdateWindow(Handle());
    return S_OK;
}

ComPtr<Ivorrel_control> LibraryMessageBox::Find(USHORT id) const
{
    ComPtr<Ivorrel_control> control;
    m_skin->FindControl(id, control.put());
    return control;
}

HRESULT LibraryMessageBox::Fill(const std::wstring& text, const std::wstring& caption)
{
    ComPtr<Ivorrel_label> label;
    ComPtr<Ivorrel_control> found = Find(kTextLabel);
    if (!found || FAILED(found.As(IID_Ivorrel_label, label))) {
        return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);  // a layout without its text is not a message box
    }
    label->SetText(text.c_str());
    if (ComPtr<Ivorrel_label> title; (found = Find(kCaptionLabel)) && SUCCEEDED(found.As(IID_Ivorrel_label, title))) {
        title->SetText(caption.c_str());
    }
    if ((found = Find(kCloseGlyph))) {
        Advise(found.get());
    }
    FillIcon();
    return FillButtons();
}

void LibraryMessageBox::FillIcon()
{
    ComPtr<Ivorrel_control> found = Find(kIconPicture);
    ComPtr<Ivorrel_itemcontrol> picture;
    if (!found || FAILED(found.As(IID_Ivorrel_itemcontrol, picture))) {
        return;
    }
    const wchar_t* name = IconImageForType(m_type);
    ComPtr<Image> image = name ? ResourceRegistry::Instance().Lookup(name, m_skin->Pack()) : nullptr;
    if (image) {
        picture->SetImage(image.get());
        return;
    }
    // No icon: the text takes its room.
    picture->ModifyStyle(0, kStyleVisible);
    RECT icon{}, text{};
    ComPtr<Ivorrel_control> label = Find(kTextLabel);
    if (SUCCEEDED(picture->GetRect(&icon)) && SUCCEEDED(label->GetRect(&text))) {
        text.left = icon.left;
        label->Move(&text, FALSE);
    }
}

HRESULT LibraryMessageBox::FillButtons()
{
    const int slots = static_cast<int>(std::size(kButtonSlots));
    const bool themed = ThemeStore::Instance().Has(kDefaultButtonTheme);
    for (int slot = 0; slot < slots; ++slot) {
        ComPtr<Ivorrel_control> found = Find(kButtonSlots[slot]);
        ComPtr<Ivorrel_imagebutton> button;
        const int index = slot - (slots - m_buttons.count);  // the buttons take the slots on the right
        if (!found || FAILED(found.As(IID_Ivorrel_imagebutton, button))) {
            if (index >= 0) {
                return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
            }
            continue;
        }
        if (index < 0) {
            button->ModifyStyle(0, kStyleVisible);
            continue;
        }
        const int answer = m_buttons.answers[index];
        button->SetText(ButtonText(answer));
        button->SetId(static_cast<USHORT>(answer));  // a click is the command of its answer
        button->ModifyStyle(kStyleVisible, 0);
        if (answer == m_buttons.defaultAnswer && themed) {
            button->SetThemeName(kDefaultButtonTheme);
        }
        Advise(button.get());
    }
    return S_OK;
}

void LibraryMessageBox::Advise(Ivorrel_control* control)
{
    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    if (SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer, points.put_void())) &&
        SUCCEEDED(points->FindConnectionPoint(DIID_Ivorrel_events, point.put())) &&
        SUCCEEDED(point->Advise(m_sink.get(), &cookie))) {
        m_advised.emplace_back(std::move(point), cookie);
    }
}

// Centred over the owner (the work area without one), kept inside the work area.
void LibraryMessageBox::Place()
{
    RECT box{};
    GetWindowRect(Handle(), &box);
    const LONG width = box.right - box.left, height = box.bottom - box.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_owner ? m_owner : Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    RECT over = area;
    if (m_owner && IsWindowVisible(m_owner) && !IsIconic(m_owner)) {
        GetWindowRect(m_owner, &over);
    }
    const LONG x = std::clamp(over.left + (over.right - over.left - width) / 2, area.left,
                              std::max(area.left, area.right - width));
    const LONG y = std::clamp(over.top + (over.bottom - over.top - height) / 2, area.top,
                              std::max(area.top, area.bottom - height));
    SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int LibraryMessageBox::Run()
{
    veyra::MessageLoop loop;
    loop.AddFilter(this);
    if (!loop.RunUntil(m_answered)) {
        Answer(m_buttons.closeAnswer);  // the thread is quitting
    }
    loop.RemoveFilter(this);
    TearDown();
    return m_answer;
}

void LibraryMessageBox::Answer(int answer)
{
    if (!m_answered) {
        m_answered = true;
        m_answer = answer;
    }
}

void LibraryMessageBox::Command(USHORT id)
{
    if (id == kCloseGlyph || id == IDCANCEL) {
        Answer(m_buttons.closeAnswer);
        return;
    }
    const int* begin = m_buttons.answers;
    const int* end = begin + m_buttons.count;
    if (std::find(begin, end, static_cast<int>(id)) != end) {
        Answer(id);
    }
}

bool LibraryMessageBox::AnswerKey(WPARAM key)
{
    if (key == VK_RETURN) {
        Answer(m_buttons.defaultAnswer);
        return true;
    }
    if (key == VK_ESCAPE) {
        Answer(m_buttons.closeAnswer);
        return true;
    }
    return false;
}

bool LibraryMessageBox::PreTranslateMessage(MSG& message)
{
    const bool ours = Handle() && (message.hwnd == Handle() || IsChild(Handle(), message.hwnd));
    return ours && message.message == WM_KEYDOWN && AnswerKey(message.wParam);
}

LRESULT LibraryMessageBox::OnCommand(WPARAM wParam, LPARAM)
{
    Command(LOWORD(wParam));
    return 0;
}

LRESULT LibraryMessageBox::OnClose(WPARAM, LPARAM)
{
    Answer(m_buttons.closeAnswer);  // the box goes when its loop ends
    return 0;
}

LRESULT LibraryMessageBox::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    return AnswerKey(wParam) ? 0 : DefaultProc(WM_KEYDOWN, wParam, lParam);
}

LRESULT LibraryMessageBox::OnDestroy(WPARAM, LPARAM)
{
    Answer(m_buttons.closeAnswer);  // destroyed unanswered (its owner went)
    return 0;
}

void LibraryMessageBox::TearDown() noexcept
{
    for (auto& [point, cookie] : m_advised) {
        point->Unadvise(cookie);
    }
    m_advised.clear();
    // The owner is enabled before the box goes, so the activation returns to it.
    if (m_ownerDisabled && IsWindow(m_owner)) {
        EnableWindow(m_owner, TRUE);
    }
    m_ownerDisabled = false;
    if (m_skin) {
        m_skin->ReleaseControls();
    }
    if (HWND hwnd = Handle()) {
        DestroyWindow(hwnd);
    }
    m_skin.reset();
}

HRESULT ShowEngineMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, INT* result) noexcept
{
    if (!result) {
        return E_POINTER;
    }
    *result = 0;
    const std::optional<MessageBoxButtons> buttons = ButtonsForType(type);
    if (!buttons) {
        return E_INVALIDARG;
    }
    try {
        const std::wstring layout = MessageBoxLayoutPath();
        LibraryMessageBox box(type, *buttons);
        const HRESULT hr = box.Create(owner, layout, text ? text : L"", caption ? caption : kDefaultCaption);
        if (FAILED(hr)) {
            return hr;
        }
        *result = box.Run();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace vorrel
