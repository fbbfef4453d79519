#include "core/shellutil/DroppedPaths.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/UniqueResource.h"

namespace veyra {
namespace {

using Bytes = std::vector<BYTE>;

Bytes Header(DWORD filesOffset, BOOL wide)
{
    DROPFILES header{};
    header.pFiles = filesOffset;
    header.fWide = wide;
    Bytes bytes(sizeof(header));
    std::memcpy(bytes.data(), &header, sizeof(header));
    return bytes;
}

void AppendWide(Bytes& bytes, const std::wstring& text, bool terminate = true)
{
    const std::size_t chars = text.size() + (terminate ? 1 : 0);
    const auto* begin = reinterpret_cast<const BYTE*>(text.c_str());
    bytes.insert(bytes.end(), begin, begin + chars * sizeof(wchar_t));
}

void AppendAnsi(Bytes& bytes, const std::string& text, bool terminate = true)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
    if (terminate) {
        bytes.push_back(0);
    }
}

// A copy of the bytes that ends exactly where an inaccessible page begins, so any read past the
// block's end faults instead of passing unseen.
class GuardedBlock {
public:
    explicit GuardedBlock(const Bytes& bytes)
    {
        SYSTEM_INFO system{};
        GetSystemInfo(&system);
        const std::size_t page = system.dwPageSize;
        const std::size_t dataPages = (bytes.size() + page - 1) / page + 1;
        m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, (dataPages + 1) * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        EXPECT_TRUE(m_base && VirtualProtect(m_base + dataPages * page, page, PAGE_NOACCESS, &old));
        m_data = m_base + dataPages * page - bytes.size();
        std::memcpy(m_data, bytes.data(), bytes.size());
    }
    ~GuardedBlock() { VirtualFree(m_base, 0, MEM_RELEASE); }
    GuardedBlock(const GuardedBlock&) = delete;
    GuardedBlock& operator=(const GuardedBlock&) = delete;
    [[nodiscard]] const void* data() const noexcept { return m_data; }

private:
    BYTE* m_base = nullptr;
    BYTE* m_data = nullptr;
};

struct BlockCase {
    const char* name;
    Bytes block;
    int result;
    std::vector<std::wstring> paths;
};

std::vector<BlockCase> BlockCases()
{
    std::vector<BlockCase> cases;
    {
        Bytes b = Header(sizeof(DROPFILES), TRUE);
        AppendWide(b, L"C:\\a.txt");
        AppendWide(b, L"D:\\文件夹\\b");
        AppendWide(b, L"");
        cases.push_back({"two wide names", b, 1, {L"C:\\a.txt", L"D:\\文件夹\\b"}});
    }
    {
        Bytes b = Header(sizeof(DROPFILES) + 3, TRUE);  // names after a gap, at an odd offset
        b.insert(b.end(), {0xEE, 0xEE, 0xEE});
        AppendWide(b, L"C:\\odd");
        AppendWide(b, L"");
        cases.push_back({"names start at pFiles", b, 1, {L"C:\\odd"}});
    }
    {
        Bytes b = Header(sizeof(DROPFILES), FALSE);
        AppendAnsi(b, "C:\\ansi.txt");
        AppendAnsi(b, "C:\\second");
        AppendAnsi(b, "");
        cases.push_back({"ANSI names", b, 1, {L"C:\\ansi.txt", L"C:\\second"}});
    }
    {
        Bytes b = Header(sizeof(DROPFILES), TRUE);
        AppendWide(b, L"C:\\whole");
        AppendWide(b, L"C:\\cut", false);
        cases.push_back({"a last name without its NUL is left out", b, 1, {L"C:\\whole"}});
    }
    {
        Bytes b = Header(sizeof(DROPFILES), TRUE);
        AppendWide(b, L"C:\\whole");
        b.push_back('x');  // half a character
        cases.push_back({"no double NUL, odd end", b, 1, {L"C:\\whole"}});
    }
    {
        Bytes b = Header(sizeof(DROPFILES), FALSE);
        AppendAnsi(b, "C:\\cut", false);
        cases.push_back({"one ANSI name without NUL", b, 0, {}});
    }
    {
        Bytes b = Header(sizeof(DROPFILES), TRUE);
        AppendWide(b, L"");
        cases.push_back({"an empty list", b, 0, {}});
    }
    cases.push_back({"the header alone", Header(sizeof(DROPFILES), TRUE), 0, {}});
    {
        Bytes b = Header(sizeof(DROPFILES), TRUE);
        b.resize(sizeof(DROPFILES) - 4);
        cases.push_back({"less than a header", b, 0, {}});
    }
    {
        Bytes b = Header(4096, TRUE);
        AppendWide(b, L"C:\\a");
        cases.push_back({"pFiles past the block", b, 0, {}});
    }
    {
        Bytes b = Header(4, TRUE);
        AppendWide(b, L"C:\\a");
        cases.push_back({"pFiles inside the header", b, 0, {}});
    }
    return cases;
}

TEST(DroppedPaths, BlocksAreReadWithinTheirSize)
{
    for (const BlockCase& c : BlockCases()) {
        SCOPED_TRACE(c.name);
        const GuardedBlock guarded(c.block);
        std::vector<std::wstring> paths;
        EXPECT_EQ(ReadDropFilesBlock(guarded.data(), c.block.size(), paths), c.result);
        EXPECT_EQ(paths, c.paths);
    }
}

// A data object that offers one CF_HDROP block, as a drag from another program does.
class DropDataObject final : public IDataObject {
public:
    explicit DropDataObject(Bytes block) : m_block(std::move(block)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IDataObject) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }  // lives on the test's stack

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL)) {
            return DV_E_FORMATETC;
        }
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, m_block.size());
        void* target = memory ? GlobalLock(memory) : nullptr;
        if (!target) {
            return E_OUTOFMEMORY;
        }
        std::memcpy(target, m_block.data(), m_block.size());
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        return format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    Bytes m_block;
    ULONG m_references = 1;
};

TEST(DroppedPaths, ReadFromADataObject)
{
    Bytes block = Header(sizeof(DROPFILES), TRUE);
    AppendWide(block, L"C:\\first.txt");
    AppendWide(block, L"C:\\second.txt");
    AppendWide(block, L"");
    DropDataObject dataObject(block);
    std::vector<std::wstring> paths;
    ASSERT_EQ(GetDroppedPaths(&dataObject, paths), 1);
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"C:\\first.txt", L"C:\\second.txt"}));

    DropDataObject headerOnly(Header(sizeof(DROPFILES), TRUE));
    paths.clear();
    EXPECT_EQ(GetDroppedPaths(&headerOnly, paths), 0);
    EXPECT_TRUE(paths.empty());
    EXPECT_EQ(GetDroppedPaths(nullptr, paths), 0);
}

}  // namespace
}  // namespace veyra
