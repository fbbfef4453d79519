#include "core/clipboard/ClipboardStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veyra {
namespace {

constexpr ClipboardOwnerKey kMainDesktop = 0;
// Another desktop, under a key far from the main one.
constexpr ClipboardOwnerKey kOtherDesktop = 0x12340008;

enum class Action { Set, Get, Contains, Remove };

struct Step {
    Action action;
    ClipboardOwnerKey key;
    int operation;                    // Set: the operation given; Get: the operation expected
    std::vector<std::wstring> paths;  // Set: the paths given; Get: the paths expected
    int result;                       // expected result (Remove: ignored)
};

struct Sequence {
    const char* name;
    std::vector<Step> steps;
};

const std::vector<std::wstring> kFolderSelection = {L"C:\\Docs\\a.txt", L"C:\\Docs\\b.txt", L"C:\\Docs\\Sub"};
const std::vector<std::wstring> kDesktopSelection = {L"D:\\Desktop\\c.doc"};

const Sequence kSequences[] = {
    {"copy in one window, paste in another of the same desktop; a second paste finds nothing",
     {{Action::Set, kMainDesktop, kClipboardCopy, kFolderSelection, 1},
      {Action::Contains, kMainDesktop, 0, {}, 1},
      {Action::Get, kMainDesktop, kClipboardCopy, kFolderSelection, 1},
      {Action::Get, kMainDesktop, kClipboardCopy, kFolderSelection, 1},  // Get alone leaves the entry
      {Action::Remove, kMainDesktop, 0, {}, 0},
      {Action::Contains, kMainDesktop, 0, {}, 0},
      {Action::Get, kMainDesktop, 0, {}, 0}}},
    {"a copy after a cut replaces the cut",
     {{Action::Set, kMainDesktop, kClipboardCut, kFolderSelection, 1},
      {Action::Set, kMainDesktop, kClipboardCopy, kDesktopSelection, 1},
      {Action::Get, kMainDesktop, kClipboardCopy, kDesktopSelection, 1}}},
    {"an empty list keeps the entry that was there",
     {{Action::Set, kMainDesktop, kClipboardCut, kFolderSelection, 1},
      {Action::Set, kMainDesktop, kClipboardCopy, {}, 0},
      {Action::Get, kMainDesktop, kClipboardCut, kFolderSelection, 1}}},
    {"an empty list on an empty store adds nothing",
     {{Action::Set, kOtherDesktop, kClipboardCopy, {}, 0},
      {Action::Contains, kOtherDesktop, 0, {}, 0}}},
    {"two desktops do not see each other's entries",
     {{Action::Set, kMainDesktop, kClipboardCopy, kFolderSelection, 1},
      {Action::Contains, kOtherDesktop, 0, {}, 0},
      {Action::Get, kOtherDesktop, 0, {}, 0},
      {Action::Set, kOtherDesktop, kClipboardCut, kDesktopSelection, 1},
      {Action::Remove, kMainDesktop, 0, {}, 0},
      {Action::Contains, kMainDesktop, 0, {}, 0},
      {Action::Get, kOtherDesktop, kClipboardCut, kDesktopSelection, 1}}},
    {"removing a key without an entry changes nothing",
     {{Action::Set, kOtherDesktop, kClipboardCut, kDesktopSelection, 1},
      {Action::Remove, kMainDesktop, 0, {}, 0},
      {Action::Get, kOtherDesktop, kClipboardCut, kDesktopSelection, 1}}},
};

TEST(ClipboardStore, SequencesOfSetGetContainsRemove)
{
    for (const Sequence& sequence : kSequences) {
        CClipboardStore store;
        for (std::size_t index = 0; index < sequence.steps.size(); ++index) {
            const Step& step = sequence.steps[index];
            SCOPED_TRACE(testing::Message() << sequence.name << ", step " << index + 1);
            switch (step.action) {
            case Action::Set:
                EXPECT_EQ(store.Set(step.key, step.operation, step.paths), step.result);
                break;
            case Action::Get: {
                int operation = -1;
                std::vector<std::wstring> paths = {L"left over"};
                EXPECT_EQ(store.Get(step.key, operation, paths), step.result);
                if (step.result == 1) {
                    EXPECT_EQ(operation, step.operation);
                    EXPECT_EQ(paths, step.paths);
                }
                break;
            }
            case Action::Contains:
                EXPECT_EQ(store.Contains(step.key), step.result);
                break;
            case Action::Remove:
                store.Remove(step.key);
                break;
            }
        }
    }
}

TEST(ClipboardStore, EntryIsACopyOfTheCallersList)
{
    CClipboardStore store;
    std::vector<std::wstring> selection = kFolderSelection;
    ASSERT_EQ(store.Set(kMainDesktop, kClipboardCopy, selection), 1);
    selection.clear();

    int operation = -1;
    std::vector<std::wstring> paths;
    ASSERT_EQ(store.Get(kMainDesktop, operation, paths), 1);
    EXPECT_EQ(paths, kFolderSelection);
}

}  // namespace
}  // namespace veyra
