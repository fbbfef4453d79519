// Pictures of the packs: looked up without decoding, decoded once at their first use and shared by the
// packs that name the same file (the toolkit's own classes, so the test sees the shared picture); a file
// that is no picture is found but measures and draws nothing, a missing one is not found (the library as
// the program loads it).

// GCC 12, with the toolkit's final classes in sight, devirtualises Release into the deleting destructor
// and takes its delete of the whole object, whose counted base lies at an offset, for a free of a pointer
// into it.
#pragma GCC diagnostic ignored "-Wfree-nonheap-object"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/UniqueResource.h"
#include "suite/vorrel/Resources.h"
#include "suite/vorrel/SkinFiles.h"
#include "tests/suite/vorrel/SkinFixture.h"

using namespace vorrelUI;
using namespace vorrel::test;
using veyra::ComPtr;

namespace {

class PictureTest : public SkinFixture {
protected:
    // A pack of the toolkit itself loaded from `layout` (the toolkit's registry of this program is empty,
    // so its look-ups stay in the pack).
    static ComPtr<Ivorrel_respack> LoadPack(const std::wstring& layout)
    {
        auto pack = ComPtr<Ivorrel_respack>::Adopt(new vorrel::ResourcePack);
        EXPECT_EQ(pack->Load(0, layout.c_str()), S_OK);
        return pack;
    }
    static ComPtr<Ivorrel_image> Find(Ivorrel_respack* pack, const wchar_t* name)
    {
        ComPtr<Ivorrel_image> image;
        EXPECT_EQ(pack->GetImage(name, image.put()), S_OK);
        return image;
    }
    static const vorrel::Picture* PictureOf(Ivorrel_image* image) { return vorrel::ImageFrom(image)->SharedPicture(); }
    // A layout of the test's own with `images` in its pack and `controls` in its window.
    std::wstring WritePackLayout(const wchar_t* name, const std::string& images, const std::string& controls)
    {
        const std::wstring path = Layout(name);
        WriteFileBytes(path, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<config><resources><images>" + images +
                                 "</images></resources><window id=\"1\" theme=\"SandBoxExplorerWindow\" "
                                 "bound=\"0,0,200,60\">" +
                                 controls + "</window></config>\n");
        return path;
    }
};

TEST_F(PictureTest, PacksOfOneLayoutShareOnePictureDecodedAtItsFirstUse)
{
    auto first = LoadPack(Layout(L"KavoSandbox.xml")), second = LoadPack(Layout(L"KavoSandbox.xml"));
    auto mine = Find(first.get(), L"IDI_IMAGE_DESKTOP"), theirs = Find(second.get(), L"IDI_IMAGE_DESKTOP");
    ASSERT_TRUE(mine);
    ASSERT_TRUE(theirs);
    EXPECT_NE(mine.get(), theirs.get()) << "each pack has an image of its own";
    ASSERT_EQ(PictureOf(mine.get()), PictureOf(theirs.get())) << "one picture for the file";
    EXPECT_FALSE(PictureOf(mine.get())->Tried()) << "looked up, not decoded";
    SIZE size{};
    ASSERT_EQ(theirs->GetSize(&size), S_OK);
    EXPECT_EQ(size.cx, 830);  // the desktop background as the build draws it
    EXPECT_EQ(size.cy, 600);
    EXPECT_TRUE(PictureOf(mine.get())->Tried()) << "the other pack's use decoded it for both";
}

TEST_F(PictureTest, AFileChangedBetweenTwoLoadsIsNotServedFromTheFirst)
{
    const auto wide = vorrel::ReadSkinFile(Layout(L"image\\taskbar.png"));
    const auto narrow = vorrel::ReadSkinFile(Layout(L"image\\show_desktop.png"));
    ASSERT_TRUE(wide);
    ASSERT_TRUE(narrow);
    const std::wstring layout = WritePackLayout(
        L"changing_picture.xml", "<image id=\"IDI_TEST_CHANGING\" path=\".\\changing_picture.png\"/>", "");
    WriteFileBytes(Layout(L"changing_picture.png"), *wide);
    auto before = Find(LoadPack(layout).get(), L"IDI_TEST_CHANGING");
    WriteFileBytes(Layout(L"changing_picture.png"), *narrow);
    auto after = Find(LoadPack(layout).get(), L"IDI_TEST_CHANGING");
    ASSERT_TRUE(before);
    ASSERT_TRUE(after);
    EXPECT_NE(PictureOf(before.get()), PictureOf(after.get()));
    SIZE beforeSize{}, afterSize{};
    ASSERT_EQ(before->GetSize(&beforeSize), S_OK);
    ASSERT_EQ(after->GetSize(&afterSize), S_OK);
    EXPECT_NE(beforeSize.cx, afterSize.cx) << "each shows its own file";
}

TEST_F(PictureTest, AFileThatIsNoPictureIsFoundButMeasuresAndDrawsNothingAndAMissingOneIsNotFound)
{
    WriteFileBytes(Layout(L"broken_picture.png"), "these bytes are no picture");
    const std::wstring layout = WritePackLayout(
        L"broken_picture.xml",
        "<image id=\"IDI_TEST_GOOD\" path=\".\\image\\desktop.png\"/>"
        "<image id=\"IDI_TEST_BROKEN\" path=\".\\broken_picture.png\"/>"
        "<image id=\"IDI_TEST_MISSING\" path=\".\\no_such_picture.png\"/>",
        "<button id=\"11\" style=\"0x10000000\" bound=\"0,0,60,60\" theme=\"sandbox_default\" image=\"IDI_TEST_GOOD\"/>"
        "<button id=\"12\" style=\"0x10000000\" bound=\"60,0,120,60\" theme=\"sandbox_default\" "
        "image=\"IDI_TEST_BROKEN\"/>"
        "<button id=\"13\" style=\"0x10000000\" bound=\"120,0,180,60\" theme=\"sandbox_default\" "
        "image=\"IDI_TEST_MISSING\"/>");
    ComPtr<Ivorrel_respack> pack;
    ASSERT_EQ(Create(CLSID_vorrel_respack, IID_Ivorrel_respack, pack.put_void()), S_OK);
    ASSERT_EQ(pack->Load(0, layout.c_str()), S_OK);
    // Shown and painted: a control whose picture does not decode paints without it.
    BuiltWindow built = Build(layout.c_str(), true);
    const std::string dump = built.Dump();
    veyra::UniqueMemoryDC memory(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(memory);
    struct Case {
        const wchar_t* name;
        const char* line;  // the control's dump line starts so
        HRESULT found;
        HRESULT measured;  // and drawn
        const char* loaded;
    } const cases[] = {
        {L"IDI_TEST_GOOD", "id=11\t", S_OK, S_OK, "loaded=1"},
        {L"IDI_TEST_BROKEN", "id=12\t", S_OK, HRESULT_FROM_WIN32(ERROR_INVALID_DATA), "loaded=0"},
        {L"IDI_TEST_MISSING", "id=13\t", HRESULT_FROM_WIN32(ERROR_NOT_FOUND), S_OK, "loaded=0"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(&test - cases));
        const std::string line = DumpLineWith(dump, test.line);
        EXPECT_NE(line.find(test.loaded), std::string::npos) << dump;
        ComPtr<Ivorrel_image> image;
        ASSERT_EQ(pack->GetImage(test.name, image.put()), test.found);
        if (FAILED(test.found)) {
            EXPECT_FALSE(image);
            continue;
        }
        SIZE size{-1, -1};
        EXPECT_EQ(image->GetSize(&size), test.measured);
        EXPECT_EQ(size.cx > 0 && size.cy > 0, SUCCEEDED(test.measured)) << size.cx << "x" << size.cy;
        const RECT target{0, 0, 16, 16};
        EXPECT_EQ(image->Draw(memory.get(), &target), test.measured);
    }
    built.Close();
}

}  // namespace
