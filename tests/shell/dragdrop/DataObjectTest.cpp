// The data object and its format enumerator: every method's result for good and bad requests, media
// copied rather than shared, a format set twice kept once, and the enumerator's walk with Skip's end.

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/ComPtr.h"
#include "shell/dragdrop/CEnumFormatEtc.h"
#include "shell/dragdrop/CIDataObject.h"
#include "tests/shell/dragdrop/DragTestSupport.h"

using namespace veyra;
using namespace veyra::test;

namespace {

constexpr CLIPFORMAT kText = CF_UNICODETEXT;

std::string GlobalText(HGLOBAL memory)
{
    std::string text;
    if (const char* at = static_cast<const char*>(GlobalLock(memory))) {
        text.assign(at, strnlen(at, GlobalSize(memory)));
        GlobalUnlock(memory);
    }
    return text;
}

// A stream-typed entry next to the file list: the verdicts of QueryGetData depend on which comes last.
void SetStreamEntry(IDataObject* data, CLIPFORMAT format)
{
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    FORMATETC entry = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    STGMEDIUM medium{};
    medium.tymed = TYMED_ISTREAM;
    medium.pstm = stream;
    ASSERT_EQ(data->SetData(&entry, &medium, TRUE), S_OK);
}

TEST(DataObjectTest, GetDataAndQueryGetDataAnswerPerRequest)
{
    ComPtr<CIDataObject> data = MakeFileDataObject({L"C:\\a.txt"});
    struct Case {
        const char* name;
        FORMATETC request;
        HRESULT query;
        HRESULT get;
    } const cases[] = {
        {"the file list", {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, S_OK, S_OK},
        {"any medium that includes global memory", {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ISTREAM}, S_OK, S_OK},
        {"another format", {kText, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, DV_E_CLIPFORMAT, DV_E_FORMATETC},
        {"another medium", {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM}, DV_E_TYMED, DV_E_FORMATETC},
        {"an aspect without content", {CF_HDROP, nullptr, DVASPECT_ICON, -1, TYMED_HGLOBAL}, DV_E_DVASPECT, DV_E_FORMATETC},
    };
    for (const Case& c : cases) {
        FORMATETC request = c.request;
        EXPECT_EQ(data->QueryGetData(&request), c.query) << c.name;
        STGMEDIUM medium{};
        EXPECT_EQ(data->GetData(&request, &medium), c.get) << c.name;
        if (c.get == S_OK) {
            EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL)) << c.name;
            EXPECT_NE(medium.hGlobal, nullptr) << c.name;
        }
        ReleaseStgMedium(&medium);
    }
    FORMATETC request = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    EXPECT_EQ(data->GetData(nullptr, &medium), E_INVALIDARG);
    EXPECT_EQ(data->GetData(&request, nullptr), E_POINTER);
    EXPECT_EQ(data->QueryGetData(nullptr), E_INVALIDARG);
}

TEST(DataObjectTest, QueryGetDataGivesTheLastEntrysVerdict)
{
    FORMATETC text = {kText, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    ComPtr<CIDataObject> empty = ComPtr<CIDataObject>::Adopt(new CIDataObject());
    EXPECT_EQ(empty->QueryGetData(&text), DV_E_TYMED);

    ComPtr<CIDataObject> streamLast = MakeFileDataObject({L"C:\\a"});
    SetStreamEntry(streamLast.get(), CF_TEXT);
    EXPECT_EQ(streamLast->QueryGetData(&text), DV_E_TYMED);

    ComPtr<CIDataObject> globalLast = ComPtr<CIDataObject>::Adopt(new CIDataObject());
    SetStreamEntry(globalLast.get(), CF_TEXT);
    ASSERT_EQ(SetGlobalData(globalLast.get(), CF_HDROP, "x", 2), S_OK);
    EXPECT_EQ(globalLast->QueryGetData(&text), DV_E_CLIPFORMAT);

    // The stream entry is handed out as the same stream with a reference of its own.
    FORMATETC stream = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    STGMEDIUM first{}, second{};
    ASSERT_EQ(globalLast->GetData(&stream, &first), S_OK);
    ASSERT_EQ(globalLast->GetData(&stream, &second), S_OK);
    EXPECT_EQ(first.pstm, second.pstm);
    ReleaseStgMedium(&first);
    ReleaseStgMedium(&second);
}

TEST(DataObjectTest, SetDataCopiesOrTakesAndReplacesTheSameFormat)
{
    ComPtr<CIDataObject> data = ComPtr<CIDataObject>::Adopt(new CIDataObject());
    FORMATETC format = {kText, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};

    // Without release the caller keeps its block and the object holds a copy.
    UniqueGlobal mine(GlobalAlloc(GMEM_MOVEABLE, 6));
    std::memcpy(GlobalLock(mine.get()), "first", 6);
    GlobalUnlock(mine.get());
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = mine.get();
    ASSERT_EQ(data->SetData(&format, &medium, FALSE), S_OK);
    std::memcpy(GlobalLock(mine.get()), "later", 6);
    GlobalUnlock(mine.get());

    STGMEDIUM got{};
    ASSERT_EQ(data->GetData(&format, &got), S_OK);
    EXPECT_NE(got.hGlobal, mine.get());
    EXPECT_EQ(GlobalText(got.hGlobal), "first");
    ReleaseStgMedium(&got);

    // A second set of the same format replaces the first: one entry, the new content.
    ASSERT_EQ(SetGlobalData(data.get(), kText, "second", 7), S_OK);
    ASSERT_EQ(data->GetData(&format, &got), S_OK);
    EXPECT_EQ(GlobalText(got.hGlobal), "second");
    ReleaseStgMedium(&got);
    IEnumFORMATETC* raw = nullptr;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &raw), S_OK);
    ComPtr<IEnumFORMATETC> formats = ComPtr<IEnumFORMATETC>::Adopt(raw);
    FORMATETC listed[4];
    ULONG fetched = 0;
    EXPECT_EQ(formats->Next(4, listed, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);

    EXPECT_EQ(data->SetData(nullptr, &medium, TRUE), E_INVALIDARG);
    EXPECT_EQ(data->SetData(&format, nullptr, TRUE), E_INVALIDARG);
    STGMEDIUM odd{};
    odd.tymed = TYMED_NULL;
    EXPECT_EQ(data->SetData(&format, &odd, FALSE), DV_E_TYMED);
}

// Media other than global memory are copied as what they are: a file medium's name, a bitmap.
TEST(DataObjectTest, FileAndBitmapMediaAreCopiedAsSuch)
{
    ComPtr<CIDataObject> data = ComPtr<CIDataObject>::Adopt(new CIDataObject());
    const CLIPFORMAT fileFormat = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"VeyraTestFile"));
    FORMATETC file = {fileFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_FILE};
    wchar_t name[] = L"C:\\temp\\dropped.dat";
    STGMEDIUM fileMedium{};
    fileMedium.tymed = TYMED_FILE;
    fileMedium.lpszFileName = name;
    ASSERT_EQ(data->SetData(&file, &fileMedium, FALSE), S_OK);
    name[0] = L'X';  // the object kept its own copy
    STGMEDIUM got{};
    ASSERT_EQ(data->GetData(&file, &got), S_OK);
    ASSERT_EQ(got.tymed, static_cast<DWORD>(TYMED_FILE));
    EXPECT_STREQ(got.lpszFileName, L"C:\\temp\\dropped.dat");
    EXPECT_NE(got.lpszFileName, name);
    ReleaseStgMedium(&got);

    // A bitmap under a format of its own: still copied as a bitmap.
    const CLIPFORMAT pictureFormat = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"VeyraTestPicture"));
    FORMATETC picture = {pictureFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    UniqueBitmap bitmap(CreateBitmap(4, 3, 1, 32, nullptr));
    STGMEDIUM gdi{};
    gdi.tymed = TYMED_GDI;
    gdi.hBitmap = bitmap.get();
    ASSERT_EQ(data->SetData(&picture, &gdi, FALSE), S_OK);
    ASSERT_EQ(data->GetData(&picture, &got), S_OK);
    EXPECT_NE(got.hBitmap, bitmap.get());
    BITMAP info{};
    ASSERT_EQ(GetObjectW(got.hBitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmHeight, 3);
    ReleaseStgMedium(&got);
}

TEST(DataObjectTest, FixedAnswersAndInterfaces)
{
    ComPtr<CIDataObject> data = ComPtr<CIDataObject>::Adopt(new CIDataObject());
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    FORMATETC canonical{};
    STGMEDIUM medium{};
    DWORD connection = 0;
    IEnumSTATDATA* advises = nullptr;
    EXPECT_EQ(data->GetDataHere(&format, &medium), E_NOTIMPL);
    EXPECT_EQ(data->GetCanonicalFormatEtc(&format, &canonical), DATA_S_SAMEFORMATETC);
    EXPECT_EQ(data->GetCanonicalFormatEtc(&format, nullptr), E_INVALIDARG);
    EXPECT_EQ(data->DAdvise(&format, 0, nullptr, &connection), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(data->EnumDAdvise(&advises), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(data->DUnadvise(1), E_NOTIMPL);

    IEnumFORMATETC* enumerator = nullptr;
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_GET, nullptr), E_POINTER);
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, &enumerator), E_NOTIMPL);
    EXPECT_EQ(enumerator, nullptr);

    struct Case {
        const char* name;
        const IID* iid;
        HRESULT result;
    } const cases[] = {
        {"IUnknown", &IID_IUnknown, S_OK},
        {"IDataObject", &IID_IDataObject, S_OK},
        {"IDropTarget", &IID_IDropTarget, E_NOINTERFACE},
        {"IEnumFORMATETC", &IID_IEnumFORMATETC, E_NOINTERFACE},
    };
    for (const Case& c : cases) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(data->QueryInterface(*c.iid, &out), c.result) << c.name;
        if (c.result == S_OK) {
            EXPECT_EQ(out, static_cast<IDataObject*>(data.get())) << c.name;
            static_cast<IUnknown*>(out)->Release();
        } else {
            EXPECT_EQ(out, nullptr) << c.name;
        }
    }
    EXPECT_EQ(data->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

// Three formats, walked with Next, Skip, Reset and Clone in turn; each step's result and what Next gave.
TEST(EnumFormatEtcTest, WalkWithSkipAtAndPastTheEnd)
{
    ComPtr<CIDataObject> data = MakeFileDataObject({L"C:\\a"});
    ASSERT_EQ(SetGlobalData(data.get(), CF_TEXT, "t", 2), S_OK);
    ASSERT_EQ(SetGlobalData(data.get(), kText, L"u", 4), S_OK);
    IEnumFORMATETC* raw = nullptr;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &raw), S_OK);
    ComPtr<IEnumFORMATETC> walk = ComPtr<IEnumFORMATETC>::Adopt(raw);

    enum class Op { Next, Skip, Reset };
    struct Step {
        const char* name;
        Op op;
        ULONG count;
        HRESULT result;
        ULONG fetched;
        CLIPFORMAT first;
    } const steps[] = {
        {"first of three", Op::Next, 1, S_OK, 1, CF_HDROP},
        {"two remain, two asked", Op::Next, 2, S_OK, 2, CF_TEXT},
        {"at the end", Op::Next, 1, S_FALSE, 0, 0},
        {"reset", Op::Reset, 0, S_OK, 0, 0},
        {"skip exactly what remains", Op::Skip, 3, S_OK, 0, 0},
        {"nothing after it", Op::Next, 1, S_FALSE, 0, 0},
        {"reset again", Op::Reset, 0, S_OK, 0, 0},
        {"skip one", Op::Skip, 1, S_OK, 0, 0},
        {"second comes next", Op::Next, 1, S_OK, 1, CF_TEXT},
        {"skip past the end", Op::Skip, 5, S_FALSE, 0, 0},
        {"at the end after it", Op::Next, 1, S_FALSE, 0, 0},
        {"reset for the last", Op::Reset, 0, S_OK, 0, 0},
        {"more asked than there are", Op::Next, 5, S_FALSE, 3, CF_HDROP},
    };
    for (const Step& s : steps) {
        FORMATETC got[5] = {};
        ULONG fetched = 99;
        HRESULT result = S_OK;
        switch (s.op) {
        case Op::Next:
            result = walk->Next(s.count, got, &fetched);
            EXPECT_EQ(fetched, s.fetched) << s.name;
            if (s.fetched) {
                EXPECT_EQ(got[0].cfFormat, s.first) << s.name;
            }
            break;
        case Op::Skip:
            result = walk->Skip(s.count);
            break;
        case Op::Reset:
            result = walk->Reset();
            break;
        }
        EXPECT_EQ(result, s.result) << s.name;
    }

    FORMATETC one{};
    ULONG fetched = 0;
    EXPECT_EQ(walk->Next(0, &one, &fetched), E_INVALIDARG);
    EXPECT_EQ(walk->Next(1, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(walk->Next(2, &one, nullptr), E_POINTER);
    ASSERT_EQ(walk->Reset(), S_OK);
    EXPECT_EQ(walk->Next(1, &one, nullptr), S_OK) << "one format needs no fetched count";

    // A clone starts where the original stands and walks on its own.
    IEnumFORMATETC* cloneRaw = nullptr;
    ASSERT_EQ(walk->Clone(&cloneRaw), S_OK);
    ComPtr<IEnumFORMATETC> clone = ComPtr<IEnumFORMATETC>::Adopt(cloneRaw);
    EXPECT_EQ(clone->Next(1, &one, nullptr), S_OK);
    EXPECT_EQ(one.cfFormat, CF_TEXT);
    EXPECT_EQ(walk->Next(1, &one, nullptr), S_OK);
    EXPECT_EQ(one.cfFormat, CF_TEXT);
    EXPECT_EQ(walk->Clone(nullptr), E_POINTER);
    void* out = nullptr;
    EXPECT_EQ(walk->QueryInterface(IID_IEnumFORMATETC, &out), S_OK);
    static_cast<IUnknown*>(out)->Release();
    EXPECT_EQ(walk->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
}

TEST(EnumFormatEtcTest, AnEmptyListSkipsNothingButZero)
{
    ComPtr<CEnumFormatEtc> none = ComPtr<CEnumFormatEtc>::Adopt(new CEnumFormatEtc({}));
    EXPECT_EQ(none->Skip(0), S_OK);
    EXPECT_EQ(none->Skip(1), S_FALSE);
    FORMATETC one{};
    EXPECT_EQ(none->Next(1, &one, nullptr), S_FALSE);
}

}  // namespace
