// The control-tree dump's fields read back: cover (a control's own or its panel's), tooltip, scroll
// position, progress position, check state, an edit's live text, and what an outer-drawn control drew
// (its texts, and that it drew a picture); two windows of one layout dumped on request each into a
// file of their own.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/suite/vorrel/SkinFixture.h"
#include "tests/support/SkinWindowProbe.h"

using namespace vorrelUI;
using namespace vorrel::test;
using veyra::ComPtr;
using veyra::test::LineField;

namespace {

// An icon control's drawing: a small picture and a caption.
class CaptionPainter final : public OuterStub {
public:
    RECT rect{};

    HRESULT STDMETHODCALLTYPE Draw(HDC hdc, LONG) override
    {
        HDC memory = CreateCompatibleDC(hdc);
        HBITMAP bitmap = CreateCompatibleBitmap(hdc, 16, 16);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(hdc, rect.left, rect.top, 16, 16, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        RECT text{rect.left, rect.top + 54, rect.right, rect.bottom};
        SetBkMode(hdc, TRANSPARENT);
        DrawTextW(hdc, L"readme", -1, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
        return S_OK;
    }
};

class DumpTest : public SkinFixture {};

TEST_F(DumpTest, NewFieldsReadBack)
{
    BuiltWindow folder = Build(L"NsExplorer.xml");
    auto view = folder.Find<Ivorrel_panel>(1005, IID_Ivorrel_panel);
    auto item = NewPanel(RECT{160, 75, 234, 163}, 4242);
    view->AddChild(NewPanel(RECT{160, 75, 234, 1200}).get());  // reaches below the view: it scrolls
    view->AddChild(item.get());
    item->SetCoverImage(DesktopImage(L"IDI_IMAGE_COVER_HOVER").get());
    item->SetTooltip(L"readme.txt");
    ComPtr<Ivorrel_scroll> scroll;
    ASSERT_EQ(view->GetScroll(scroll.put()), S_OK);
    scroll->SetPosition(7, FALSE);
    HWND edit = nullptr;
    folder.Find<Ivorrel_edit>(1009, IID_Ivorrel_edit)->GetEditWindow(&edit);
    SetWindowTextW(edit, L"C:\\typed");  // as the user types it

    CaptionPainter painter;
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(m_module, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(get(CLSID_vorrel_outercontrol, IID_IClassFactory, factory.put_void()), S_OK);
    ASSERT_EQ(factory->CreateInstance(&painter, IID_IUnknown, painter.inner.put_void()), S_OK);
    ComPtr<Ivorrel_control> outer;
    ASSERT_EQ(painter.inner->QueryInterface(IID_Ivorrel_outercontrol, outer.put_void()), S_OK);
    painter.rect = RECT{300, 75, 374, 163};
    outer->Move(&painter.rect, FALSE);
    view->InsertOuterChild(0, outer.get());

    BuiltWindow box = Build(L"NsReplaceMsgbox.xml");
    box.Find<Ivorrel_imagebutton>(9005, IID_Ivorrel_imagebutton)->SetCheck(1);
    BuiltWindow progress = Build(L"NsProgress.xml");
    progress.Find<Ivorrel_progress>(6001, IID_Ivorrel_progress)->SetPosition(42);

    const std::string tree = folder.Dump();
    const struct {
        const char* line;
        const char* field;
    } expected[] = {
        {"id=4242\t", "\tcover=IDI_IMAGE_COVER_HOVER\ttip=readme.txt"},
        {"id=1005\t", "\tscroll=7"},
        {"id=1009\t", "\ttext=C:\\typed\t"},
        {"kind=outer", "\tdrawn=readme\tpicture=1"},
        {"id=1010\t", "\ttip=关闭"},
    };
    for (const auto& test : expected) {
        SCOPED_TRACE(test.line);
        EXPECT_NE(DumpLineWith(tree, test.line).find(test.field), std::string::npos) << tree;
    }
    EXPECT_NE(DumpLineWith(box.Dump(), "id=9005\t").find("\tcheck=1"), std::string::npos);
    EXPECT_NE(DumpLineWith(progress.Dump(), "id=6001\t").find("\tprogress=42"), std::string::npos);
    view->RemoveAllChildren();
    outer.reset();
    painter.inner.reset();
    box.Close();
    progress.Close();
    folder.Close();
}

// An item's panel paints its cover behind its children: the lines of its picture and caption show that
// cover, the one now set, and an item without one shows none.
TEST_F(DumpTest, AnItemsControlsShowTheCoverTheirPanelDraws)
{
    BuiltWindow folder = Build(L"NsExplorer.xml");
    auto view = folder.Find<Ivorrel_panel>(1005, IID_Ivorrel_panel);
    auto covered = NewPanel(RECT{160, 75, 234, 163}, 4301);
    auto plain = NewPanel(RECT{240, 75, 314, 163}, 4302);
    auto inner = NewPanel(RECT{160, 75, 234, 163}, 4303);
    auto picture = NewPanel(RECT{170, 80, 218, 128}, 4304);
    view->AddChild(covered.get());
    view->AddChild(plain.get());
    covered->AddChild(inner.get());
    inner->AddChild(picture.get());
    const struct {
        const wchar_t* cover;  // the covered item's, nullptr for none
        const char* shown;
    } steps[] = {
        {L"IDI_IMAGE_COVER_HOVER", "IDI_IMAGE_COVER_HOVER"},
        {L"IDI_IMAGE_COVER_CLICK", "IDI_IMAGE_COVER_CLICK"},
        {nullptr, ""},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.shown);
        ASSERT_EQ(covered->SetCoverImage(step.cover ? DesktopImage(step.cover).get() : nullptr), S_OK);
        const std::string tree = folder.Dump();
        for (const char* line : {"id=4301\t", "id=4303\t", "id=4304\t"}) {
            EXPECT_EQ(LineField(DumpLineWith(tree, line), "cover"), step.shown) << line << "\n" << tree;
        }
        EXPECT_EQ(LineField(DumpLineWith(tree, "id=4302\t"), "cover"), "") << tree;
    }
    view->RemoveAllChildren();
    folder.Close();
}

TEST_F(DumpTest, TwoWindowsOfOneLayoutEachDumpOnRequest)
{
    BuiltWindow first = Build(L"NsExplorer.xml");
    BuiltWindow second = Build(L"NsExplorer.xml");
    first.Find<Ivorrel_edit>(1009, IID_Ivorrel_edit)->SetEditText(L"C:\\first");
    second.Find<Ivorrel_edit>(1009, IID_Ivorrel_edit)->SetEditText(L"D:\\second");
    const std::wstring folder = m_suite / L"dumps";
    CreateDirectoryW(folder.c_str(), nullptr);
    const ATOM atom = GlobalAddAtomW(folder.c_str());
    const UINT message = RegisterWindowMessageW(kDumpMessageName);
    EXPECT_EQ(SendMessageW(first.host, message, atom, 0), 1);
    EXPECT_EQ(SendMessageW(second.host, message, atom, 0), 1);
    GlobalDeleteAtom(atom);
    for (const BuiltWindow* window : {&first, &second}) {
        wchar_t name[64];
        swprintf(name, 64, L"\\NsExplorer.xml.%08llX.tree", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window->host)));
        const std::string text = ReadFileText(folder + name);
        EXPECT_NE(text.find(window == &first ? "text=C:\\first" : "text=D:\\second"), std::string::npos) << text;
    }
    first.Close();
    second.Close();
}

// A reader of the last dump (a test polling it) holds the file open for a moment.
DWORD WINAPI CloseReaderSoon(void* reader)
{
    Sleep(50);  // the reader's own time with the file
    CloseHandle(static_cast<HANDLE>(reader));
    return 0;
}

TEST_F(DumpTest, ADumpWaitsForAReaderOfTheLastOneInsteadOfBeingLost)
{
    BuiltWindow window = Build(L"NsExplorer.xml");
    window.Find<Ivorrel_edit>(1009, IID_Ivorrel_edit)->SetEditText(L"C:\\after");
    const std::wstring path = m_suite / L"held.tree";
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE closer = CreateThread(nullptr, 0, &CloseReaderSoon, reader, 0, nullptr);
    ASSERT_NE(closer, nullptr);
    const ATOM atom = GlobalAddAtomW(path.c_str());
    EXPECT_EQ(SendMessageW(window.host, RegisterWindowMessageW(kDumpMessageName), atom, 0), 1);
    GlobalDeleteAtom(atom);
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    const std::string text = ReadFileText(path);
    EXPECT_NE(text.find("text=C:\\after"), std::string::npos) << text;
    window.Close();
}

}  // namespace
