// The icon control as a COM object aggregating the library's outer-drawn control, its painting into a
// real device context (caption or none, a given picture kept), and where it finds a file's icon.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "core/GlobalInfo.h"
#include "core/shellutil/GdiplusSession.h"
#include "shell/iconview/CGroupCtrl.h"
#include "shell/iconview/CGroupCtrlIconSource.h"
#include "shell/skin/ModuleLock.h"
#include "shell/skin/SkinBinding.h"
#include "tests/shell/iconview/IconViewFixture.h"
#include "tests/support/ScopedRegistryKey.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr RECT kControlRect{10, 10, 84, 98};
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A white 32-bit bitmap selected into a memory DC, for reading back what was drawn.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0));
        m_dc.reset(CreateCompatibleDC(nullptr));
        m_old = SelectObject(m_dc.get(), m_bitmap.get());
        const RECT all{0, 0, width, height};
        FillRect(m_dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() { SelectObject(m_dc.get(), m_old); }
    [[nodiscard]] HDC dc() const noexcept { return m_dc.get(); }
    [[nodiscard]] COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        const DWORD value = m_bits[y * m_width + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    [[nodiscard]] int CountNot(COLORREF colour, const RECT& area) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom && y < m_height; ++y) {
            for (int x = area.left; x < area.right && x < m_width; ++x) {
                count += Pixel(x, y) != colour ? 1 : 0;
            }
        }
        return count;
    }

private:
    int m_width;
    int m_height;
    DWORD* m_bits = nullptr;
    UniqueBitmap m_bitmap;
    UniqueMemoryDC m_dc;
    HGDIOBJ m_old = nullptr;
};

class GroupCtrlTest : public IconViewFixture {
protected:
    void SetUp() override
    {
        IconViewFixture::SetUp();
        ASSERT_TRUE(skin::CreatePanelControl(m_panel));
    }
    void TearDown() override
    {
        m_panel.reset();
        IconViewFixture::TearDown();
    }

    ComPtr<vorrelUI::Ivorrel_panel> m_panel;
    GdiplusSession m_gdiplus;
};

TEST_F(GroupCtrlTest, AggregatesTheLibraryControlAndCountsAModuleLock)
{
    EXPECT_EQ(CGroupCtrl::CreateGroupCtrl(nullptr), E_POINTER);
    const long before = skin::ModuleLockCount();
    CGroupCtrl* created = nullptr;
    ASSERT_EQ(CGroupCtrl::CreateGroupCtrl(&created), S_OK);
    ComPtr<CGroupCtrl> group = ComPtr<CGroupCtrl>::Adopt(created);
    EXPECT_EQ(skin::ModuleLockCount(), before + 1);
    ComPtr<vorrelUI::Ivorrel_outer> outer;
    ASSERT_EQ(group->QueryInterface(vorrelUI::IID_Ivorrel_outer, outer.put_void()), S_OK);
    ComPtr<vorrelUI::Ivorrel_control> face;
    ASSERT_EQ(group->QueryInterface(vorrelUI::IID_Ivorrel_outercontrol, face.put_void()), S_OK);
    // Every face answers the same identity: the library's control delegates to us.
    ComPtr<IUnknown> fromFace, fromOuter;
    ASSERT_EQ(face->QueryInterface(IID_IUnknown, fromFace.put_void()), S_OK);
    ASSERT_EQ(outer->QueryInterface(IID_IUnknown, fromOuter.put_void()), S_OK);
    EXPECT_EQ(fromFace.get(), group->GetIdentity());
    EXPECT_EQ(fromOuter.get(), group->GetIdentity());
    struct Answer {
        const char* name;
        HRESULT actual, expected;
    } const answers[] = {
        {"3", outer->OnMouseEnter(1, 2), 0}, {"4", outer->OnMouseLeave(1, 2), 0},
        {"6", outer->HitTest(1, 2, 3, 4), 1}, {"7", outer->OnFocus(1), 0},
        {"8", outer->OnMouseButton(WM_LBUTTONDOWN, 1, 2), 0}, {"9", outer->OnKey(VK_F2), 0},
        {"10", outer->OnDetach(), 0}, {"11", outer->OnMove(1, 2), 0}, {"12", outer->OnSize(1, 2), 0},
    };
    for (const Answer& answer : answers) {
        EXPECT_EQ(answer.actual, answer.expected) << "position " << answer.name;
    }
    face.reset();
    outer.reset();
    fromFace.reset();
    fromOuter.reset();
    group.reset();
    EXPECT_EQ(skin::ModuleLockCount(), before);
}

TEST_F(GroupCtrlTest, AttachMovesItAndInsertsItIntoTheContainer)
{
    EXPECT_FALSE(AttachGroupCtrl(nullptr, kControlRect));
    ComPtr<CGroupCtrl> group = AttachGroupCtrl(m_panel.get(), kControlRect);
    ASSERT_TRUE(group);
    RECT rect{};
    ASSERT_EQ(group->ControlFace()->GetRect(&rect), S_OK);
    EXPECT_TRUE(EqualRect(&rect, &kControlRect));
    INT children = 0;
    m_panel->GetChildCount(&children);
    EXPECT_EQ(children, 1);
}

TEST_F(GroupCtrlTest, CaptionAtSixteenAndFortyEightPixelsButNotAtThirtyTwo)
{
    const RECT captionArea{kControlRect.left, kControlRect.top + 54, kControlRect.right, kControlRect.bottom};
    struct Case {
        int size;
        bool caption;
    } const cases[] = {{16, true}, {48, true}, {32, false}};
    for (const Case& c : cases) {
        ComPtr<CGroupCtrl> group = AttachGroupCtrl(m_panel.get(), kControlRect);
        ASSERT_TRUE(group);
        group->SetItem(m_root + L"\\none.txt", kGroupDrawItem, kSandbox);
        group->SetLabel(L"Caption", kLabelCentredBelow);
        group->SetIconSize(c.size);
        Canvas canvas(120, 120);
        EXPECT_EQ(group->Draw(canvas.dc(), 0), S_OK);
        EXPECT_EQ(canvas.CountNot(kWhite, captionArea) > 0, c.caption) << "size " << c.size;
    }
}

// The view's cache shares the picture: the control draws it on the icon square's bottom, keeps its share
// and does not swap it for a null one when the shell has no thumbnail of the ".pdf" (as under Wine).
TEST_F(GroupCtrlTest, GivenPictureOfAPdfStaysAndIsDrawn)
{
    auto bitmap = std::make_shared<Gdiplus::Bitmap>(16, 16, PixelFormat32bppARGB);
    Gdiplus::Graphics(bitmap.get()).Clear(Gdiplus::Color(255, 255, 0, 0));
    std::shared_ptr<Gdiplus::Image> picture = bitmap;
    bitmap.reset();
    MakeReal(m_root + L"\\paper.pdf", "%PDF-1.4");
    ComPtr<CGroupCtrl> group = AttachGroupCtrl(m_panel.get(), kControlRect);
    ASSERT_TRUE(group);
    group->SetItem(m_root + L"\\paper.pdf", kGroupDrawItem, kSandbox);
    group->SetImage(picture);
    for (int paint = 0; paint < 2; ++paint) {
        Canvas canvas(120, 120);
        ASSERT_EQ(group->Draw(canvas.dc(), 0), S_OK);
        // Origin (left + 13, top + 2); x + (48 - 16) / 2, y + (48 - 16).
        EXPECT_EQ(canvas.Pixel(kControlRect.left + 13 + 16 + 8, kControlRect.top + 2 + 32 + 8), RGB(255, 0, 0))
            << "paint " << paint;
    }
    EXPECT_TRUE(group->HasImage());
    EXPECT_EQ(picture.use_count(), 2);
    EXPECT_EQ(picture->GetWidth(), 16u);
}

// A strip repaints every item on each change, and the system's icon costs milliseconds under Wine: it is
// made at the first paint and kept until the item or the size changes.
TEST_F(GroupCtrlTest, SystemIconIsKeptUntilTheItemOrSizeChanges)
{
    MakeReal(m_root + L"\\tool.exe");
    MakeReal(m_root + L"\\notes.txt");
    ComPtr<CGroupCtrl> group = AttachGroupCtrl(m_panel.get(), kControlRect);
    ASSERT_TRUE(group);
    const RECT iconSquare{kControlRect.left + 13, kControlRect.top + 2, kControlRect.left + 61, kControlRect.top + 50};
    struct Step {
        const char* name;
        std::function<void()> change;
        bool keptBeforePaint;
    } const steps[] = {
        {"first paint", [&] { group->SetItem(m_root + L"\\tool.exe", kGroupDrawItem, kSandbox); }, false},
        {"repaint", [] {}, true},
        {"same size again", [&] { group->SetIconSize(48); }, true},
        {"other size", [&] { group->SetIconSize(32); }, false},
        {"other item", [&] { group->SetItem(m_root + L"\\notes.txt", kGroupDrawItem, kSandbox); }, false},
    };
    for (const Step& step : steps) {
        step.change();
        EXPECT_EQ(group->KeepsSystemIcon(), step.keptBeforePaint) << step.name;
        Canvas canvas(120, 120);
        ASSERT_EQ(group->Draw(canvas.dc(), 0), S_OK) << step.name;
        EXPECT_TRUE(group->KeepsSystemIcon()) << step.name;
        EXPECT_GT(canvas.CountNot(kWhite, iconSquare), 0) << step.name << ": the icon is drawn";
    }
}

TEST(IconLocationTest, SplitAgainstTheSystemFolder)
{
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring shell32 = std::wstring(system) + L"\\shell32.dll";
    struct Case {
        const char* name;
        std::wstring text;
        const wchar_t* systemFolder;
        std::wstring file;
        int index;
    } const cases[] = {
        {"environment variable", L"%SystemRoot%\\system32\\shell32.dll,3", system, shell32, 3},
        {"negative resource id", L"%SystemRoot%\\system32\\shell32.dll,-16", system, shell32, -16},
        {"bare name in the system folder", L"shell32.dll,5", system, shell32, 5},
        {"bare name, no system folder", L"shell32.dll,5", L"", L"shell32.dll,5", 0},
        {"missing file", L"C:\\nosuch\\x.dll,2", system, L"C:\\nosuch\\x.dll,2", 0},
        {"folder", L"C:\\windows", system, L"", 0},
        {"plain file", L"C:\\a\\b.ico", system, L"C:\\a\\b.ico", 0},
    };
    for (const Case& c : cases) {
        std::wstring file = L"stale";
        int index = 99;
        ResolveIconLocation(c.text, c.systemFolder, file, index);
        EXPECT_EQ(CompareStringOrdinal(file.c_str(), -1, c.file.c_str(), -1, TRUE), CSTR_EQUAL) << c.name;
        EXPECT_EQ(index, c.index) << c.name;
    }
    EXPECT_TRUE(LoadIconFromSource(shell32, 3, 48));
}

TEST_F(GroupCtrlTest, IconSourceOfARegisteredTypeAndOfAProgram)
{
    ScopedRegistryKey extension(HKEY_CURRENT_USER, L"Software\\Classes\\.veyraicontest");
    ScopedRegistryKey type(HKEY_CURRENT_USER, L"Software\\Classes\\VeyraIconTest.File");
    ASSERT_TRUE(extension.SetString(L"", L"", L"VeyraIconTest.File"));
    ASSERT_TRUE(type.SetString(L"DefaultIcon", L"", L"%SystemRoot%\\system32\\shell32.dll,3"));
    ComPtr<CGroupCtrl> group = AttachGroupCtrl(m_panel.get(), kControlRect);
    ASSERT_TRUE(group);
    group->SetItem(m_root + L"\\a.veyraicontest", kGroupDrawFileIcon, kSandbox);
    std::wstring file;
    int index = 0;
    group->GetIconSource(file, index);
    const std::wstring shell32 = std::wstring(g_globalInfo.SystemFolder()) + L"\\shell32.dll";
    EXPECT_EQ(CompareStringOrdinal(file.c_str(), -1, shell32.c_str(), -1, TRUE), CSTR_EQUAL);
    EXPECT_EQ(index, 3);
    group->SetItem(m_root + L"\\tool.exe", kGroupDrawFileIcon, kSandbox);
    group->GetIconSource(file, index);
    EXPECT_EQ(file, m_root + L"\\tool.exe");
    EXPECT_EQ(index, 0);
}

}  // namespace
