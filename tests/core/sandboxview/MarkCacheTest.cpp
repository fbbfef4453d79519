// The listings read marks through a process-wide cache: these cases change marks in every way the
// desktop meets (this process's deletes and restores, another process, the engine's clean-up deleting
// the whole mark tree, a worker marking while listings run) and check that no listing shows a stale mark.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "SandBoxViewFixture.h"
#include "base/UniqueResource.h"
#include "core/sandboxview/MarkKeyWatches.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TreeSnapshot.h"

namespace veyra::test {
namespace {

using MarkCache = SandBoxViewFixture;
using NameList = std::vector<std::wstring>;

constexpr wchar_t kTestMarkRoot[] = L"KavoSandBox\\00004711";
constexpr DWORD kWaitMs = 10000;
constexpr int kTestSandbox = 4711;  // the fixture's sandbox number

// Fires once anything below HKEY_USERS\KavoSandBox changes after it was made: how the test knows that a
// change made elsewhere has been announced, before it lists once.
class TreeChange {
public:
    TreeChange() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        UniqueRegKey created;
        RegCreateKeyExW(HKEY_USERS, L"KavoSandBox", 0, nullptr, 0, KEY_READ, nullptr, created.put(), nullptr);
        m_armed = RegOpenKeyExW(HKEY_USERS, L"KavoSandBox", 0, KEY_NOTIFY, m_key.put()) == ERROR_SUCCESS &&
                  RegNotifyChangeKeyValue(m_key.get(), TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                          m_event.get(), TRUE) == ERROR_SUCCESS;
    }

    [[nodiscard]] bool Announced() const
    {
        return m_armed && WaitForSingleObject(m_event.get(), kWaitMs) == WAIT_OBJECT_0;
    }

private:
    UniqueHandle m_event;
    UniqueRegKey m_key;
    bool m_armed = false;
};

std::wstring MarkKey(const CSandBoxFileSystem& view, const std::wstring& path)
{
    std::wstring keyPath;
    EXPECT_EQ(1, view.GetMarkKeyPath(path, keyPath, kTestSandbox));
    return keyPath;
}

// Writes "Information" straight into the registry, past the view: only a change notification tells.
void WriteMarkValue(const std::wstring& keyPath, DWORD value)
{
    UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_USERS, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.get(), L"Information", 0, REG_BINARY,
                                            reinterpret_cast<const BYTE*>(&value), sizeof(value)));
}

void DeleteTestMarkRoot()
{
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_USERS, kTestMarkRoot));
    RegDeleteKeyW(HKEY_USERS, kTestMarkRoot);  // where the tree call leaves the key itself
    UniqueRegKey gone;
    ASSERT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_USERS, kTestMarkRoot, 0, KEY_READ, gone.put()));
}

void MakeTestMarkRoot()
{
    UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_USERS, kTestMarkRoot, 0, nullptr, 0, KEY_READ, nullptr, key.put(), nullptr));
}

TEST_F(MarkCache, ThisProcessMarksShowInTheNextListing)
{
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) {
        MakeReal(m_root + L"\\" + name);
    }
    RealTreeGuard guard(m_root);
    ASSERT_EQ((NameList{L"a.txt", L"b.txt", L"c.txt"}), Names(m_root));  // the folder is now cached

    enum class Step { Set, Clear };
    struct Case {
        Step step;
        const wchar_t* name;
        NameList listed;
    };
    // Set and cleared again within the same second too: the key's time stamp may not move in between.
    const Case cases[] = {
        {Step::Set, L"a.txt", {L"b.txt", L"c.txt"}},   {Step::Set, L"b.txt", {L"c.txt"}},
        {Step::Clear, L"a.txt", {L"a.txt", L"c.txt"}}, {Step::Set, L"a.txt", {L"c.txt"}},
        {Step::Clear, L"a.txt", {L"a.txt", L"c.txt"}}, {Step::Clear, L"b.txt", {L"a.txt", L"b.txt", L"c.txt"}},
        {Step::Set, L"C.TXT", {L"a.txt", L"b.txt"}},   {Step::Clear, L"c.txt", {L"a.txt", L"b.txt", L"c.txt"}},
    };
    for (const auto& item : cases) {
        const std::wstring path = m_root + L"\\" + item.name;
        SCOPED_TRACE(testing::PrintToString(std::wstring(item.step == Step::Set ? L"set " : L"clear ") + item.name));
        ASSERT_EQ(1, item.step == Step::Set ? m_view.SetDeletedMark(path, kSandbox)
                                            : m_view.ClearDeletedMark(path, kSandbox));
        EXPECT_EQ(item.listed, Names(m_root));
        EXPECT_EQ(item.step == Step::Set ? 1 : 0, m_view.IsMarkedDeleted(path, kSandbox));
    }
    EXPECT_TRUE(guard.Unchanged());
}

TEST_F(MarkCache, PathTestsAnsweredFromAListedFolderKeepTheirMeaning)
{
    for (const wchar_t* name : {L"gone.txt", L"two.txt", L"kept.txt", L"sub\\deep.txt"}) {
        MakeReal(m_root + L"\\" + name);
    }
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\gone.txt", kSandbox));
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\sub\\deep.txt", kSandbox));
    WriteMarkValue(MarkKey(m_view, m_root + L"\\two.txt"), 2);

    struct Case {
        const wchar_t* name;
        int marked;
    };
    const Case cases[] = {{L"gone.txt", 1}, {L"GONE.TXT", 1},      {L"two.txt", 0},     {L"kept.txt", 0},
                          {L"sub", 0},      {L"sub\\deep.txt", 1}, {L"absent.txt", 0}, {L"sub\\absent.txt", 0}};
    // First read from the registry, then answered by the listed folders.
    for (const bool listed : {false, true}) {
        if (listed) {
            ASSERT_EQ((NameList{L"kept.txt", L"sub", L"two.txt"}), Names(m_root));
            ASSERT_EQ((NameList{}), Names(m_root + L"\\sub"));
        }
        for (const auto& item : cases) {
            const std::wstring path = m_root + L"\\" + item.name;
            EXPECT_EQ(item.marked, m_view.IsMarkedDeleted(path, kSandbox))
                << testing::PrintToString(path) << (listed ? " listed" : " not listed");
        }
    }
}

TEST_F(MarkCache, AnotherProcessMarkShowsWithinOneNotification)
{
    const std::wstring writer = BinFile(L"veyra_test_mark_writer.exe");
    ASSERT_TRUE(FileExists(writer));
    MakeReal(m_root + L"\\x.txt");
    MakeReal(m_root + L"\\y.txt");
    MakeTestMarkRoot();
    RealTreeGuard guard(m_root);
    // Cached while the folder has no mark key at all: the first mark makes the key.
    ASSERT_EQ((NameList{L"x.txt", L"y.txt"}), Names(m_root));

    struct Case {
        DWORD value;
        NameList listed;
    };
    const Case cases[] = {{1, {L"y.txt"}}, {0, {L"x.txt", L"y.txt"}}, {1, {L"y.txt"}}};
    for (const auto& item : cases) {
        SCOPED_TRACE(item.value);
        TreeChange change;
        ChildProcess child(writer, L"\"" + MarkKey(m_view, m_root + L"\\x.txt") + L"\" " + std::to_wstring(item.value));
        ASSERT_TRUE(child.Started());
        ASSERT_EQ(std::optional<DWORD>(0), child.WaitForExit(kWaitMs));
        ASSERT_TRUE(change.Announced());
        EXPECT_EQ(item.listed, Names(m_root));
    }
    EXPECT_TRUE(guard.Unchanged());
}

TEST_F(MarkCache, MarkRootDeletedAndMadeAgain)
{
    for (const wchar_t* name : {L"x.txt", L"y.txt", L"z.txt"}) {
        MakeReal(m_root + L"\\" + name);
    }
    RealTreeGuard guard(m_root);
    ASSERT_EQ(1, m_view.SetDeletedMark(m_root + L"\\x.txt", kSandbox));
    ASSERT_EQ((NameList{L"y.txt", L"z.txt"}), Names(m_root));

    {
        SCOPED_TRACE("the clean-up deletes the whole mark tree");
        TreeChange change;
        DeleteTestMarkRoot();
        ASSERT_TRUE(change.Announced());
        EXPECT_EQ((NameList{L"x.txt", L"y.txt", L"z.txt"}), Names(m_root));
    }
    {
        SCOPED_TRACE("a mark in the tree made again");
        TreeChange change;
        WriteMarkValue(MarkKey(m_view, m_root + L"\\y.txt"), 1);
        ASSERT_TRUE(change.Announced());
        EXPECT_EQ((NameList{L"x.txt", L"z.txt"}), Names(m_root));
    }
    {
        // An empty root is deleted without a word on its own watch: its parent tells.
        SCOPED_TRACE("an empty root deleted, then made again with a mark");
        DeleteTestMarkRoot();
        MakeTestMarkRoot();
        EXPECT_EQ((NameList{L"x.txt", L"y.txt", L"z.txt"}), Names(m_root));
        TreeChange deleted;
        DeleteTestMarkRoot();
        ASSERT_TRUE(deleted.Announced());
        TreeChange made;
        WriteMarkValue(MarkKey(m_view, m_root + L"\\z.txt"), 1);
        ASSERT_TRUE(made.Announced());
        EXPECT_EQ((NameList{L"x.txt", L"y.txt"}), Names(m_root));
    }
    EXPECT_TRUE(guard.Unchanged());
}

TEST_F(MarkCache, AFolderWithMoreMarkKeysThanCanBeWatchedStaysRight)
{
    MakeReal(m_root + L"\\a.txt");
    MakeReal(m_root + L"\\b.txt");
    // Marks of entries that are gone from the disk: more keys than the process watches.
    UniqueRegKey folder;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_USERS, MarkKey(m_view, m_root).c_str(), 0, nullptr, 0,
                                             KEY_CREATE_SUB_KEY, nullptr, folder.put(), nullptr));
    const DWORD marked = 1;
    for (long index = 0; index <= sandboxview::kMaxWatchedKeys; ++index) {
        const std::wstring name = L"gone-" + std::to_wstring(index);
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(folder.get(), name.c_str(), L"Information", REG_BINARY, &marked,
                                                 sizeof(marked)));
    }
    RealTreeGuard guard(m_root);
    ASSERT_EQ((NameList{L"a.txt", L"b.txt"}), Names(m_root));
    struct Case {
        const wchar_t* name;
        int set;
        NameList listed;
    };
    const Case cases[] = {{L"a.txt", 1, {L"b.txt"}}, {L"b.txt", 1, {}}, {L"a.txt", 0, {L"a.txt"}}};
    for (const auto& item : cases) {
        const std::wstring path = m_root + L"\\" + item.name;
        ASSERT_EQ(1, item.set ? m_view.SetDeletedMark(path, kSandbox) : m_view.ClearDeletedMark(path, kSandbox));
        EXPECT_EQ(item.listed, Names(m_root)) << testing::PrintToString(std::wstring(item.name)) << " " << item.set;
    }
    EXPECT_EQ(1, m_view.IsMarkedDeleted(m_root + L"\\gone-7", kSandbox));
    EXPECT_TRUE(guard.Unchanged());
}

TEST_F(MarkCache, TwoThreadsListWhileAThirdMarks)
{
    constexpr int kFiles = 40;
    constexpr int kMarked = 10;  // the marker works on the first ten only
    constexpr int kRounds = 30;
    std::vector<std::wstring> names;
    for (int index = 0; index < kFiles; ++index) {
        wchar_t name[16];
        std::swprintf(name, 16, L"f%02d.txt", index);
        names.push_back(name);
        MakeReal(m_root + L"\\" + name);
    }
    RealTreeGuard guard(m_root);

    std::atomic<bool> marking{true};
    std::atomic<int> wrongListings{0};
    std::atomic<int> listings{0};
    std::atomic<int> failedMarks{0};
    const auto lister = [&] {
        // Whatever a listing sees of the marker's names, the others are always there, and nothing else is.
        do {
            std::vector<FileItemRecord> items;
            if (m_view.ListFolder(m_root, items, kSandbox) != 1 || items.size() < kFiles - kMarked ||
                items.size() > kFiles || m_view.IsMarkedDeleted(m_root + L"\\" + names[kFiles - 1], kSandbox) != 0) {
                ++wrongListings;
            }
            for (int index = kMarked; index < kFiles; ++index) {
                if (!Find(items, names[index])) {
                    ++wrongListings;
                }
            }
            ++listings;
        } while (marking);
    };
    std::thread first(lister);
    std::thread second(lister);
    std::thread marker([&] {
        for (int round = 0; round < kRounds; ++round) {
            for (int index = 0; index < kMarked; ++index) {
                const std::wstring path = m_root + L"\\" + names[index];
                const bool set = (round + index) % 2 == 0;
                if ((set ? m_view.SetDeletedMark(path, kSandbox) : m_view.ClearDeletedMark(path, kSandbox)) != 1) {
                    ++failedMarks;
                }
            }
        }
        marking = false;
    });
    marker.join();
    first.join();
    second.join();
    EXPECT_EQ(0, failedMarks);
    EXPECT_EQ(0, wrongListings);
    EXPECT_GE(listings, 2);

    // The last round (odd) left the names of odd index marked; every thread sees exactly that now.
    NameList expected;
    for (int index = 0; index < kFiles; ++index) {
        if (index >= kMarked || index % 2 == 0) {
            expected.push_back(names[index]);
        }
    }
    NameList seen[2];
    std::thread check([&] { seen[0] = Names(m_root); });
    check.join();
    seen[1] = Names(m_root);
    EXPECT_EQ(expected, seen[0]);
    EXPECT_EQ(expected, seen[1]);
    EXPECT_TRUE(guard.Unchanged());
}

}  // namespace
}  // namespace veyra::test
