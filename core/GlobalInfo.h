#pragma once
// Process-wide facts about the system: its folder, the real Windows version and whether it is 64-bit.
// One object (g_globalInfo), zero until CGlobalInfo::Init fills it on the UI thread during start-up;
// read-only afterwards, from any thread.

#include <windows.h>

#include "core/OSVersionCheck.h"

namespace veyra {

class CGlobalInfo {
public:
    CGlobalInfo() noexcept = default;
    virtual ~CGlobalInfo() = default;
    CGlobalInfo(const CGlobalInfo&) = delete;
    CGlobalInfo& operator=(const CGlobalInfo&) = delete;

    // Fills the object from the version detector (the process-wide one unless another is given).
    void Init(COSVersionCheck& detector = COSVersionCheck::GetInstance()) noexcept;

    [[nodiscard]] bool IsVistaOrLater() const noexcept { return m_majorVersion > 5; }
    // 6.2 and 6.3 only: 10.0 has minor version 0.
    [[nodiscard]] bool IsWin8OrLater() const noexcept { return m_majorVersion >= 6 && m_minorVersion >= 2; }
    [[nodiscard]] bool Is64BitSystem() const noexcept { return m_is64BitSystem != 0; }
    [[nodiscard]] const wchar_t* SystemFolder() const noexcept { return m_systemFolder; }
    [[nodiscard]] int MajorVersion() const noexcept { return m_majorVersion; }
    [[nodiscard]] int MinorVersion() const noexcept { return m_minorVersion; }

private:
    wchar_t m_systemFolder[MAX_PATH] = {};
    int m_majorVersion = 0;
    int m_minorVersion = 0;
    int m_is64BitSystem = 0;
};

extern CGlobalInfo g_globalInfo;

}  // namespace veyra
