#include "core/shellutil/Associations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ScopedRegistryKey.h"

namespace veyra {
namespace {

using test::ScopedRegistryKey;

constexpr wchar_t kExtension[] = L".veyraassoc";
const std::wstring kFileExts = std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\") + kExtension;
const std::wstring kUserClass = std::wstring(L"Software\\Classes\\") + kExtension;
// HKEY_CLASSES_ROOT shows the machine's classes where the user has none.
const std::wstring kMachineClass = std::wstring(L"Software\\Classes\\") + kExtension;

enum Source : unsigned {
    UserChoice = 1 << 0,        // FileExts\.ext\UserChoice "Progid"
    LegacyProgid = 1 << 1,      // FileExts\.ext "Progid"
    UserClass = 1 << 2,         // HKCU Software\Classes\.ext default
    MachineClass = 1 << 3,      // HKCR .ext default
    OpenWith = 1 << 4,          // FileExts\.ext\OpenWithProgids, first value
    UserClassOpenWith = 1 << 5, // HKCU Software\Classes\.ext\OpenWithProgids, first value
    UserChoiceWrongType = 1 << 6,
};

// One registry string a case may seed: written when the case's sources include `source`.
struct Seed {
    unsigned source;
    ScopedRegistryKey* key;
    const wchar_t* relativeKey;
    const wchar_t* valueName;
    const wchar_t* text;
};

void SeedStrings(unsigned sources, std::initializer_list<Seed> seeds)
{
    for (const Seed& seed : seeds) {
        if (sources & seed.source) {
            EXPECT_TRUE(seed.key->SetString(seed.relativeKey, seed.valueName, seed.text)) << seed.valueName;
        }
    }
}

constexpr ShellPlatform kWindows10 = {true, false, false};
constexpr ShellPlatform kWindows8 = {true, true, false};
constexpr ShellPlatform kWindowsXp = {false, false, false};

TEST(Associations, ProgIdLookUpOrder)
{
    struct Case {
        const char* name;
        unsigned sources;
        ShellPlatform platform;
        const wchar_t* expected;  // empty: none found
    };
    constexpr unsigned kAll = UserChoice | LegacyProgid | UserClass | MachineClass | OpenWith | UserClassOpenWith;
    const Case cases[] = {
        {"the user's choice comes first", kAll, kWindows10, L"Choice.Prog"},
        {"10.0 goes on past an empty choice, skipping the legacy value", kAll & ~UserChoice, kWindows10, L"UserClass.Prog"},
        {"6.2 and 6.3 stop at an empty choice", kAll & ~UserChoice, kWindows8, L""},
        {"6.2 and 6.3 take the choice", kAll, kWindows8, L"Choice.Prog"},
        {"before Vista the legacy value, not the choice", kAll, kWindowsXp, L"Legacy.Prog"},
        {"before Vista without the legacy value", UserChoice | UserClass, kWindowsXp, L"UserClass.Prog"},
        {"the system's classes", MachineClass | OpenWith, kWindows10, L"Machine.Prog"},
        {"the first open-with program", OpenWith | UserClassOpenWith, kWindows10, L"OpenWith.Prog"},
        {"the user's classes' open-with program", UserClassOpenWith, kWindows10, L"ClassOpenWith.Prog"},
        {"a choice of the wrong type reads as none", UserChoiceWrongType | UserClass, kWindows10, L"UserClass.Prog"},
        {"nothing registered", 0, kWindows10, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedRegistryKey fileExts(HKEY_CURRENT_USER, kFileExts);
        ScopedRegistryKey userClass(HKEY_CURRENT_USER, kUserClass);
        ScopedRegistryKey machineClass(HKEY_LOCAL_MACHINE, kMachineClass);
        if (c.sources & UserChoiceWrongType) {
            ASSERT_TRUE(fileExts.SetDword(L"UserChoice", L"Progid", 7));
        }
        SeedStrings(c.sources, {
            {UserChoice, &fileExts, L"UserChoice", L"Progid", L"Choice.Prog"},
            {LegacyProgid, &fileExts, L"", L"Progid", L"Legacy.Prog"},
            {UserClass, &userClass, L"", L"", L"UserClass.Prog"},
            {MachineClass, &machineClass, L"", L"", L"Machine.Prog"},
            {OpenWith, &fileExts, L"OpenWithProgids", L"OpenWith.Prog", L""},
            {UserClassOpenWith, &userClass, L"OpenWithProgids", L"ClassOpenWith.Prog", L""},
        });
        std::wstring progId = L"left over";
        const int found = GetProgIdForExtension(kExtension, progId, c.platform);
        EXPECT_EQ(found, c.expected[0] ? 1 : 0);
        EXPECT_EQ(progId, c.expected);
    }
}

TEST(Associations, ProgIdRefusesNamesThatAreNoExtension)
{
    for (const wchar_t* extension : {static_cast<const wchar_t*>(nullptr), L"", L".txt\\..\\x"}) {
        std::wstring progId = L"left over";
        EXPECT_EQ(GetProgIdForExtension(extension, progId, kWindows10), 0);
        EXPECT_TRUE(progId.empty());
    }
}

TEST(Associations, DefaultIconLookUpOrderAndExpansion)
{
    wchar_t windowsFolder[MAX_PATH] = {};
    ASSERT_GT(GetSystemWindowsDirectoryW(windowsFolder, MAX_PATH), 0u);
    const std::wstring expandedShell = std::wstring(windowsFolder) + L"\\system32\\shell32.dll,3";

    enum : unsigned { User = 1, Machine = 2, SystemFiles = 4, UserEmpty = 8 };
    struct Case {
        const char* name;
        const wchar_t* progId;
        unsigned sources;
        std::wstring expected;
    };
    const Case cases[] = {
        {"the user's classes, expanded", L"Veyra.IconTest", User | Machine, expandedShell},
        {"the system's classes", L"Veyra.IconTest", Machine, L"D:\\icons\\machine.ico,0"},
        {"an empty user value falls through", L"Veyra.IconTest", UserEmpty | Machine, L"D:\\icons\\machine.ico,0"},
        {"system files share one icon", L"SysFile", SystemFiles, L"D:\\icons\\system.ico,1"},
        {"libraries share it too", L"dllfile", SystemFiles, L"D:\\icons\\system.ico,1"},
        {"other programs do not", L"Veyra.IconTest", SystemFiles, L""},
        {"nothing registered", L"Veyra.IconTest", 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring classKey = std::wstring(L"Software\\Classes\\") + c.progId;
        ScopedRegistryKey user(HKEY_CURRENT_USER, classKey);
        ScopedRegistryKey machine(HKEY_LOCAL_MACHINE, classKey);
        ScopedRegistryKey systemFiles(HKEY_LOCAL_MACHINE, L"Software\\Classes\\SystemFileAssociations\\system");
        SeedStrings(c.sources, {
            {User, &user, L"DefaultIcon", L"", L"%SystemRoot%\\system32\\shell32.dll,3"},
            {UserEmpty, &user, L"DefaultIcon", L"", L""},
            {Machine, &machine, L"DefaultIcon", L"", L"D:\\icons\\machine.ico,0"},
            {SystemFiles, &systemFiles, L"DefaultIcon", L"", L"D:\\icons\\system.ico,1"},
        });
        std::wstring location = L"left over";
        EXPECT_EQ(GetDefaultIconForProgId(c.progId, location), c.expected.empty() ? 0 : 1);
        EXPECT_EQ(location, c.expected);
    }
}

}  // namespace
}  // namespace veyra
