#include <gtest/gtest.h>

#include "SandBoxViewFixture.h"
#include "base/UniqueResource.h"

namespace veyra::test {
namespace {

using DeletionMarks = SandBoxViewFixture;

std::wstring DeviceOf(const wchar_t* drive)
{
    wchar_t device[MAX_PATH] = {};
    return QueryDosDeviceW(drive, device, MAX_PATH) ? device : L"";
}

// "Information" of a key under HKEY_USERS: its type and bytes, or type REG_NONE when absent.
std::pair<DWORD, std::vector<BYTE>> MarkValue(const std::wstring& keyPath)
{
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_USERS, keyPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return {REG_NONE, {}};
    }
    std::vector<BYTE> bytes(16);
    DWORD size = static_cast<DWORD>(bytes.size());
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key.get(), L"Information", nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) {
        return {REG_NONE, {}};
    }
    bytes.resize(size);
    return {type, bytes};
}

TEST_F(DeletionMarks, WineGivesEachDriveItsOwnDeviceName)
{
    const std::wstring c = DeviceOf(L"C:");
    const std::wstring d = DeviceOf(L"D:");
    ASSERT_FALSE(c.empty());
    ASSERT_FALSE(d.empty()) << "the test environment maps D:";
    EXPECT_NE(c, d) << "marks follow the volume: two drives must not share their marks";
    EXPECT_EQ(L'\\', c[0]);
}

TEST_F(DeletionMarks, KeyLayoutValueAndParents)
{
    const std::wstring path = m_root + L"\\a\\b";
    std::wstring keyPath;
    ASSERT_EQ(1, m_view.GetMarkKeyPath(path, keyPath, kSandbox));
    EXPECT_EQ(L"KavoSandBox\\00004711" + DeviceOf(L"C:") + path.substr(2), keyPath);
    std::wstring zeroKey;
    ASSERT_EQ(1, m_view.GetMarkKeyPath(L"C:\\x\\", zeroKey, 0));
    EXPECT_EQ(L"KavoSandBox" + DeviceOf(L"C:") + L"\\x", zeroKey);

    ASSERT_EQ(1, m_view.SetDeletedMark(path, kSandbox));
    const auto [type, bytes] = MarkValue(keyPath);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ((std::vector<BYTE>{1, 0, 0, 0}), bytes);
    EXPECT_EQ(1, m_view.IsMarkedDeleted(path, kSandbox));
    const std::wstring parent = m_root + L"\\a";
    std::wstring parentKey;
    ASSERT_EQ(1, m_view.GetMarkKeyPath(parent, parentKey, kSandbox));
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), MarkValue(parentKey).first) << "a parent key carries no value";
    EXPECT_EQ(0, m_view.IsMarkedDeleted(parent, kSandbox));
    EXPECT_EQ(0, m_view.IsMarkedDeleted(path, 0)) << "marks belong to their sandbox number";

    ASSERT_EQ(1, m_view.ClearDeletedMark(path, kSandbox));
    EXPECT_EQ((std::vector<BYTE>{0, 0, 0, 0}), MarkValue(keyPath).second);
    EXPECT_EQ(0, m_view.IsMarkedDeleted(path, kSandbox));
}

TEST_F(DeletionMarks, OnlyABinaryValueWithBitZeroIsAMark)
{
    struct Case {
        DWORD type;
        std::vector<BYTE> bytes;
        int marked;
    };
    const Case cases[] = {
        {REG_BINARY, {1, 0, 0, 0}, 1}, {REG_BINARY, {3, 0, 0, 0}, 1}, {REG_BINARY, {2, 0, 0, 0}, 0},
        {REG_DWORD, {1, 0, 0, 0}, 0},  {REG_BINARY, {1}, 0},          {REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0}, 0},
    };
    const std::wstring path = m_root + L"\\v.txt";
    std::wstring keyPath;
    ASSERT_EQ(1, m_view.GetMarkKeyPath(path, keyPath, kSandbox));
    for (const auto& item : cases) {
        UniqueRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_USERS, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 key.put(), nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), L"Information", 0, item.type, item.bytes.data(),
                                                static_cast<DWORD>(item.bytes.size())));
        EXPECT_EQ(item.marked, m_view.IsMarkedDeleted(path, kSandbox))
            << "type " << item.type << " size " << item.bytes.size() << " first byte " << int(item.bytes[0]);
    }
}

TEST_F(DeletionMarks, UnmappableOrUnknownDrivesCanNeverBeMarked)
{
    for (const wchar_t* path : {L"Q:\\nothing\\here", L"C", L"\\\\server\\share\\x", L"C:x"}) {
        std::wstring keyPath;
        EXPECT_EQ(0, m_view.GetMarkKeyPath(path, keyPath, kSandbox)) << testing::PrintToString(std::wstring(path));
        EXPECT_EQ(0, m_view.SetDeletedMark(path, kSandbox));
        EXPECT_EQ(0, m_view.IsMarkedDeleted(path, kSandbox));
    }
}

TEST_F(DeletionMarks, MarkedChildrenLeaveTheNameMap)
{
    FileItemMap names;
    for (const wchar_t* name : {L"keep.txt", L"gone.txt", L"Other.txt"}) {
        names[name].path = m_root + L"\\" + name;
    }
    EXPECT_EQ(1, m_view.RemoveMarkedNames(m_root, names, kSandbox)) << "no key for the folder is no error";
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\gone.txt", kSandbox));
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\OTHER.TXT", kSandbox));  // registry names ignore case
    ASSERT_EQ(1, m_view.ClearDeletedMark(m_root + L"\\keep.txt", kSandbox));
    ASSERT_EQ(1, m_view.RemoveMarkedNames(m_root, names, kSandbox));
    ASSERT_EQ(1u, names.size());
    EXPECT_TRUE(names.contains(L"keep.txt"));
}

TEST_F(DeletionMarks, AMarkInTheNameCaseHidesOnlyThatNameAnotherCaseHidesEveryVariant)
{
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\exact.txt", kSandbox));
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\OTHER.TXT", kSandbox));
    FileItemMap names;
    for (const wchar_t* name : {L"Exact.txt", L"exact.txt", L"Other.txt", L"other.txt", L"kept.txt"}) {
        names[name].path = m_root + L"\\" + name;
    }
    ASSERT_EQ(1, m_view.RemoveMarkedNames(m_root, names, kSandbox));
    std::vector<std::wstring> left;
    for (const auto& [name, item] : names) {
        left.push_back(name);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"Exact.txt", L"kept.txt"}), left);
}

TEST_F(DeletionMarks, AFailedWriteIsReported)
{
    // A key created volatile cannot hold lasting sub-keys: the mark write fails and must say so.
    const std::wstring path = m_root + L"\\locked\\item.txt";
    std::wstring parentKey;
    ASSERT_EQ(1, m_view.GetMarkKeyPath(m_root + L"\\locked", parentKey, kSandbox));
    std::wstring grandParent = parentKey.substr(0, parentKey.find_last_of(L'\\'));
    UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_USERS, grandParent.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             key.put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_USERS, parentKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, key.put(), nullptr));
    EXPECT_EQ(0, m_view.SetDeletedMark(path, kSandbox));
    EXPECT_EQ(0, m_view.IsMarkedDeleted(path, kSandbox));
}

}  // namespace
}  // namespace veyra::test
