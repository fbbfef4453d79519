#include "SkinFixture.h"

#include <cstdio>


using namespace vorrelUI;
using veyra::ComPtr;

namespace vorrel::test {

std::span<const EventRecorder::Entry> EventRecorder::Events()
{
    static const Entry entries[] = {
        {1, &DIID_Ivorrel_events, 1, 4, &EventRecorder::OnCommand},
        {1, &DIID_Ivorrel_events, 2, 3, &EventRecorder::OnState},
    };
    return entries;
}

LONG EventRecorder::OnCommand(const ULONG_PTR* arguments)
{
    events.push_back(Event{1,
                           {static_cast<ULONG>(arguments[0]), static_cast<ULONG>(arguments[1]), static_cast<ULONG>(arguments[2])},
                           reinterpret_cast<IDispatch*>(arguments[3])});
    if (onEvent) {
        onEvent(events.back());
    }
    return 0;
}

LONG EventRecorder::OnState(const ULONG_PTR* arguments)
{
    events.push_back(Event{2, {static_cast<ULONG>(arguments[0]), static_cast<ULONG>(arguments[1]), 0},
                           reinterpret_cast<IDispatch*>(arguments[2])});
    if (onEvent) {
        onEvent(events.back());
    }
    return 0;
}

std::vector<EventRecorder::Event> EventRecorder::Of(DISPID id, IUnknown* sender) const
{
    ComPtr<IDispatch> wanted;
    if (sender) {
        static_cast<void>(sender->QueryInterface(IID_IDispatch, wanted.put_void()));
    }
    std::vector<Event> found;
    for (const Event& event : events) {
        if (event.id == id && (!sender || event.sender == wanted.get())) {
            found.push_back(event);
        }
    }
    return found;
}

void EventRecorder::Listen(IUnknown* control)
{
    ComPtr<IConnectionPointContainer> points;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    ASSERT_TRUE(control);
    ASSERT_EQ(control->QueryInterface(IID_IConnectionPointContainer, points.put_void()), S_OK);
    ASSERT_EQ(points->FindConnectionPoint(DIID_Ivorrel_events, point.put()), S_OK);
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(this), &cookie), S_OK);
    m_advices.push_back(Advice{point, cookie});
}

EventRecorder::~EventRecorder()
{
    for (Advice& advice : m_advices) {
        advice.point->Unadvise(advice.cookie);
    }
}

RECT BuiltWindow::RectOf(USHORT id) const
{
    RECT rect{};
    if (auto control = Find<Ivorrel_control>(id, IID_Ivorrel_control)) {
        control->GetRect(&rect);
    }
    return rect;
}

HRESULT OuterStub::QueryInterface(REFIID iid, void** out)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_Ivorrel_outer)) {
        *out = static_cast<Ivorrel_outer*>(this);
        return S_OK;
    }
    return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
}

std::string ReadFileText(const std::wstring& path)
{
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[4096];
    DWORD read = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return text;
}

std::string BuiltWindow::Dump() const
{
    wchar_t folder[MAX_PATH] = {}, path[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"vtr", 0, path);
    const std::string text = window && SUCCEEDED(window->DumpControlTree(path)) ? ReadFileText(path) : std::string();
    DeleteFileW(path);
    return text;
}

void BuiltWindow::Close()
{
    if (window) {
        window->ReleaseControls();
    }
    root.reset();
    window.reset();
    if (host && IsWindow(host)) {
        DestroyWindow(host);
    }
    host = nullptr;
}

void SkinFixture::SetUp()
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    m_module = LoadLibraryW((m_suite / L"vorrel.dll").c_str());
    ASSERT_NE(m_module, nullptr);
    ASSERT_EQ(Create(CLSID_vorrel_engine, IID_Ivorrel_engine, m_engine.put_void()), S_OK);
    ComPtr<Ivorrel_theme> theme;
    ASSERT_EQ(m_engine->GetTheme(theme.put()), S_OK);
    EXPECT_EQ(theme->LoadTheme((m_suite.ThemeFolder() + L"\\sandbox_theme.xml").c_str()), S_OK);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"VorrelTestHost";
    RegisterClassW(&windowClass);
}

void SkinFixture::TearDown()
{
    m_engine.reset();
    CoUninitialize();
}

HRESULT SkinFixture::Create(const CLSID& clsid, const IID& iid, void** out)
{
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(m_module, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    const HRESULT hr = get(clsid, IID_IClassFactory, factory.put_void());
    return FAILED(hr) ? hr : factory->CreateInstance(nullptr, iid, out);
}

ComPtr<Ivorrel_panel> SkinFixture::NewPanel(const RECT& rect, USHORT id, const wchar_t* theme)
{
    auto panel = NewControl<Ivorrel_panel>(CATEGORY_panel, IID_Ivorrel_panel, theme);
    if (panel) {
        panel->Move(&rect, FALSE);
        panel->SetId(id);
        panel->ModifyStyle(kStyleVisible, 0);
    }
    return panel;
}

ComPtr<Ivorrel_label> SkinFixture::NewLabel(const RECT& rect, const wchar_t* text)
{
    auto label = NewControl<Ivorrel_label>(CATEGORY_label, IID_Ivorrel_label, L"static_sandbox_9_black");
    if (label) {
        label->Move(&rect, FALSE);
        label->SetText(text);
        label->ModifyStyle(kStyleVisible, 0);
    }
    return label;
}

ComPtr<Ivorrel_image> SkinFixture::DesktopImage(const wchar_t* name)
{
    ComPtr<Ivorrel_respack> pack;
    ComPtr<Ivorrel_image> image;
    EXPECT_EQ(Create(CLSID_vorrel_respack, IID_Ivorrel_respack, pack.put_void()), S_OK);
    EXPECT_EQ(pack->Load(0, Layout(L"KavoSandbox.xml").c_str()), S_OK);
    EXPECT_EQ(pack->GetImage(name, image.put()), S_OK);
    return image;
}

std::wstring SkinFixture::Layout(const wchar_t* name) const
{
    return m_suite.ThemeFolder() + L"\\KavoSandBox\\" + name;
}

BuiltWindow SkinFixture::Build(const wchar_t* layout, bool show)
{
    BuiltWindow built;
    built.host = CreateWindowExW(0, L"VorrelTestHost", L"", WS_POPUP, 40, 40, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ComPtr<Ivorrel_winfactory> factory;
    if (!built.host || FAILED(Create(CLSID_vorrel_winfactory, IID_Ivorrel_winfactory, factory.put_void())) ||
        FAILED(factory->CreateSkinWindow(layout[0] && layout[1] == L':' ? layout : Layout(layout).c_str(), built.host, 0,
                                         built.window.put())) ||
        FAILED(built.window->GetRoot(built.root.put()))) {
        ADD_FAILURE() << "layout did not build";
        return built;
    }
    built.window->Show(TRUE);
    if (show) {
        ShowWindow(built.host, SW_SHOWNOACTIVATE);
        UpdateWindow(built.host);
        Pump();
    }
    return built;
}

std::wstring SkinFixture::WriteLayout(const wchar_t* name, const std::wstring& controls, const wchar_t* bound)
{
    const std::wstring path = Layout(name);
    const std::wstring text = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<config><window id=\"1\" style=\"0x06cf0000\" "
                              L"style_ex=\"0\" theme=\"SandBoxExplorerWindow\" bound=\"" +
                              std::wstring(bound) + L"\">" + controls + L"</window></config>\n";
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), length, nullptr, nullptr);
    bytes.pop_back();
    WriteFileBytes(path, bytes);
    return path;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    EXPECT_EQ(written, bytes.size());
    CloseHandle(file);
}

std::string DumpLineWith(const std::string& dump, const std::string& needle)
{
    const size_t at = dump.find(needle);
    if (at == std::string::npos) {
        return {};
    }
    const size_t start = dump.rfind('\n', at);
    const size_t end = dump.find('\n', at);
    return dump.substr(start == std::string::npos ? 0 : start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

void MouseMove(HWND host, POINT point)
{
    SendMessageW(host, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
}

void MouseDown(HWND host, POINT point)
{
    SendMessageW(host, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
}

void MouseUp(HWND host, POINT point)
{
    SendMessageW(host, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

void Click(HWND host, POINT point)
{
    MouseMove(host, point);
    MouseDown(host, point);
    MouseUp(host, point);
}

void Wheel(HWND host, POINT point, int delta)
{
    ClientToScreen(host, &point);
    SendMessageW(host, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(point.x, point.y));
}

POINT Centre(const RECT& rect)
{
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

COLORREF PixelAt(HWND host, POINT point)
{
    UpdateWindow(host);
    Pump();
    ClientToScreen(host, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

}  // namespace vorrel::test
