#include "ThemeStore.h"

#include <shlwapi.h>

#include "suite/vorrel/SkinFiles.h"

namespace vorrel {

ThemeStore& ThemeStore::Instance()
{
    static ThemeStore* store = new ThemeStore;  // lives until the process ends: windows paint to the last
    return *store;
}

void ThemeStore::SetThemeCenter(std::wstring path, std::optional<std::string> bytes)
{
    std::lock_guard guard(m_lock);
    m_centrePath = std::move(path);
    m_centreBytes = std::move(bytes);
    m_centreApplied = false;
}

std::wstring ThemeStore::ThemeCenterPath()
{
    std::lock_guard guard(m_lock);
    return m_centrePath;
}

std::wstring ThemeStore::LastThemeFile()
{
    std::lock_guard guard(m_lock);
    return m_lastThemeFile;
}

std::optional<std::wstring> ThemeStore::ThemeFileFor(const XmlElement& centre, std::wstring_view programKey)
{
    if (programKey.empty() || centre.name != L"themecenter") {
        return std::nullopt;
    }
    for (const auto& row : centre.children) {
        const std::wstring* process = row->Attribute(L"process");
        const std::wstring* file = row->Attribute(L"file");
        if (row->name == L"theme" && process && file && !file->empty() &&
            CompareStringOrdinal(process->c_str(), -1, std::wstring(programKey).c_str(), -1, TRUE) == CSTR_EQUAL) {
            return *file;
        }
    }
    return std::nullopt;
}

std::wstring ThemeStore::ProgramKey(const std::wstring& programPath, const std::wstring& suiteFolder)
{
    if (suiteFolder.empty() || programPath.size() <= suiteFolder.size() + 1 ||
        programPath[suiteFolder.size()] != L'\\' ||
        CompareStringOrdinal(programPath.c_str(), static_cast<int>(suiteFolder.size()), suiteFolder.c_str(),
                             static_cast<int>(suiteFolder.size()), TRUE) != CSTR_EQUAL) {
        return {};
    }
    std::wstring key = programPath.substr(suiteFolder.size());
    for (wchar_t& c : key) {
        if (c == L'\\') {
            c = L'/';
        }
    }
    return key;
}

void ThemeStore::ApplyThemeCentreLocked()
{
    if (m_centreApplied) {
        return;
    }
    m_centreApplied = true;
    if (!m_centreBytes) {
        return;
    }
    const auto centre = ParseXml(*m_centreBytes);
    if (!centre) {
        return;
    }
    wchar_t program[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, program, ARRAYSIZE(program));
    // The centre file lies in <suite>\Config\newui\themes\default.
    const std::wstring folder = ParentFolder(m_centrePath);
    const std::wstring suite = ParentFolder(ParentFolder(ParentFolder(ParentFolder(folder))));
    const auto file = ThemeFileFor(*centre, ProgramKey(program, suite));
    if (!file) {
        return;
    }
    const std::wstring path = JoinPath(folder, *file);
    if (auto bytes = ReadSkinFile(path)) {
        if (auto theme = ParseXml(*bytes); theme && AddStylesLocked(*theme)) {
            m_lastThemeFile = path;
        }
    }
}

std::optional<COLORREF> ParseColour(std::wstring_view text) noexcept
{
    if (text.size() != 7 || text[0] != L'#') {
        return std::nullopt;
    }
    long long value = 0;
    if (!ParseNumber(L"0x" + std::wstring(text.substr(1)), value)) {
        return std::nullopt;
    }
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

namespace {

Style StyleFrom(const XmlElement& element, Style style)
{
    long long number = 0;
    if (const std::wstring* face = element.Attribute(L"font")) {
        style.face = *face;
    }
    if (const std::wstring* size = element.Attribute(L"size"); size && ParseNumber(*size, number) && number > 0 &&
                                                               number < 200) {
        style.height = -static_cast<int>(number);
    }
    if (const std::wstring* weight = element.Attribute(L"weight");
        weight && ParseNumber(*weight, number) && number > 0 && number <= 1000) {
        style.weight = static_cast<int>(number);
    }
    if (auto colour = ParseColour(element.AttributeOr(L"text", L""))) {
        style.text = *colour;
    }
    if (auto colour = ParseColour(element.AttributeOr(L"back", L""))) {
        style.back = colour;
    }
    if (auto colour = ParseColour(element.AttributeOr(L"border", L""))) {
        style.border = colour;
    }
    const std::wstring align = element.AttributeOr(L"align", L"");
    if (align == L"center") {
        style.align = TextAlign::Centre;
    } else if (align == L"right") {
        style.align = TextAlign::Right;
    } else if (align == L"left") {
        style.align = TextAlign::Left;
    }
    return style;
}

}  // namespace

bool ThemeStore::AddStylesLocked(const XmlElement& theme)
{
    if (theme.name != L"themes") {
        return false;
    }
    for (const auto& element : theme.children) {
        const std::wstring* name = element->Attribute(L"name");
        if (element->name != L"style" || !name || name->empty()) {
            continue;
        }
        // A style may start from another ("base"), so sizes and colours are written once.
        Style start;
        if (const std::wstring* base = element->Attribute(L"base")) {
            if (auto found = m_styles.find(*base); found != m_styles.end()) {
                start = found->second;
            }
        }
        m_styles[*name] = StyleFrom(*element, start);
    }
    return true;
}

bool ThemeStore::LoadThemeFile(const std::wstring& path)
{
    auto bytes = ReadSkinFile(path);
    if (!bytes) {
        return false;
    }
    auto theme = ParseXml(*bytes);
    std::lock_guard guard(m_lock);
    ApplyThemeCentreLocked();
    if (!theme || !AddStylesLocked(*theme)) {
        return false;
    }
    m_lastThemeFile = path;
    return true;
}

Style ThemeStore::Find(std::wstring_view name)
{
    std::lock_guard guard(m_lock);
    ApplyThemeCentreLocked();
    const auto found = m_styles.find(name);
    return found == m_styles.end() ? Style{} : found->second;
}

bool ThemeStore::Has(std::wstring_view name)
{
    std::lock_guard guard(m_lock);
    ApplyThemeCentreLocked();
    return m_styles.find(name) != m_styles.end();
}

void ThemeStore::ResetForTest()
{
    std::lock_guard guard(m_lock);
    m_styles.clear();
    m_lastThemeFile.clear();
    m_centreApplied = false;
}

}  // namespace vorrel
