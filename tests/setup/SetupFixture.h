#pragma once
// A suite installation for the installer's tests, laid out file by file: the engine library and tray
// program as plain files, the suite's own ipc\veyra.exe a version fixture of the test's choice. Also
// reads the installer's payloads and keeps the user's desktop shortcut as it was.

#include <optional>
#include <string>

#include "tests/support/FakeSuite.h"

namespace veyra::test {

// Version fixtures built beside the tests (most significant part of the file version).
enum class VersionFixture { V0004FFFF, V00050000, V00050001, None };
std::wstring VersionFixturePath(VersionFixture version);

struct SuiteLayout {
    bool engine = true;
    bool tray = true;
    std::optional<VersionFixture> program = VersionFixture::V0004FFFF;  // nullopt: no ipc\veyra.exe
    std::optional<VersionFixture> backup = std::nullopt;                // ipc\veyra.bak
};

class SetupSuite {
public:
    explicit SetupSuite(const SuiteLayout& layout);
    ~SetupSuite();

    [[nodiscard]] std::wstring operator/(const std::wstring& relative) const { return m_suite / relative; }
    [[nodiscard]] std::wstring Program() const { return m_suite / L"ipc\\veyra.exe"; }
    [[nodiscard]] std::wstring Backup() const { return m_suite / L"ipc\\veyra.bak"; }
    [[nodiscard]] std::wstring ThemeFile(const std::wstring& name) const { return m_suite.ThemeFolder() + L"\\" + name; }
    // Files left in ipc\ and the theme folders that no step should leave (temporary and kept copies).
    [[nodiscard]] std::wstring Leftovers() const;

private:
    FakeSuite m_suite;
    std::string m_savedShortcut;
    bool m_hadShortcut = false;
};

// The installer built beside the tests.
std::wstring InstallerPath();
// The bytes of the installer's resource `id` of type "SANDBOX".
std::string Payload(int id);
// The user's desktop shortcut the installer makes.
std::wstring ShortcutPath();
// The target of a shortcut file; empty when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& shortcut);

}  // namespace veyra::test
