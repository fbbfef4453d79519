// The icon items with real skin controls: the icon rectangle per view mode, captions measured in the
// label font, drive captions and free-space texts, ResolveTarget over a real test sandbox, Open through
// the tray stand-in, the hit tests, and the teardown that leaves no icon control alive.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "base/ScopedGdi.h"
#include "core/sandboxview/SandBoxResult.h"
#include "shell/iconview/NsIconApp.h"
#include "shell/iconview/NsIconDriveText.h"
#include "shell/iconview/NsIconFolder.h"
#include "shell/iconview/NsIconLabelFont.h"
#include "shell/iconview/NsIconNoPe.h"
#include "shell/iconview/NsIconSpecial.h"
#include "shell/skin/ModuleLock.h"
#include "tests/shell/iconview/IconViewFixture.h"
#include "tests/support/TrayFixture.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr std::uint32_t kFolderMode = 0x10104;
constexpr std::uint32_t kComputerMode = 0x1001204;
constexpr std::uint32_t kDesktopMode = 0x20104;
constexpr std::uint32_t kTaskbarMode = 0x102;
constexpr RECT kCell{155, 70, 229, 158};

std::string Narrow(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
    return out;
}

bool Same(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

// The caption width as the label font measures it, the way the items do.
int MeasuredWidth(const std::wstring& caption)
{
    const ScopedGetDC screen(nullptr);
    const ScopedSelectObject font(screen.get(), IconLabelFont());
    RECT area{0, 0, kCaptionLineWidth, kCaptionLineHeight};
    DrawTextW(screen.get(), caption.c_str(), -1, &area, DT_CALCRECT);
    return area.right - area.left;
}

class IconItemsTest : public IconViewFixture {
protected:
    void SetUp() override
    {
        IconViewFixture::SetUp();
        m_panel = BuildView(L"NsExplorer.xml", 1005);
        ASSERT_TRUE(m_panel);
    }
    void TearDown() override
    {
        m_panel.reset();
        IconViewFixture::TearDown();
    }

    template <typename T>
    std::unique_ptr<T> Make(const FileItemRecord& record, std::uint32_t mode, const RECT& cell = kCell)
    {
        m_mode = mode;
        auto item = std::make_unique<T>(&m_mode);
        EXPECT_EQ(item->Init(m_panel.get(), cell, record, L"IDI_IMAGE_COVER_CLICK", L"sandbox_default"), 1)
            << Narrow(record.path);
        return item;
    }

    ComPtr<vorrelUI::Ivorrel_panel> m_panel;
    std::uint32_t m_mode = 0;
};

TEST_F(IconItemsTest, IconRectanglePerViewMode)
{
    MakeReal(m_root + L"\\doc.txt");
    const LONG L = kCell.left, T = kCell.top;
    struct Case {
        const char* name;
        std::uint32_t mode;
        RECT icon;
    } const cases[] = {
        {"folder grid", kFolderMode, {L + 13, T + 2, L + 61, T + 50}},
        {"desktop grid", kDesktopMode, {L + 13, T + 2, L + 61, T + 50}},
        {"computer tiles", kComputerMode, {L + 3, T + 1, L + 51, T + 49}},
        {"large icons alone", 0x4, kCell},
        {"taskbar", kTaskbarMode, {L + 6, T - 3, L + 46, kCell.bottom}},
        {"none of them", 0x10000, kCell},
    };
    for (const Case& c : cases) {
        auto item = Make<NsIconNoPe>(MakeRecord(m_root + L"\\doc.txt", kFileKindFile), c.mode);
        EXPECT_TRUE(Same(item->IconRect(), c.icon)) << c.name;
        EXPECT_TRUE(Same(item->ItemRect(), kCell)) << c.name;
    }
}

TEST_F(IconItemsTest, NoControlsModeBuildsNothing)
{
    m_mode = 0x400 | kFolderMode;
    NsIconNoPe item(&m_mode);
    EXPECT_EQ(item.Init(m_panel.get(), kCell, MakeRecord(m_root + L"\\x.txt", 1), L"", L"sandbox_default"), 0);
    EXPECT_EQ(item.OuterPanel(), nullptr);
}

TEST_F(IconItemsTest, CaptionsAreMeasuredInTheLabelFont)
{
    struct Case {
        const char* name;
        std::wstring path;
        int isShortcut;
        std::uint32_t mode;
        std::wstring caption;
    } const cases[] = {
        {"shortcut with two extensions", m_root + L"\\a.b.lnk", 1, kFolderMode, L"a.b"},
        {"plain file", m_root + L"\\report.txt", 0, kFolderMode, L"report.txt"},
        {"long name", m_root + L"\\a rather long file name.txt", 0, kDesktopMode, L"a rather long file name.txt"},
        {"taskbar: not measured", m_root + L"\\tool.txt", 0, kTaskbarMode, L"tool.txt"},
    };
    for (const Case& c : cases) {
        auto item = Make<NsIconNoPe>(MakeRecord(c.path, kFileKindFile, c.isShortcut), c.mode);
        const FileItemRecord& record = item->Record();
        EXPECT_EQ(record.caption, c.caption) << c.name;
        EXPECT_EQ(item->IconControl()->Label(), c.caption) << c.name;
        RECT label = kCell;
        int lines = 0;
        if (!(c.mode & 0x2)) {
            lines = MeasuredWidth(c.caption) / kCaptionLineWidth + 1;
            if (lines == 1) {
                label.bottom -= kCaptionLineHeight;
            }
        }
        EXPECT_EQ(record.lineCount, lines) << c.name;
        EXPECT_TRUE(Same(record.labelRect, label)) << c.name;
        RECT outer{};
        item->OuterPanel()->GetRect(&outer);
        EXPECT_TRUE(Same(outer, c.mode & 0x2 ? kCell : label)) << c.name;
        EXPECT_EQ(item->IconControl()->IconSize(), c.mode & 0x2 ? 32 : 48) << c.name;
    }
}

TEST(DriveTextTest, CaptionsFromLabelOrDriveType)
{
    struct Case {
        std::wstring label;
        int type;
        std::wstring drive;
        std::wstring caption;
    } const cases[] = {
        {L"", DRIVE_REMOVABLE, L"E:", L"可移动磁盘(E:)"},
        {L"", DRIVE_FIXED, L"C:", L"本地磁盘(C:)"},
        {L"", DRIVE_CDROM, L"F:", L"CD-ROM 驱动器(F:)"},
        {L"", DRIVE_REMOTE, L"N:", L"(N:)"},
        {L"Data", DRIVE_FIXED, L"D:", L"Data(D:)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DriveCaption(c.label, c.type, c.drive), c.caption) << Narrow(c.caption);
    }
}

TEST(DriveTextTest, SpaceTextsInMegabytesBelowOneGigabyte)
{
    constexpr std::uint64_t kGigabyte = 1ull << 30;
    struct Case {
        std::uint64_t free, total;
        std::wstring line, freeText, totalText;
    } const cases[] = {
        {268435456, 536870912, L"256.0 MB 可用，共 512.0 MB", L"256.0 MB", L"512.0 MB"},
        {kGigabyte, kGigabyte, L"1.0 GB 可用，共 1 GB", L"1.0 GB", L"1.0 GB"},
        {kGigabyte / 2, kGigabyte - 1, L"512.0 MB 可用，共 1024.0 MB", L"512.0 MB", L"1024.0 MB"},
        {3 * kGigabyte / 2, 100 * kGigabyte, L"1.5 GB 可用，共 100 GB", L"1.5 GB", L"100.0 GB"},
        {0, 0, L"0.0 MB 可用，共 0.0 MB", L"0.0 MB", L"0.0 MB"},
    };
    for (const Case& c : cases) {
        const DriveSpaceTexts texts = FormatDriveSpace(c.free, c.total);
        EXPECT_EQ(texts.line, c.line) << Narrow(c.line);
        EXPECT_EQ(texts.freeText, c.freeText) << Narrow(c.line);
        EXPECT_EQ(texts.totalText, c.totalText) << Narrow(c.line);
    }
}

TEST_F(IconItemsTest, DriveWithoutMediumShowsItsTypeAndOpensNothing)
{
    // Q: is no drive here: the volume answers nothing, as a removable drive without a medium does.
    auto item = Make<NsIconSpecial>(MakeRecord(L"Q:", kFileKindDrive, 0, DRIVE_REMOVABLE), kComputerMode);
    EXPECT_EQ(item->Record().caption, L"可移动磁盘(Q:)");
    EXPECT_TRUE(item->IsNotReady());
    std::wstring target;
    EXPECT_EQ(item->ResolveTarget(target), SBFS_NOT_FOUND);
    std::wstring freeText, totalText;
    EXPECT_EQ(item->GetDriveSpaceText(freeText, totalText), 0);
    EXPECT_TRUE(Same(item->FreeSpaceRect(), RECT{}));
}

TEST_F(IconItemsTest, ReadyDriveHasItsFreeSpaceLine)
{
    auto item = Make<NsIconSpecial>(MakeRecord(L"C:", kFileKindDrive, 0, DRIVE_FIXED), kComputerMode);
    const std::wstring& caption = item->Record().caption;
    EXPECT_EQ(caption.substr(caption.size() - 4), L"(C:)") << Narrow(caption);
    EXPECT_FALSE(item->IsNotReady());
    std::wstring target;
    EXPECT_EQ(item->ResolveTarget(target), SBFS_FOLDER);
    EXPECT_EQ(target, L"C:");
    std::wstring freeText, totalText;
    ASSERT_EQ(item->GetDriveSpaceText(freeText, totalText), 1);
    ULARGE_INTEGER free{}, total{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &free, &total, nullptr));
    const DriveSpaceTexts expected = FormatDriveSpace(free.QuadPart, total.QuadPart);
    EXPECT_EQ(totalText, expected.totalText);
    EXPECT_TRUE(Same(item->FreeSpaceRect(), RECT{kCell.left + 62, kCell.top + 29, kCell.left + 258, kCell.top + 45}));
    // The folder view shows no tiles: no line there.
    auto plain = Make<NsIconSpecial>(MakeRecord(L"C:", kFileKindDrive, 0, DRIVE_FIXED), kFolderMode);
    EXPECT_EQ(plain->GetDriveSpaceText(freeText, totalText), 0);
}

TEST_F(IconItemsTest, ResolveTargetOverTheSandboxView)
{
    MakeReal(m_root + L"\\real.txt");
    MakeShadow(m_root + L"\\only-in-sandbox.txt");
    CreateDirectoryW((m_root + L"\\folder").c_str(), nullptr);
    CreateDirectoryW((m_root + L"\\marked").c_str(), nullptr);
    ASSERT_EQ(m_view.SetDeletedMark(m_root + L"\\marked", kSandbox), 1);
    MakeShortcut(m_root + L"\\broken.lnk", m_root + L"\\gone.txt");
    MakeShortcut(m_root + L"\\good.lnk", m_root + L"\\real.txt");
    struct Case {
        const char* name;
        FileItemRecord record;
        int status;
        std::wstring target;
    } const cases[] = {
        {"real file", MakeRecord(m_root + L"\\real.txt", kFileKindFile), SBFS_EXISTS, m_root + L"\\real.txt"},
        {"sandbox copy", MakeRecord(m_root + L"\\only-in-sandbox.txt", kFileKindFile), SBFS_EXISTS,
         Shadow(m_root + L"\\only-in-sandbox.txt")},
        {"missing file", MakeRecord(m_root + L"\\none.txt", kFileKindFile), SBFS_NOT_FOUND, m_root + L"\\none.txt"},
        {"folder", MakeRecord(m_root + L"\\folder", kFileKindFolder), SBFS_FOLDER, m_root + L"\\folder"},
        {"marked folder", MakeRecord(m_root + L"\\marked", kFileKindFolder), SBFS_MARKED_DELETED, m_root + L"\\marked"},
        {"broken shortcut", MakeRecord(m_root + L"\\broken.lnk", kFileKindFile, 1), SBFS_NOT_FOUND,
         m_root + L"\\gone.txt"},
        {"shortcut", MakeRecord(m_root + L"\\good.lnk", kFileKindFile, 1), SBFS_EXISTS, m_root + L"\\real.txt"},
        {"drive", MakeRecord(L"D:", kFileKindDrive, 0, DRIVE_FIXED), SBFS_FOLDER, L"D:"},
    };
    for (const Case& c : cases) {
        auto item = c.record.kind == kFileKindDrive ? std::unique_ptr<NsIcon>(Make<NsIconSpecial>(c.record, kComputerMode))
                                                    : std::unique_ptr<NsIcon>(Make<NsIconNoPe>(c.record, kFolderMode));
        std::wstring target;
        EXPECT_EQ(item->ResolveTarget(target), c.status) << c.name;
        EXPECT_EQ(CompareStringOrdinal(target.c_str(), -1, c.target.c_str(), -1, TRUE), CSTR_EQUAL)
            << c.name << ": " << Narrow(target);
    }
}

TEST_F(IconItemsTest, OpenGoesThroughTheTrayButNotForAMarkedProgram)
{
    TrayFixture tray;
    ASSERT_TRUE(tray.Start(*m_suite / L"ostrel\\KavoTray.exe"));
    MakeReal(m_root + L"\\marked.exe", "MZ");
    ASSERT_EQ(m_view.SetDeletedMark(m_root + L"\\marked.exe", kSandbox), 1);
    MakeShadow(m_root + L"\\tool.exe", "MZ");
    auto marked = Make<NsIconApp>(MakeRecord(m_root + L"\\marked.exe", kFileKindProgram), kFolderMode);
    EXPECT_EQ(marked->Open(), 0);
    auto tool = Make<NsIconApp>(MakeRecord(m_root + L"\\tool.exe", kFileKindProgram), kFolderMode);
    EXPECT_EQ(tool->Open(), SBFS_EXISTS);
    const std::wstring shadow = Shadow(m_root + L"\\tool.exe");
    EXPECT_TRUE(tray.WaitForLine([&](const std::wstring& line) {
        return line.size() > shadow.size() && _wcsicmp(line.c_str() + line.size() - shadow.size(), shadow.c_str()) == 0 &&
               line.rfind(L"request ", 0) == 0;
    })) << "the tray never heard of " << Narrow(shadow);
    for (const std::wstring& line : tray.Lines()) {
        EXPECT_EQ(line.find(L"marked.exe"), std::wstring::npos) << Narrow(line);
    }
    auto folder = Make<NsIconFolder>(MakeRecord(m_root, kFileKindFolder), kFolderMode);
    EXPECT_EQ(folder->Open(), SBFS_FOLDER);
    tray.StopAll();
}

TEST_F(IconItemsTest, HitTestsUseTheLabelRectangle)
{
    auto item = Make<NsIconNoPe>(MakeRecord(m_root + L"\\x.txt", kFileKindFile), kFolderMode);
    const RECT label = item->Record().labelRect;
    struct Case {
        POINT point;
        int item, caption;
    } const cases[] = {
        {{label.left, label.top}, 1, 0},
        {{label.left, label.top + kLabelTop}, 1, 1},
        {{label.right - 1, label.bottom - 1}, 1, 1},
        {{label.right, label.top + 60}, 0, 0},
        {{label.left, label.bottom}, 0, 0},
        {{label.left - 1, label.top + 60}, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(item->HitItem(c.point), c.item) << c.point.x << "," << c.point.y;
        EXPECT_EQ(item->HitLabel(c.point), c.caption) << c.point.x << "," << c.point.y;
    }
}

TEST_F(IconItemsTest, ControlsSitInTheViewPanelAndHideAndShow)
{
    INT before = 0;
    m_panel->GetChildCount(&before);
    auto item = Make<NsIconNoPe>(MakeRecord(m_root + L"\\x.txt", kFileKindFile), kDesktopMode);
    INT after = 0;
    m_panel->GetChildCount(&after);
    EXPECT_EQ(after, before + 1);
    EXPECT_EQ(item->Record().panelIndex, before);
    void* owner = nullptr;
    item->OuterPanel()->GetOwnerData(&owner);
    EXPECT_EQ(owner, item.get());
    DWORD style = 0;
    item->OuterPanel()->GetStyle(&style);
    EXPECT_EQ(style & 0x10000020, 0x10000020u);
    item->Hide();
    item->OuterPanel()->GetStyle(&style);
    EXPECT_EQ(style & vorrelUI::kStyleVisible, 0u);
    item->Show();
    item->OuterPanel()->GetStyle(&style);
    EXPECT_NE(style & vorrelUI::kStyleVisible, 0u);
    EXPECT_TRUE(item->IconControl()->HasOwner());
}

// The icon control holds its panel and the panel the control: the item's teardown must break that, or
// every reload keeps all items' controls. Also when the view emptied its panel first.
TEST_F(IconItemsTest, NoIconControlOutlivesItsItem)
{
    MakeReal(m_root + L"\\a.txt");
    const long before = skin::ModuleLockCount();
    {
        auto first = Make<NsIconNoPe>(MakeRecord(m_root + L"\\a.txt", kFileKindFile), kFolderMode);
        auto second = Make<NsIconFolder>(MakeRecord(m_root, kFileKindFolder), kFolderMode);
        EXPECT_EQ(skin::ModuleLockCount(), before + 2);
        second.reset();
        EXPECT_EQ(skin::ModuleLockCount(), before + 1);
        m_panel->RemoveAllChildren();  // the view clears its panel before deleting its items
    }
    EXPECT_EQ(skin::ModuleLockCount(), before);
    INT children = -1;
    m_panel->GetChildCount(&children);
    EXPECT_EQ(children, 0);
}

TEST_F(IconItemsTest, SystemsBeforeVistaDrawDrivePictures)
{
    PretendPreVista();
    auto item = Make<NsIconSpecial>(MakeRecord(L"C:", kFileKindDrive, 0, DRIVE_FIXED), kComputerMode);
    EXPECT_TRUE(item->IconControl()->HasImage());
}

}  // namespace
