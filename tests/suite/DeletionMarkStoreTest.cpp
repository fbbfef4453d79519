// The deletion marks' store: a save and a restore give back the same subtree, a restore never
// overwrites marks that are still in the registry, a malformed store changes nothing, and the watcher
// saves every change on its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "base/UniqueResource.h"
#include "suite/pellox/DeletionMarkStore.h"
#include "suite/pellox/SandboxCleanup.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TrayFixture.h"

namespace {

using veyra::UniqueRegKey;
using veyra::test::ScopedEnvironmentVariable;
using veyra::test::TempFolder;

constexpr wchar_t kMark[] = L"KavoSandBox\\Device\\HarddiskVolume9\\Users\\gone.txt";

// A fresh store folder and an empty mark subtree for each test.
class DeletionMarkStoreTest : public testing::Test {
protected:
    DeletionMarkStoreTest() : m_state(L"marks"), m_folder(L"PELLOX_STATE_FOLDER", m_state.Path())
    {
        veyra::suite::RemoveDeletionMarks();
    }
    ~DeletionMarkStoreTest() override { veyra::suite::RemoveDeletionMarks(); }

    static bool SetMark(const wchar_t* path)
    {
        UniqueRegKey key;
        const DWORD information = 1;
        return RegCreateKeyExW(HKEY_USERS, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) ==
                   ERROR_SUCCESS &&
               RegSetValueExW(key.get(), L"Information", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&information),
                              sizeof(information)) == ERROR_SUCCESS;
    }
    static DWORD MarkInformation(const wchar_t* path)
    {
        DWORD value = 0, size = sizeof(value);
        if (RegGetValueW(HKEY_USERS, path, L"Information", RRF_RT_REG_BINARY, nullptr, &value, &size) != ERROR_SUCCESS) {
            return 0xFFFFFFFF;
        }
        return value;
    }
    [[nodiscard]] std::wstring StorePath() const { return m_state / L"DeletionMarks.dat"; }

    TempFolder m_state;
    ScopedEnvironmentVariable m_folder;
};

TEST_F(DeletionMarkStoreTest, SavedMarksComeBackIntoAnEmptySubtree)
{
    ASSERT_EQ(veyra::suite::DeletionMarkStorePath(), StorePath());
    ASSERT_TRUE(SetMark(kMark));
    ASSERT_TRUE(SetMark(L"KavoSandBox\\Device\\HarddiskVolume9\\Users\\名字.txt"));
    ASSERT_TRUE(veyra::suite::SaveDeletionMarks());
    ASSERT_TRUE(veyra::suite::RemoveDeletionMarks());
    EXPECT_EQ(MarkInformation(kMark), 0xFFFFFFFF);

    EXPECT_TRUE(veyra::suite::RestoreDeletionMarks());
    EXPECT_EQ(MarkInformation(kMark), 1u);
    EXPECT_EQ(MarkInformation(L"KavoSandBox\\Device\\HarddiskVolume9\\Users\\名字.txt"), 1u);
}

TEST_F(DeletionMarkStoreTest, MarksStillInTheRegistryAreNotReplaced)
{
    ASSERT_TRUE(SetMark(kMark));
    ASSERT_TRUE(veyra::suite::SaveDeletionMarks());
    ASSERT_TRUE(veyra::suite::RemoveDeletionMarks());
    const wchar_t* newer = L"KavoSandBox\\Device\\HarddiskVolume9\\newer.txt";
    ASSERT_TRUE(SetMark(newer));
    EXPECT_TRUE(veyra::suite::RestoreDeletionMarks());
    EXPECT_EQ(MarkInformation(kMark), 0xFFFFFFFF) << "an older store must not bring back removed marks";
    EXPECT_EQ(MarkInformation(newer), 1u);
}

TEST_F(DeletionMarkStoreTest, AMalformedStoreChangesNothing)
{
    ASSERT_TRUE(SetMark(kMark));
    ASSERT_TRUE(veyra::suite::SaveDeletionMarks());
    const std::string good = veyra::test::ReadFileBytes(StorePath());
    ASSERT_GT(good.size(), 12u);
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::string badMagic = good;
    badMagic[0] = 'X';
    std::string badKind = good;
    badKind[12] = 7;
    std::string hugeLength = good;
    std::memset(hugeLength.data() + 16, 0xFF, 4);
    std::string moreRecords = good;
    moreRecords[8] = static_cast<char>(moreRecords[8] + 1);
    const Case cases[] = {
        {"empty file", ""},
        {"bad magic", badMagic},
        {"truncated", good.substr(0, good.size() - 3)},
        {"trailing bytes", good + "junk"},
        {"unknown record kind", badKind},
        {"length beyond the file", hugeLength},
        {"more records than stored", moreRecords},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(veyra::suite::RemoveDeletionMarks());
        ASSERT_TRUE(veyra::test::WriteFileBytes(StorePath(), c.bytes));
        EXPECT_FALSE(veyra::suite::RestoreDeletionMarks());
        UniqueRegKey device;
        EXPECT_NE(RegOpenKeyExW(HKEY_USERS, L"KavoSandBox\\Device", 0, KEY_READ, device.put()), ERROR_SUCCESS)
            << "a malformed store was partly applied";
    }
}

TEST_F(DeletionMarkStoreTest, TheWatcherSavesEveryChange)
{
    ASSERT_TRUE(veyra::suite::StartDeletionMarkWatcher());
    ASSERT_TRUE(SetMark(kMark));
    const std::string name = "gone.txt";
    std::wstring wide(name.begin(), name.end());
    const std::string needle(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (veyra::test::ReadFileBytes(StorePath()).find(needle) == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_NE(veyra::test::ReadFileBytes(StorePath()).find(needle), std::string::npos)
        << "the new mark did not reach the store";
}

}  // namespace
