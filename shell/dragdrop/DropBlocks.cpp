#include "shell/dragdrop/DropBlocks.h"

#include <shlobj.h>

#include <cstring>

namespace veyra {

namespace {

class GlobalWriter {
public:
    explicit GlobalWriter(HGLOBAL memory) noexcept : m_memory(memory), m_data(static_cast<BYTE*>(GlobalLock(memory))) {}
    ~GlobalWriter()
    {
        if (m_data) {
            GlobalUnlock(m_memory);
        }
    }
    GlobalWriter(const GlobalWriter&) = delete;
    GlobalWriter& operator=(const GlobalWriter&) = delete;
    [[nodiscard]] BYTE* data() const noexcept { return m_data; }

private:
    HGLOBAL m_memory;
    BYTE* m_data;
};

void CopyCut(WCHAR (&field)[MAX_PATH], const std::wstring& text) noexcept
{
    const std::size_t length = text.size() < MAX_PATH - 1 ? text.size() : MAX_PATH - 1;
    std::memcpy(field, text.data(), length * sizeof(WCHAR));
    field[length] = L'\0';
}

}  // namespace

CLIPFORMAT DropDescriptionFormat() noexcept
{
    static const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"DropDescription"));
    return format;
}

CLIPFORMAT DragWindowFormat() noexcept
{
    static const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"DragWindow"));
    return format;
}

UniqueGlobal BuildPathList(const std::vector<std::wstring>& paths, UINT allocationFlags, const wchar_t* suffix,
                           bool nulAfterEach, const void* header, std::size_t headerBytes) noexcept
{
    const std::size_t suffixLength = suffix ? std::wcslen(suffix) : 0;
    std::size_t characters = 1;
    for (const std::wstring& path : paths) {
        characters += path.size() + suffixLength + (nulAfterEach ? 1 : 0);
    }
    const std::size_t bytes = headerBytes + characters * sizeof(WCHAR);
    UniqueGlobal block(GlobalAlloc(allocationFlags, bytes));
    if (!block) {
        return block;
    }
    const GlobalWriter writer(block.get());
    if (!writer.data()) {
        return UniqueGlobal();
    }
    std::memset(writer.data(), 0, bytes);
    if (header && headerBytes) {
        std::memcpy(writer.data(), header, headerBytes);
    }
    BYTE* at = writer.data() + headerBytes;
    for (const std::wstring& path : paths) {
        std::memcpy(at, path.data(), path.size() * sizeof(WCHAR));
        at += path.size() * sizeof(WCHAR);
        if (suffixLength) {
            std::memcpy(at, suffix, suffixLength * sizeof(WCHAR));
            at += suffixLength * sizeof(WCHAR);
        }
        if (nulAfterEach) {
            at += sizeof(WCHAR);  // already zero
        }
    }
    return block;
}

UniqueGlobal BuildFileDropBlock(const std::vector<std::wstring>& paths) noexcept
{
    if (paths.empty()) {
        return UniqueGlobal();
    }
    for (const std::wstring& path : paths) {
        if (path.empty() || path.size() > kMaxDragPathLength) {
            return UniqueGlobal();
        }
    }
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    return BuildPathList(paths, kDragBlockFlags, nullptr, true, &header, sizeof(header));
}

UniqueGlobal BuildDropDescription(DropImage type, const std::wstring& message, const std::wstring& insert) noexcept
{
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DropDescriptionRecord)));
    if (!block) {
        return block;
    }
    const GlobalWriter writer(block.get());
    if (!writer.data()) {
        return UniqueGlobal();
    }
    DropDescriptionRecord record{};
    record.type = static_cast<std::int32_t>(type);
    CopyCut(record.message, message);
    CopyCut(record.insert, insert);
    std::memcpy(writer.data(), &record, sizeof(record));
    return block;
}

}  // namespace veyra
