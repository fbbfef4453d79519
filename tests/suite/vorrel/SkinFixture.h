#pragma once
// The skin library loaded as the program loads it (from a fake suite, through DllGetClassObject), real
// host windows for its layouts, mouse input sent to them as the system would deliver it, and an event
// recorder on the program's own event sink.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "shell/skin/SkinEventSink.h"
#include "suite/contracts/VorrelInterfaces.h"
#include "tests/support/FakeSuite.h"

namespace vorrel::test {

// Every event 1 and 2 it hears, with its values and sender.
class EventRecorder final : public veyra::skin::SkinEventSink<EventRecorder> {
public:
    struct Event {
        DISPID id;
        ULONG values[3];  // event 1: message, wParam, lParam; event 2: set, cleared
        IDispatch* sender;
    };
    static std::span<const Entry> Events();
    EventRecorder() = default;
    ~EventRecorder();
    EventRecorder(const EventRecorder&) = delete;
    EventRecorder& operator=(const EventRecorder&) = delete;

    std::vector<Event> events;
    std::function<void(const Event&)> onEvent;  // runs inside the raise

    // The events of one id from one sender (all senders when null).
    [[nodiscard]] std::vector<Event> Of(DISPID id, IUnknown* sender = nullptr) const;
    // Advises this recorder on a control until the recorder goes (which keeps the control alive).
    void Listen(IUnknown* control);

private:
    struct Advice {
        veyra::ComPtr<IConnectionPoint> point;
        DWORD cookie;
    };
    std::vector<Advice> m_advices;
    LONG OnCommand(const ULONG_PTR* arguments);
    LONG OnState(const ULONG_PTR* arguments);
};

// The program's side of an outer-drawn control reduced to a controlling unknown that hands out the
// inner control's faces; Draw draws nothing unless a test says otherwise.
class OuterStub : public vorrelUI::Ivorrel_outer {
public:
    virtual ~OuterStub() = default;
    veyra::ComPtr<IUnknown> inner;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnMouseEnter(LONG, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnMouseLeave(LONG, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Draw(HDC, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE HitTest(LONG, LONG, LONG, LONG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnMouseButton(LONG, LONG, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnKey(LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDetach() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnMove(LONG, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnSize(LONG, LONG) override { return S_OK; }
};

// A whole file's bytes ("" when it cannot be read).
std::string ReadFileText(const std::wstring& path);
// Writes `bytes` as the whole file (a test failure when it cannot).
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

struct BuiltWindow {
    HWND host = nullptr;
    veyra::ComPtr<vorrelUI::Ivorrel_window> window;
    veyra::ComPtr<vorrelUI::Ivorrel_container> root;

    template <typename T>
    veyra::ComPtr<T> Find(USHORT id, REFIID iid) const
    {
        veyra::ComPtr<vorrelUI::Ivorrel_control> control;
        veyra::ComPtr<T> typed;
        if (root && SUCCEEDED(root->FindChild(id, 0, control.put())) && control) {
            static_cast<void>(control.As(iid, typed));
        }
        return typed;
    }
    [[nodiscard]] RECT RectOf(USHORT id) const;
    [[nodiscard]] std::string Dump() const;
    void Close();
};

class SkinFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HRESULT Create(const CLSID& clsid, const IID& iid, void** out);
    template <typename T>
    veyra::ComPtr<T> NewControl(const GUID& category, const IID& iid, const wchar_t* theme = L"sandbox_default")
    {
        veyra::ComPtr<T> control;
        static_cast<void>(m_engine->CreateControl(category, iid, theme, control.put_void()));
        return control;
    }
    // A new panel at `rect`, shown, with `id`.
    veyra::ComPtr<vorrelUI::Ivorrel_panel> NewPanel(const RECT& rect, USHORT id = 0, const wchar_t* theme = L"sandbox_default");
    veyra::ComPtr<vorrelUI::Ivorrel_label> NewLabel(const RECT& rect, const wchar_t* text);
    // An image of the desktop's layout, from a pack of its own.
    veyra::ComPtr<vorrelUI::Ivorrel_image> DesktopImage(const wchar_t* name);

    [[nodiscard]] std::wstring Layout(const wchar_t* name) const;
    // The layout built into a new host window (shown on screen and painted when `show`).
    BuiltWindow Build(const wchar_t* layout, bool show = false);
    // A layout of the test's own: `controls` are the elements inside the window element.
    std::wstring WriteLayout(const wchar_t* name, const std::wstring& controls, const wchar_t* bound = L"0,0,400,300");

    veyra::test::FakeSuite m_suite;
    HMODULE m_module = nullptr;
    veyra::ComPtr<vorrelUI::Ivorrel_engine> m_engine;
};

// The dump line that holds `needle` ("" when none does).
std::string DumpLineWith(const std::string& dump, const std::string& needle);

// Mouse input as the system delivers it: sent to the host in client coordinates.
void MouseMove(HWND host, POINT point);
void MouseDown(HWND host, POINT point);
void MouseUp(HWND host, POINT point);
void Click(HWND host, POINT point);
void Wheel(HWND host, POINT point, int delta);
POINT Centre(const RECT& rect);
// Handles what is queued for this thread's windows (paints included).
void Pump();
// The colour at a client point of a shown window, read off the screen.
COLORREF PixelAt(HWND host, POINT point);

}  // namespace vorrel::test
