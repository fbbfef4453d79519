#include "shell/startmenu/StartMenuEntries.h"

#include <shlwapi.h>

#include <algorithm>

#include "shell/explorer/ItemOrder.h"

namespace veyra {

namespace {

constexpr LONG kIconSize = 16;
constexpr LONG kRowInset = 6;
constexpr LONG kCaptionLeft = 25;
constexpr LONG kCaptionRightInset = 2;
constexpr size_t kSuffixChars = 4;

bool EndsWith(const std::wstring& text, const wchar_t* suffix) noexcept
{
    return text.size() >= kSuffixChars && text.compare(text.size() - kSuffixChars, kSuffixChars, suffix) == 0;
}

}  // namespace

void SortStartMenuEntries(std::vector<FileItemRecord>& entries)
{
    std::sort(entries.begin(), entries.end(), DesktopOrder);
}

StartRowKind StartRowKindOf(const FileItemRecord& entry, const std::wstring& target) noexcept
{
    if (entry.kind == kFileKindFolder) {
        return StartRowKind::Folder;
    }
    if (target.size() > 3 && (EndsWith(target, L"html") || EndsWith(target, L".url") || EndsWith(target, L".htm"))) {
        return StartRowKind::WebLink;
    }
    return StartRowKind::File;
}

std::wstring StartRowCaption(const FileItemRecord& entry, StartRowKind kind)
{
    std::wstring caption = PathFindFileNameW(entry.path.c_str());
    if (entry.isShortcut && caption.size() >= kSuffixChars) {
        caption.resize(caption.size() - kSuffixChars);
    }
    if (kind == StartRowKind::WebLink && EndsWith(caption, L".url")) {
        caption.resize(caption.size() - kSuffixChars);
    }
    return caption;
}

bool IsHiddenChildEntry(const FileItemRecord& entry) noexcept
{
    return lstrcmpiW(PathFindExtensionW(entry.path.c_str()), L".DIR") == 0;
}

StartRowPlaces StartRowPlacesIn(const RECT& row, int indent) noexcept
{
    const LONG iconLeft = indent ? row.left + indent : row.left + kRowInset;
    const LONG captionLeft = indent ? row.left + indent + kStartChildIndent : row.left + kCaptionLeft;
    return StartRowPlaces{
        RECT{iconLeft, row.top + kRowInset, iconLeft + kIconSize, row.top + kRowInset + kIconSize},
        RECT{captionLeft, row.top + kRowInset, row.right - kCaptionRightInset, row.bottom - kRowInset}};
}

}  // namespace veyra
