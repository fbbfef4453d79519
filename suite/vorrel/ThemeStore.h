#pragma once
// The process's theme: named styles (font, colours, alignment) that layouts and controls name by their
// `theme` attribute. At load the library reads the suite's theme centre file (UTF-16 XML, root
// `themecenter`), whose `theme` rows map a program (`process`: its path below the suite folder, e.g.
// "/ipc/veyra.exe") to its theme `file`; theme files (UTF-8 XML, root `themes`, one `style` element per
// name) loaded through the theme object later add to or replace styles. Unknown names get the default
// style.
// Shared by every thread: all access is under one lock.

#include <windows.h>

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "suite/vorrel/XmlDocument.h"

namespace vorrel {

enum class TextAlign { Left, Centre, Right };

struct Style {
    std::wstring face = L"微软雅黑";
    int height = -12;  // logical units, as LOGFONTW
    int weight = FW_NORMAL;
    COLORREF text = RGB(0x33, 0x33, 0x33);
    std::optional<COLORREF> back;
    std::optional<COLORREF> border;
    TextAlign align = TextAlign::Left;
};

class ThemeStore {
public:
    static ThemeStore& Instance();

    // At load: the theme centre file's path and bytes (read by DllMain, parsed on first use).
    void SetThemeCenter(std::wstring path, std::optional<std::string> bytes);
    [[nodiscard]] std::wstring ThemeCenterPath();

    // Adds the styles of a theme file; false (and nothing changed) when it cannot be read or parsed.
    bool LoadThemeFile(const std::wstring& path);
    [[nodiscard]] std::wstring LastThemeFile();

    [[nodiscard]] Style Find(std::wstring_view name);
    [[nodiscard]] bool Has(std::wstring_view name);

    // The theme file that a theme centre document names for `programKey` (compared ignoring case).
    static std::optional<std::wstring> ThemeFileFor(const XmlElement& centre, std::wstring_view programKey);
    // The key of the running program: its path below `suiteFolder`, with forward slashes and a
    // leading one; "" when it lies outside.
    static std::wstring ProgramKey(const std::wstring& programPath, const std::wstring& suiteFolder);

    // Clears everything (tests).
    void ResetForTest();

private:
    void ApplyThemeCentreLocked();
    bool AddStylesLocked(const XmlElement& theme);

    std::mutex m_lock;
    std::wstring m_centrePath;
    std::optional<std::string> m_centreBytes;
    bool m_centreApplied = false;
    std::wstring m_lastThemeFile;
    std::map<std::wstring, Style, std::less<>> m_styles;
};

// "#RRGGBB" into a COLORREF.
std::optional<COLORREF> ParseColour(std::wstring_view text) noexcept;

}  // namespace vorrel
