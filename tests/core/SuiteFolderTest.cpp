// The suite folder from the App Paths entry or from the program's own place, bounded joins into it,
// and the file-version and COM-from-file helpers on real files.
#include <windows.h>
#include <unknwn.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "core/ComponentDll.h"
#include "core/FileVersion.h"
#include "core/SuiteFolder.h"
#include "suite/contracts/IpcService.h"
#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/TestPaths.h"

namespace {

using veyra::test::ScopedRegistryValue;

std::wstring SuiteFilePath(const wchar_t* relative, std::size_t capacity = MAX_PATH)
{
    std::wstring out(capacity, L'?');
    if (!veyra::GetSuiteFilePath(out.data(), capacity, relative)) {
        EXPECT_EQ(out[0], L'\0') << "a failed join must leave an empty string";
        return L"<failed>";
    }
    out.resize(wcslen(out.c_str()));
    return out;
}

std::wstring ParentOfBin()
{
    const std::wstring bin = veyra::test::BinFolder();
    return bin.substr(0, bin.find_last_of(L'\\'));
}

TEST(SuiteFolder, ReadsTheRegisteredFolderAndRefusesValuesThatAreNoFolder)
{
    ScopedRegistryValue value(HKEY_LOCAL_MACHINE, veyra::kSuiteAppPathKey, L"Path");
    const std::wstring tooLong = L"C:\\" + std::wstring(300, L'a');
    const wchar_t unterminated[] = {L'C', L':', L'\\', L'S'};  // a value written without its terminator
    struct Case {
        const char* name;
        DWORD type;  // REG_NONE: the value is absent
        const void* data;
        DWORD size;
        LSTATUS expected;
        const wchar_t* expectedFolder;
    } cases[] = {
        {"absent", REG_NONE, nullptr, 0, ERROR_FILE_NOT_FOUND, L""},
        {"folder", REG_SZ, L"C:\\Suite", sizeof(L"C:\\Suite"), ERROR_SUCCESS, L"C:\\Suite"},
        {"expandable", REG_EXPAND_SZ, L"C:\\Suite", sizeof(L"C:\\Suite"), ERROR_SUCCESS, L"C:\\Suite"},
        {"unterminated", REG_SZ, unterminated, sizeof(unterminated), ERROR_SUCCESS, L"C:\\S"},
        {"empty", REG_SZ, L"", sizeof(L""), ERROR_INVALID_DATA, L""},
        {"number", REG_DWORD, "\7\0\0\0", 4, ERROR_INVALID_DATA, L""},
        {"longer than the buffer", REG_SZ, tooLong.c_str(), static_cast<DWORD>((tooLong.size() + 1) * sizeof(wchar_t)),
         ERROR_MORE_DATA, L""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.type == REG_NONE ? value.Delete() : value.SetRaw(c.type, c.data, c.size)) << c.name;
        wchar_t buffer[MAX_PATH];
        std::fill(std::begin(buffer), std::end(buffer), L'x');
        EXPECT_EQ(veyra::ReadSuitePath(buffer, MAX_PATH), c.expected) << c.name;
        EXPECT_STREQ(buffer, c.expectedFolder) << c.name;
    }
    EXPECT_EQ(veyra::ReadSuitePath(nullptr, MAX_PATH), ERROR_PATH_NOT_FOUND);
}

TEST(SuiteFolder, JoinsTheRegisteredFolderOrFailsWithoutTruncating)
{
    ScopedRegistryValue path(HKEY_LOCAL_MACHINE, veyra::kSuiteAppPathKey, L"Path");
    const std::wstring longFolder = L"C:\\" + std::wstring(250, L'f');  // 253 characters
    const std::wstring longest = L"C:\\" + std::wstring(256, L'g');     // 259 characters
    struct Case {
        std::wstring folder;
        const wchar_t* relative;
        std::size_t capacity;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"C:\\Suite", L"ipc\\pellox.dll", MAX_PATH, L"C:\\Suite\\ipc\\pellox.dll"},
        {L"C:\\Suite", nullptr, MAX_PATH, L"C:\\Suite"},
        {L"C:\\Suite\\", L"x.dll", MAX_PATH, L"C:\\Suite\\x.dll"},
        {L"C:\\Suite\\", nullptr, MAX_PATH, L"C:\\Suite"},
        {L"D:\\", L"x.dll", MAX_PATH, L"D:\\x.dll"},
        {L"C:\\Suite", L"", MAX_PATH, L"C:\\Suite"},
        {longest, nullptr, MAX_PATH, longest},
        {longFolder, L"abcde", MAX_PATH, longFolder + L"\\abcde"},   // 259 characters
        {longFolder, L"abcdef", MAX_PATH, L"<failed>"},            // 260: would not fit
        {L"C:\\Suite", L"x.dll", 15, L"C:\\Suite\\x.dll"},
        {L"C:\\Suite", L"x.dll", 14, L"<failed>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.folder.size() << " + " << (c.relative ? c.relative : L"(null)")
                                        << " in " << c.capacity);
        ASSERT_TRUE(path.SetString(c.folder));
        EXPECT_EQ(SuiteFilePath(c.relative, c.capacity), c.expected);
    }
}

TEST(SuiteFolder, FallsBackToTheFolderAboveTheProgramWhenTheEntryIsUnusable)
{
    ScopedRegistryValue path(HKEY_LOCAL_MACHINE, veyra::kSuiteAppPathKey, L"Path");
    const DWORD number = 7;
    struct Case {
        const char* name;
        bool (*arrange)(ScopedRegistryValue&, DWORD);
    };
    const Case cases[] = {
        {"absent", [](ScopedRegistryValue& v, DWORD) { return v.Delete(); }},
        {"empty", [](ScopedRegistryValue& v, DWORD) { return v.SetString(L""); }},
        {"a number", [](ScopedRegistryValue& v, DWORD n) { return v.SetDword(n); }},
        {"260 characters", [](ScopedRegistryValue& v, DWORD) { return v.SetString(L"C:\\" + std::wstring(257, L'h')); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.arrange(path, number));
        EXPECT_EQ(SuiteFilePath(L"x.dll"), ParentOfBin() + L"\\x.dll");
    }

    wchar_t folder[MAX_PATH];
    ASSERT_TRUE(veyra::SuiteFolderFromProgramPath(L"C:\\A\\ipc\\veyra.exe", folder));
    EXPECT_STREQ(folder, L"C:\\A");
    EXPECT_FALSE(veyra::SuiteFolderFromProgramPath(L"veyra.exe", folder));
}

TEST(SuiteFolder, ReadsFileVersionsOfRealFiles)
{
    wchar_t kernel[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(kernel, MAX_PATH), 0u);
    wcscat_s(kernel, L"\\kernel32.dll");
    ULONGLONG version = 0;
    ASSERT_EQ(veyra::ReadFileVersionNumber(kernel, &version), 1);
    EXPECT_GE(version >> 48, 5u) << "kernel32's file version has a major part";
    EXPECT_EQ(veyra::ReadFileVersionNumber(L"C:\\no\\such\\file.dll", &version), 0);
    EXPECT_EQ(veyra::ReadFileVersionNumber(kernel, nullptr), 0);
}

TEST(ComponentDll, FailsForMissingFilesAndFilesThatAreNoComponents)
{
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(veyra::CreateInstanceFromDll(L"C:\\no\\such.dll", IID_IUnknown, IID_IUnknown, &object), E_FAIL);
    EXPECT_EQ(object, nullptr);
    wchar_t kernel[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(kernel, MAX_PATH), 0u);
    wcscat_s(kernel, L"\\kernel32.dll");
    EXPECT_EQ(veyra::CreateInstanceFromDll(kernel, IID_IUnknown, IID_IUnknown, &object), E_FAIL);
    EXPECT_EQ(veyra::CreateInstanceFromDll(kernel, IID_IUnknown, IID_IUnknown, nullptr), E_POINTER);
}

TEST(ComponentDll, CreatesTheIpcServiceWithoutRegistrationAndFreesItWhenUnused)
{
    const std::wstring dll = veyra::test::BinFile(L"ipcservice.dll");
    veyra::suite::IKavoIpcService* service = nullptr;
    ASSERT_EQ(veyra::CreateInstanceFromDll(dll.c_str(), veyra::suite::CLSID_KavoIpcService,
                                           veyra::suite::IID_IKavoIpcService, reinterpret_cast<void**>(&service)),
              S_OK);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->Connect(0), S_OK);
    void* other = nullptr;
    EXPECT_EQ(veyra::CreateInstanceFromDll(dll.c_str(), veyra::suite::IID_IKavoIpcService,
                                           veyra::suite::IID_IKavoIpcService, &other),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(other, nullptr);

    veyra::FreeUnusedComponentDlls();
    EXPECT_NE(GetModuleHandleW(dll.c_str()), nullptr) << "freed while its object lives";
    service->Release();
    veyra::FreeUnusedComponentDlls();
    EXPECT_EQ(GetModuleHandleW(dll.c_str()), nullptr);
}

TEST(ComponentDll, NeverReportsSuccessWithoutAnObject)
{
    // {6F1B2D3A-1C4E-4B7A-9D2E-5A6B7C8D9E01}: the fixture's factory creates nothing and says S_OK.
    const CLSID nullObject = {0x6F1B2D3A, 0x1C4E, 0x4B7A, {0x9D, 0x2E, 0x5A, 0x6B, 0x7C, 0x8D, 0x9E, 0x01}};
    const std::wstring fixture = veyra::test::BinFile(L"component_fixture.dll");
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(veyra::CreateInstanceFromDll(fixture.c_str(), nullObject, IID_IUnknown, &object), E_FAIL);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(veyra::CreateInstanceFromDll(fixture.c_str(), IID_IUnknown, IID_IUnknown, &object), E_FAIL)
        << "S_OK without a factory";
    const std::wstring noUnload = veyra::test::BinFile(L"component_fixture_no_unload.dll");
    EXPECT_EQ(veyra::CreateInstanceFromDll(noUnload.c_str(), nullObject, IID_IUnknown, &object), E_FAIL);
}

}  // namespace
