// The stand-in engine as the program sees it: its list of sandboxed processes (shared through the
// registry, pruned of ended processes), records that only it may free, ending only listed processes, and
// a clean-up that empties the sandbox copy and the deletion marks without touching anything else.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "base/UniqueResource.h"
#include "core/SandBoxHelper.h"
#include "suite/common/SandboxProcessList.h"
#include "suite/pellox/SandboxCleanup.h"
#include "tests/support/SleeperProcess.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TrayFixture.h"

namespace {

using veyra::CSandBoxHelper;
using veyra::UniqueHandle;
using veyra::test::BinFile;

using Sleeper = veyra::test::SleeperProcess;

bool Listed(DWORD processId)
{
    for (const auto& process : veyra::suite::ListSandboxProcesses()) {
        if (process.processId == processId) {
            return true;
        }
    }
    return false;
}

TEST(PelloxEngine, ListsAddedProcessesUntilTheyEnd)
{
    Sleeper first, second;
    ASSERT_TRUE(first.Running());
    ASSERT_TRUE(veyra::suite::AddSandboxProcess(first.Id(), 3, Sleeper::ProgramPath()));
    ASSERT_TRUE(veyra::suite::AddSandboxProcess(second.Id(), 0, Sleeper::ProgramPath()));
    CSandBoxHelper engine;
    ASSERT_EQ(engine.Bind(BinFile(L"pellox.dll").c_str()), 1);

    veyra::SbRuleItem* record = engine.EnumSbRuleItem(0);
    bool sawFirst = false;
    int live = 0;
    for (; record; record = engine.EnumSbRuleItem(1)) {
        ++live;
        if (record->processId == first.Id()) {
            sawFirst = true;
            EXPECT_EQ(record->ownerId, 3);
            EXPECT_STREQ(record->imagePath, Sleeper::ProgramPath().c_str());
        }
        EXPECT_EQ(engine.ReleaseSbRuleItem(record), 1);
    }
    EXPECT_TRUE(sawFirst);
    EXPECT_GE(live, 2);
    EXPECT_EQ(engine.CountLiveItems(), live);

    first.End();
    EXPECT_FALSE(Listed(first.Id())) << "an ended process must be pruned";
    EXPECT_TRUE(Listed(second.Id()));
    EXPECT_FALSE(veyra::suite::AddSandboxProcess(first.Id(), 0, Sleeper::ProgramPath())) << "an ended process cannot be added";
    EXPECT_FALSE(veyra::suite::AddSandboxProcess(second.Id(), 0, L"C:\\" + std::wstring(257, L'p')));
}

TEST(PelloxEngine, RecordsAreFreedOnceAndOnlyByTheEngine)
{
    Sleeper sleeper;
    ASSERT_TRUE(veyra::suite::AddSandboxProcess(sleeper.Id(), 0, Sleeper::ProgramPath()));
    CSandBoxHelper engine;
    ASSERT_EQ(engine.Bind(BinFile(L"pellox.dll").c_str()), 1);
    veyra::SbRuleItem* record = engine.EnumSbRuleItem(0);
    ASSERT_NE(record, nullptr);
    veyra::SbRuleItem copy;
    std::memcpy(&copy, record, sizeof(copy));
    EXPECT_EQ(engine.ReleaseSbRuleItem(record), 1);
    EXPECT_EQ(engine.ReleaseSbRuleItem(record), 0) << "a second release must be refused";
    EXPECT_EQ(engine.ReleaseSbRuleItem(&copy), 0) << "a record the engine did not hand out must be refused";
    while ((record = engine.EnumSbRuleItem(1)) != nullptr) {
        engine.ReleaseSbRuleItem(record);
    }
    EXPECT_EQ(engine.EnumSbRuleItem(1), nullptr);
}

TEST(PelloxEngine, EndsOnlyTheProcessItsRecordNames)
{
    Sleeper listed, unlisted;
    ASSERT_TRUE(veyra::suite::AddSandboxProcess(listed.Id(), 0, Sleeper::ProgramPath()));
    CSandBoxHelper engine;
    ASSERT_EQ(engine.Bind(BinFile(L"pellox.dll").c_str()), 1);

    veyra::SbRuleItem forged{};
    forged.processId = unlisted.Id();
    EXPECT_EQ(engine.TerminateProcessBySbRule(&forged), 0);
    EXPECT_TRUE(unlisted.Running()) << "a process outside the sandbox was ended";

    veyra::SbRuleItem record{};
    for (veyra::SbRuleItem* item = engine.EnumSbRuleItem(0); item; item = engine.EnumSbRuleItem(1)) {
        if (item->processId == listed.Id()) {
            std::memcpy(&record, item, sizeof(record));
        }
        engine.ReleaseSbRuleItem(item);
    }
    ASSERT_EQ(record.processId, listed.Id());
    veyra::SbRuleItem reused = record;
    std::memset(reused.engineData, 0x11, 8);  // the same id, another process's creation time
    EXPECT_EQ(engine.TerminateProcessBySbRule(&reused), 0);
    EXPECT_TRUE(listed.Running());
    EXPECT_EQ(engine.TerminateProcessBySbRule(&record), 1);
    EXPECT_FALSE(listed.Running());
    EXPECT_FALSE(Listed(listed.Id()));
    EXPECT_EQ(engine.TerminateProcessBySbRule(nullptr), 0);
}

bool KeyExists(HKEY root, const std::wstring& path)
{
    veyra::UniqueRegKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

TEST(PelloxEngine, CleanupEmptiesTheSandboxCopyAndTheMarksOnly)
{
    veyra::test::TempFolder state(L"pellox");
    veyra::test::ScopedEnvironmentVariable stateFolder(L"PELLOX_STATE_FOLDER", state.Path());
    const std::wstring shadow = L"D:\\KavoSANDBOX\\SHADOW";
    const std::wstring deep = shadow + L"\\" + std::wstring(120, L'a') + L"\\" + std::wstring(120, L'b');
    ASSERT_TRUE(veyra::test::CreateFolderTree(L"\\\\?\\" + deep));
    ASSERT_TRUE(veyra::test::WriteFileBytes(L"\\\\?\\" + deep + L"\\" + std::wstring(40, L'c') + L".txt", "deep"));
    ASSERT_TRUE(veyra::test::CreateFolderTree(shadow + L"\\Users"));
    ASSERT_TRUE(veyra::test::WriteFileBytes(shadow + L"\\Users\\note.txt", "sandboxed"));
    SetFileAttributesW((shadow + L"\\Users\\note.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    veyra::test::TempFolder real(L"real");
    ASSERT_TRUE(veyra::test::WriteFileBytes(real / L"keep.txt", "real"));
    // A link inside the copy to a real folder: removed as a link, its target left alone.
    const bool linked = CreateSymbolicLinkW((shadow + L"\\link").c_str(), real.Path().c_str(),
                                            SYMBOLIC_LINK_FLAG_DIRECTORY) != FALSE;

    veyra::UniqueRegKey root;
    ASSERT_EQ(RegCreateKeyExW(HKEY_USERS, L"KavoSandBox", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, root.put(), nullptr),
              ERROR_SUCCESS);
    const DWORD probe = 1;
    ASSERT_EQ(RegSetValueExW(root.get(), L"VeyraProbe", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&probe), 4),
              ERROR_SUCCESS);
    veyra::UniqueRegKey mark;
    ASSERT_EQ(RegCreateKeyExW(root.get(), L"Device\\VeyraTest\\Users\\gone.txt", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, mark.put(), nullptr),
              ERROR_SUCCESS);
    mark.reset();

    CSandBoxHelper engine;
    ASSERT_EQ(engine.Bind(BinFile(L"pellox.dll").c_str()), 1);
    EXPECT_EQ(engine.CleanupSandBox(), 1);

    EXPECT_EQ(GetFileAttributesW(shadow.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(L"D:\\KavoSANDBOX"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(veyra::test::ReadFileBytes(real / L"keep.txt"), "real") << (linked ? "through the link" : "");
    EXPECT_TRUE(KeyExists(HKEY_USERS, L"KavoSandBox"));
    EXPECT_FALSE(KeyExists(HKEY_USERS, L"KavoSandBox\\Device"));
    DWORD kept = 0, size = sizeof(kept);
    EXPECT_EQ(RegQueryValueExW(root.get(), L"VeyraProbe", nullptr, nullptr, reinterpret_cast<BYTE*>(&kept), &size),
              ERROR_SUCCESS);
    RegDeleteValueW(root.get(), L"VeyraProbe");
    veyra::test::RemoveTree(L"D:\\KavoSANDBOX");
}

}  // namespace
