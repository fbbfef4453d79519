// The control tree as text, the test hook of the skinned window: one line per control, indented by
// depth, with tab-separated fields (UTF-8). What an outer-drawn control draws is found by replaying
// its drawing into an enhanced metafile and reading the text and picture records back. A control's
// cover is the one drawn under it: its own, or that of the panel holding it.

#include <cstdio>
#include <vector>

#include "base/UniqueResource.h"
#include "suite/vorrel/ControlNode.h"
#include "suite/vorrel/SkinWindow.h"

namespace vorrel {

namespace {

// A reader of the last dump holds its file for a moment. The dump of a paint must not be lost to it: that
// paint may be the last one for a long while, and the reader would wait for a tree that never comes.
constexpr int kDumpOpenAttempts = 100;
constexpr DWORD kDumpOpenPauseMs = 5;

std::string ToUtf8(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? length : 0, '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
    }
    return bytes;
}

// Tabs, line breaks and the record separator would break the one-line-per-control form.
std::wstring Escaped(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c == L'\t' || c == L'\r' || c == L'\n' || c == L'|') {
            c = L' ';
        }
    }
    return text;
}

struct DrawnRecords {
    std::wstring texts;  // each text record, separated by '|'
    bool picture = false;
};

bool IsPictureRecord(DWORD type) noexcept
{
    switch (type) {
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_MASKBLT:
    case EMR_PLGBLT:
    case EMR_SETDIBITSTODEVICE:
    case EMR_STRETCHDIBITS:
    case EMR_ALPHABLEND:
    case EMR_TRANSPARENTBLT:
        return true;
    default:
        return false;
    }
}

// Replays the program's drawing of an outer-drawn control into a metafile and reads it back.
DrawnRecords ReplayOuterDrawing(ControlNode& node)
{
    DrawnRecords drawn;
    HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (!recorder) {
        return drawn;
    }
    node.DrawOuter(recorder);
    using UniqueMetafile = veyra::UniqueResource<veyra::traits::Simple<HENHMETAFILE, DeleteEnhMetaFile>>;
    UniqueMetafile metafile(CloseEnhMetaFile(recorder));
    const UINT size = metafile ? GetEnhMetaFileBits(metafile.get(), 0, nullptr) : 0;
    std::vector<BYTE> bits(size);
    if (size == 0 || GetEnhMetaFileBits(metafile.get(), size, bits.data()) != size) {
        return drawn;
    }
    for (size_t at = 0; at + sizeof(EMR) <= bits.size();) {
        const auto* record = reinterpret_cast<const EMR*>(bits.data() + at);
        if (record->nSize < sizeof(EMR) || at + record->nSize > bits.size()) {
            break;  // a broken record ends the reading
        }
        if (record->iType == EMR_EXTTEXTOUTW && record->nSize >= sizeof(EMREXTTEXTOUTW)) {
            const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
            const size_t bytes = static_cast<size_t>(text->emrtext.nChars) * sizeof(wchar_t);
            if (text->emrtext.offString + bytes <= record->nSize && text->emrtext.nChars > 0) {
                const auto* chars = reinterpret_cast<const wchar_t*>(bits.data() + at + text->emrtext.offString);
                if (!drawn.texts.empty()) {
                    drawn.texts += L'|';
                }
                drawn.texts += Escaped(std::wstring(chars, text->emrtext.nChars));
            }
        }
        drawn.picture = drawn.picture || IsPictureRecord(record->iType);
        at += record->nSize;
    }
    return drawn;
}

// `under` is the cover an ancestor paints behind this control: a cover lies under the children, so an
// item's picture and caption show the cover of the panel that holds them.
void AppendTree(ControlNode* node, int depth, const Image* under, std::string& out)
{
    const Image* cover = node->m_cover ? node->m_cover.get() : under;
    char line[200];
    out.append(static_cast<size_t>(depth) * 2, ' ');
    snprintf(line, sizeof(line), "id=%u\tkind=", static_cast<unsigned>(node->m_id));
    out += line;
    out += ToUtf8(KindName(node->Kind()));
    snprintf(line, sizeof(line), "\trect=%ld,%ld,%ld,%ld\tvisible=%d\tdisabled=%d\tstate=0x%lx\timage=", node->m_rect.left,
              node->m_rect.top, node->m_rect.right, node->m_rect.bottom, node->Visible() ? 1 : 0,
              node->Disabled() ? 1 : 0, static_cast<unsigned long>(node->m_state));
    out += line;
    out += ToUtf8(node->m_image ? node->m_image->Name() : node->m_imageName);
    out += "\tloaded=";
    // A picture the control has not painted yet is decoded here: "loaded" tells whether it shows.
    out += (node->m_imageName.empty() || (node->m_image && node->m_image->Decodes())) ? "1" : "0";
    out += "\ttext=" + ToUtf8(Escaped(node->ShownText()));
    out += "\tcover=" + ToUtf8(cover ? cover->Name() : std::wstring());
    out += "\ttip=" + ToUtf8(Escaped(node->Tooltip()));
    if (node->Scrolls()) {
        snprintf(line, sizeof(line), "\tscroll=%d", node->m_scrollPosition);
        out += line;
    }
    out += node->DumpFields();
    if (node->Kind() == ControlKind::OuterDrawn) {
        const DrawnRecords drawn = ReplayOuterDrawing(*node);
        out += "\tdrawn=" + ToUtf8(drawn.texts);
        out += drawn.picture ? "\tpicture=1" : "\tpicture=0";
    }
    out += "\n";
    for (ControlNode* child : node->m_children) {
        AppendTree(child, depth + 1, cover, out);
    }
}

std::wstring LayoutFileName(const std::wstring& layoutPath)
{
    const size_t slash = layoutPath.find_last_of(L"\\/");
    return slash == std::wstring::npos ? layoutPath : layoutPath.substr(slash + 1);
}

}  // namespace

std::string SkinWindow::TreeText() const
{
    std::string text;
    if (m_root) {
        AppendTree(m_root, 0, nullptr, text);
    }
    return text;
}

void SkinWindow::DumpIfAsked()
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(vorrelUI::kDumpFolderVariable, folder, ARRAYSIZE(folder));
    if (length == 0 || length >= ARRAYSIZE(folder)) {
        return;
    }
    DumpControlTree((std::wstring(folder) + L"\\" + LayoutFileName(m_layoutPath) + L".tree").c_str());
}

HRESULT SkinWindow::DumpOnRequest(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return DumpControlTree(path.c_str());
    }
    // A folder: each window of a layout writes a file of its own, named by its host.
    wchar_t host[20] = {};
    swprintf(host, ARRAYSIZE(host), L"%08llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(m_host)));
    return DumpControlTree((path + L"\\" + LayoutFileName(m_layoutPath) + L"." + host + L".tree").c_str());
}

HRESULT SkinWindow::DumpControlTree(LPCWSTR path)
{
    if (!path || !*path) {
        return E_INVALIDARG;
    }
    std::string text;
    try {
        text = TreeText();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    veyra::UniqueFileHandle file;
    for (int attempt = 0; attempt < kDumpOpenAttempts; ++attempt) {
        file.reset(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_SHARING_VIOLATION) {
            break;
        }
        Sleep(kDumpOpenPauseMs);
    }
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return S_OK;
}

}  // namespace vorrel
