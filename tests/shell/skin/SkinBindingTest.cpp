// The program's skin binding: creation from the loaded module, the proxy binding, the positions of the
// shared interfaces on both sides, the factories, the event sink and the geometry functions.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <span>
#include <vector>

#include "shell/skin/SkinBinding.h"
#include "shell/skin/SkinEventSink.h"
#include "tests/support/TestPaths.h"

using namespace vorrelUI;
using namespace veyra::skin;
using veyra::ComPtr;

namespace {

// The position a pointer to a virtual member names (Itanium ABI: vtable byte offset + 1).
template <typename F>
size_t PositionOf(F member)
{
    struct Pointer {
        uintptr_t pointer;
        ptrdiff_t adjust;
    } raw;
    static_assert(sizeof(raw) == sizeof(member));
    std::memcpy(&raw, &member, sizeof(raw));
    return (raw.pointer - 1) / sizeof(void*);
}

struct Position {
    const char* name;
    size_t actual;
    size_t expected;
};

TEST(SkinBindingTest, InterfacePositionsAreTheFixedOnes)
{
    const Position positions[] = {
        {"engine create control", PositionOf(&Ivorrel_engine::CreateControl), 3},
        {"engine registry", PositionOf(&Ivorrel_engine::GetResRegistry), 5},
        {"engine theme", PositionOf(&Ivorrel_engine::GetTheme), 6},
        {"engine message box", PositionOf(&Ivorrel_engine::RunMessageBox), 7},
        {"theme load", PositionOf(&Ivorrel_theme::LoadTheme), 6},
        {"registry add pack", PositionOf(&Ivorrel_resregistry::AddPack), 13},
        {"pack load", PositionOf(&Ivorrel_respack::Load), 12},
        {"pack image", PositionOf(&Ivorrel_respack::GetImage), 18},
        {"factory create window", PositionOf(&Ivorrel_winfactory::CreateSkinWindow), 7},
        {"window root", PositionOf(&Ivorrel_window::GetRoot), 10},
        {"window release controls", PositionOf(&Ivorrel_window::ReleaseControls), 13},
        {"window focus", PositionOf(&Ivorrel_window::SetFocusControl), 19},
        {"window forget", PositionOf(&Ivorrel_window::ForgetControl), 21},
        {"window show", PositionOf(&Ivorrel_window::Show), 26},
        {"window caption", PositionOf(&Ivorrel_window::SetCaption), 32},
        {"control set id", PositionOf(&Ivorrel_control::SetId), 10},
        {"control get id", PositionOf(&Ivorrel_control::GetId), 11},
        {"control tooltip", PositionOf(&Ivorrel_control::SetTooltip), 13},
        {"control rect", PositionOf(&Ivorrel_control::GetRect), 16},
        {"control move", PositionOf(&Ivorrel_control::Move), 17},
        {"control owner window", PositionOf(&Ivorrel_control::GetOwnerWindow), 22},
        {"control style", PositionOf(&Ivorrel_control::ModifyStyle), 23},
        {"control control style", PositionOf(&Ivorrel_control::ModifyControlStyle), 26},
        {"control option pair", PositionOf(&Ivorrel_control::SetOptionPair), 28},
        {"control option", PositionOf(&Ivorrel_control::SetOption), 31},
        {"control redraw", PositionOf(&Ivorrel_control::Redraw), 39},
        {"control user value", PositionOf(&Ivorrel_control::SetUserValue), 47},
        {"control owner data", PositionOf(&Ivorrel_control::SetOwnerData), 48},
        {"control child query", PositionOf(&Ivorrel_control::GetChildControlCount), 51},
        {"control background", PositionOf(&Ivorrel_control::SetBackgroundImage), 53},
        {"control cover", PositionOf(&Ivorrel_control::SetCoverImage), 56},
        {"container child count", PositionOf(&Ivorrel_container::GetChildCount), 60},
        {"container add", PositionOf(&Ivorrel_container::AddChild), 61},
        {"container remove", PositionOf(&Ivorrel_container::RemoveChild), 62},
        {"container remove all", PositionOf(&Ivorrel_container::RemoveAllChildren), 63},
        {"container find", PositionOf(&Ivorrel_container::FindChild), 66},
        {"container refresh", PositionOf(&Ivorrel_container::Refresh), 68},
        {"container outer child", PositionOf(&Ivorrel_container::InsertOuterChild), 70},
        {"label text", PositionOf(&Ivorrel_label::SetText), 58},
        {"button text", PositionOf(&Ivorrel_imagebutton::SetText), 58},
        {"button option", PositionOf(&Ivorrel_imagebutton::SetButtonOption), 64},
        {"button image", PositionOf(&Ivorrel_imagebutton::SetImage), 65},
        {"panel option", PositionOf(&Ivorrel_panel::SetPanelOption), 71},
        {"panel image", PositionOf(&Ivorrel_panel::SetImage), 74},
        {"panel scroll", PositionOf(&Ivorrel_panel::GetScroll), 77},
        {"picture text", PositionOf(&Ivorrel_itemcontrol::SetText), 58},
        {"picture option", PositionOf(&Ivorrel_itemcontrol::SetPictureOption), 60},
        {"picture image", PositionOf(&Ivorrel_itemcontrol::SetImage), 66},
        {"edit set", PositionOf(&Ivorrel_edit::SetEditText), 71},
        {"edit get", PositionOf(&Ivorrel_edit::GetEditText), 72},
        {"list selected", PositionOf(&Ivorrel_list::GetSelected), 73},
        {"list cancel", PositionOf(&Ivorrel_list::CancelTracking), 74},
        {"list header", PositionOf(&Ivorrel_list::AttachHeader), 79},
        {"progress range", PositionOf(&Ivorrel_progress::SetRange), 62},
        {"progress option", PositionOf(&Ivorrel_progress::SetProgressOption), 73},
        {"progress position", PositionOf(&Ivorrel_progress::SetPosition), 75},
        {"header column", PositionOf(&Ivorrel_listheader::AddColumn), 7},
        {"header column theme", PositionOf(&Ivorrel_listheader::SetColumnTheme), 8},
        {"scroll position", PositionOf(&Ivorrel_scroll::GetPosition), 7},
        {"scroll set position", PositionOf(&Ivorrel_scroll::SetPosition), 8},
        {"scroll into view", PositionOf(&Ivorrel_scroll::ScrollIntoView), 9},
        {"scroll info", PositionOf(&Ivorrel_scroll::GetScrollInfo), 60},
        {"proxy engine", PositionOf(&Ivorrel_uiproxy::SetEngine), 4},
        {"proxy name", PositionOf(&Ivorrel_uiproxy::GetSkinName), 6},
        {"proxy folder", PositionOf(&Ivorrel_uiproxy::GetSkinDirectory), 8},
        {"outer draw", PositionOf(&Ivorrel_outer::Draw), 5},
        {"outer last", PositionOf(&Ivorrel_outer::OnSize), 12},
    };
    for (const Position& position : positions) {
        EXPECT_EQ(position.actual, position.expected) << position.name;
    }
}

class SkinBindingLoaded : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_NE(LoadLibraryW(veyra::test::BinFile(L"vorrel.dll").c_str()), nullptr);
        ASSERT_EQ(CreateEngine(), S_OK);
    }
    void TearDown() override
    {
        EnginePtr.reset();
        ResetProxyForTest();
        CoUninitialize();
    }
};

TEST(SkinBindingNoLibrary, CreateFromModuleWithoutTheLibraryFailsAndEmptiesTheOutPointer)
{
    ComPtr<IUnknown> out;
    EXPECT_EQ(CreateFromModule(CLSID_vorrel_engine, nullptr, IID_Ivorrel_engine, out.put_void()), E_FAIL);
    EXPECT_FALSE(out);
}

TEST_F(SkinBindingLoaded, LibraryObjectsAnswerThroughTheirTablePositions)
{
    ComPtr<Ivorrel_panel> panel;
    ASSERT_EQ(CreatePanelControl(panel), 1);
    // Call position 10 (set id) and 11 (get id) through the raw table, as a caller of another compiler would.
    using SetId = HRESULT(STDMETHODCALLTYPE*)(void*, USHORT);
    using GetId = HRESULT(STDMETHODCALLTYPE*)(void*, USHORT*);
    void** table = *reinterpret_cast<void***>(panel.get());
    EXPECT_EQ(reinterpret_cast<SetId>(table[10])(panel.get(), 4321), S_OK);
    USHORT id = 0;
    EXPECT_EQ(reinterpret_cast<GetId>(table[11])(panel.get(), &id), S_OK);
    EXPECT_EQ(id, 4321);
    ComPtr<Ivorrel_itemcontrol> picture;
    ASSERT_EQ(CreatePictureWithText(picture, L"sandbox_default", L"文字"), 1);
    DWORD style = 0;
    picture->GetStyle(&style);
    EXPECT_TRUE(style & kStyleVisible);
    EXPECT_EQ(panel->AddChild(picture.get()), S_OK);
    ComPtr<Ivorrel_control> found;
    picture->SetId(77);
    EXPECT_EQ(panel->FindChild(77, 0, found.put()), S_OK);
    ComPtr<Ivorrel_label> label;
    EXPECT_EQ(ConvertControl(found.get(), IID_Ivorrel_label, label), E_NOINTERFACE);
    EXPECT_FALSE(label);
    ComPtr<Ivorrel_imagebutton> check;
    EXPECT_EQ(CreateCheckButtonControl(check), 1);
}

TEST_F(SkinBindingLoaded, ProxyBindsOnceAndAnswersTheSkinFolder)
{
    EXPECT_EQ(LoadVorrelUIProxy(L"", EnginePtr.get()), 0);
    EXPECT_EQ(LoadVorrelUIProxy(veyra::test::BinFile(L"VorrelUIProxy.dll").c_str(), nullptr), 0);
    ASSERT_EQ(LoadVorrelUIProxy(veyra::test::BinFile(L"VorrelUIProxy.dll").c_str(), EnginePtr.get()), 1);
    EXPECT_EQ(LoadVorrelUIProxy(L"C:\\no\\such.dll", EnginePtr.get()), 1) << "a second call loads nothing";
    wchar_t name[MAX_PATH], folder[MAX_PATH];
    GetSkinName(name);
    GetSkinDirectory(folder);
    EXPECT_STREQ(name, L"default");
    const std::wstring suite = veyra::test::BinFolder().substr(0, veyra::test::BinFolder().find_last_of(L'\\'));
    EXPECT_EQ(std::wstring(folder), suite + L"\\Config\\newui\\themes\\default");
    ComPtr<IUnknown> engine;
    ASSERT_EQ(GetCachedUIProxy()->GetEngine(engine.put()), S_OK);
    EXPECT_EQ(engine.get(), static_cast<IUnknown*>(EnginePtr.get()));
}

TEST_F(SkinBindingLoaded, ProxyWithoutMiniCompatibleBindsNothingOneWithoutSkinManagerBinds)
{
    EXPECT_EQ(LoadVorrelUIProxy(veyra::test::BinFile(L"proxy_without_mini.dll").c_str(), EnginePtr.get()), 0);
    EXPECT_EQ(GetCachedUIProxy(), nullptr);
    wchar_t folder[MAX_PATH];
    GetSkinDirectory(folder);
    EXPECT_STREQ(folder, L"");
    EXPECT_EQ(LoadVorrelUIProxy(veyra::test::BinFile(L"proxy_without_manager.dll").c_str(), EnginePtr.get()), 1);
    EXPECT_NE(GetCachedUIProxy(), nullptr);
}

TEST_F(SkinBindingLoaded, GeometryEdgesAreIncluded)
{
    ComPtr<Ivorrel_panel> panel;
    ASSERT_EQ(CreatePanelControl(panel), 1);
    const RECT desktop{0, 25, 830, 625};
    panel->Move(&desktop, FALSE);
    struct Case {
        const char* name;
        int actual;
        int expected;
    };
    const Case cases[] = {
        {"on the lowered bottom edge", PointInControl(panel.get(), 0, 40, {100, 585}), 1},
        {"one below it", PointInControl(panel.get(), 0, 40, {100, 586}), 0},
        {"on the left border", PointInControl(panel.get(), 0, 40, {0, 100}), 1},
        {"strip left end", PointInBottomStrip(panel.get(), 22, {40, 600}), 1},
        {"left of the strip", PointInBottomStrip(panel.get(), 22, {39, 600}), 0},
        {"strip right end", PointInBottomStrip(panel.get(), 22, {808, 600}), 1},
        {"right of the strip", PointInBottomStrip(panel.get(), 22, {809, 600}), 0},
        {"above the strip", PointInBottomStrip(panel.get(), 22, {400, 584}), 0},
        {"155 from the right", static_cast<int>(MenuAlignFlags(panel.get(), {675, 100})), 0},
        {"154 from the right", static_cast<int>(MenuAlignFlags(panel.get(), {676, 100})), TPM_RIGHTALIGN},
        {"near the bottom only", static_cast<int>(MenuAlignFlags(panel.get(), {100, 506})), TPM_BOTTOMALIGN},
        {"corner", static_cast<int>(MenuAlignFlags(panel.get(), {800, 600})), TPM_RIGHTALIGN | TPM_BOTTOMALIGN},
        {"no control", PointInControl(nullptr, 0, 0, {1, 1}), 0},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(test.actual, test.expected) << test.name;
    }
}

class SinkOwner : public SkinEventSink<SinkOwner> {
public:
    static std::span<const Entry> Events()
    {
        static const Entry entries[] = {
            {1, &DIID_Ivorrel_events, 1, 4, &SinkOwner::OnCommand},
            {1, &DIID_Ivorrel_events, 2, 3, &SinkOwner::OnState},
            {1, &DIID_Ivorrel_events, 3, 9, &SinkOwner::OnState},
        };
        return entries;
    }
    LONG OnCommand(const ULONG_PTR* arguments)
    {
        calls.push_back({1, arguments[0], arguments[1], arguments[2], arguments[3]});
        return 7;
    }
    LONG OnState(const ULONG_PTR* arguments)
    {
        calls.push_back({2, arguments[0], arguments[1], arguments[2], 0});
        return 0;
    }
    std::vector<std::vector<ULONG_PTR>> calls;
};

TEST(SkinEventSinkTest, InvokeCallsTheEntryWithArgumentsInDeclaredOrder)
{
    SinkOwner owner;
    VARIANTARG arguments[4];
    arguments[3].vt = VT_I4, arguments[3].lVal = WM_COMMAND;
    arguments[2].vt = VT_I4, arguments[2].lVal = MAKEWPARAM(2005, 0);
    arguments[1].vt = VT_I4, arguments[1].lVal = 0;
    arguments[0].vt = VT_DISPATCH, arguments[0].pdispVal = &owner;
    DISPPARAMS parameters{arguments, nullptr, 4, 0};
    VARIANT result;
    ASSERT_EQ(owner.Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &parameters, &result, nullptr, nullptr), S_OK);
    ASSERT_EQ(owner.calls.size(), 1u);
    EXPECT_EQ(owner.calls[0], (std::vector<ULONG_PTR>{1, WM_COMMAND, 2005, 0, reinterpret_cast<ULONG_PTR>(&owner)}));
    EXPECT_EQ(result.lVal, 7);
    EXPECT_EQ(owner.Invoke(3, IID_NULL, 0, DISPATCH_METHOD, &parameters, &result, nullptr, nullptr), E_FAIL)
        << "more than 8 parameters";
    EXPECT_EQ(owner.Invoke(9, IID_NULL, 0, DISPATCH_METHOD, &parameters, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(owner.calls.size(), 1u) << "no entry: nothing called";
    void* events = nullptr;
    EXPECT_EQ(owner.QueryInterface(DIID_Ivorrel_events, &events), S_OK);
    EXPECT_EQ(owner.AddRef(), 1u);
}

}  // namespace
