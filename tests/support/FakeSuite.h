#pragma once
// A fake installation of the security suite: its folder layout, whatever stand-ins and theme files the
// build has produced, and the App Paths entry that points the programs at it (in the registry view of
// this build's bitness, the one its programs read: Wow6432Node for the 32-bit build). The entry's previous value comes back when the object goes; the folder is
// removed unless it was given by the caller, in which case it stays laid out and registered.

#include <memory>
#include <string>

#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/TempFolder.h"

namespace veyra::test {

enum class SuitePart : unsigned {
    None = 0,
    Engine = 1 << 0,       // ipc\pellox.dll
    IpcService = 1 << 1,   // ipc\ipcservice.dll
    Tray = 1 << 2,         // ostrel\KavoTray.exe
    SkinLibrary = 1 << 3,  // vorrel.dll
    SkinProxy = 1 << 4,    // Utils\VorrelUIProxy.dll
    ThemeFiles = 1 << 5,   // the suite's theme files and Common skin files, and the sandbox theme files
    Program = 1 << 6,      // ipc\veyra.exe
    All = 0x7F,
};
constexpr SuitePart operator|(SuitePart a, SuitePart b)
{
    return static_cast<SuitePart>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr SuitePart operator&(SuitePart a, SuitePart b)
{
    return static_cast<SuitePart>(static_cast<unsigned>(a) & static_cast<unsigned>(b));
}
constexpr SuitePart operator~(SuitePart a)
{
    return static_cast<SuitePart>(~static_cast<unsigned>(a) & static_cast<unsigned>(SuitePart::All));
}

enum class SuiteRegistration { Register, Leave };

class FakeSuite {
public:
    // Lays out a suite in a new temporary folder.
    explicit FakeSuite(SuitePart parts = SuitePart::All, SuiteRegistration registration = SuiteRegistration::Register);
    // Lays out a suite in `root` (kept afterwards), as the demo and the fixture script do.
    FakeSuite(const std::wstring& root, SuitePart parts, SuiteRegistration registration);
    ~FakeSuite();

    [[nodiscard]] const std::wstring& Root() const noexcept { return m_root; }
    // Root() + "\\" + relative.
    [[nodiscard]] std::wstring operator/(const std::wstring& relative) const { return m_root + L"\\" + relative; }
    [[nodiscard]] std::wstring ThemeFolder() const { return m_root + L"\\Config\\newui\\themes\\default"; }

    // Writes the App Paths value "Path" (the suite folder).
    bool Register();

private:
    void LayOut(SuitePart parts);

    std::unique_ptr<TempFolder> m_owned;
    std::wstring m_root;
    ScopedRegistryValue m_appPath;
};

// The registry key of the suite's App Paths entry (HKLM, this build's view).
extern const wchar_t kSuiteAppPathKey[];

}  // namespace veyra::test
