#include "core/shellutil/DroppedPaths.h"

#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <new>

namespace veyra {

namespace {

// Wide names need not be aligned in the block: read each character by copying it.
std::size_t ReadWideName(const BYTE* at, std::size_t bytes, std::wstring& name)
{
    for (std::size_t offset = 0; offset + sizeof(wchar_t) <= bytes; offset += sizeof(wchar_t)) {
        wchar_t character;
        std::memcpy(&character, at + offset, sizeof(character));
        if (character == L'\0') {
            return offset + sizeof(wchar_t);
        }
        name.push_back(character);
    }
    return 0;  // no terminator inside the block
}

std::size_t ReadAnsiName(const BYTE* at, std::size_t bytes, std::wstring& name)
{
    const void* terminator = std::memchr(at, '\0', bytes);
    if (!terminator) {
        return 0;
    }
    const int length = static_cast<int>(static_cast<const BYTE*>(terminator) - at);
    if (length > 0) {
        const char* text = reinterpret_cast<const char*>(at);
        const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
        if (wideLength <= 0) {
            return 0;
        }
        name.resize(static_cast<std::size_t>(wideLength));
        MultiByteToWideChar(CP_ACP, 0, text, length, name.data(), wideLength);
    }
    return static_cast<std::size_t>(length) + 1;
}

class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL memory) noexcept : m_memory(memory), m_data(GlobalLock(memory)) {}
    ~GlobalLockScope()
    {
        if (m_data) {
            GlobalUnlock(m_memory);
        }
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    [[nodiscard]] const void* data() const noexcept { return m_data; }

private:
    HGLOBAL m_memory;
    void* m_data;
};

class StorageMedium {
public:
    StorageMedium() noexcept = default;
    ~StorageMedium() { ReleaseStgMedium(&m_medium); }
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;
    STGMEDIUM* put() noexcept { return &m_medium; }
    [[nodiscard]] const STGMEDIUM& get() const noexcept { return m_medium; }

private:
    STGMEDIUM m_medium{};
};

}  // namespace

int ReadDropFilesBlock(const void* block, std::size_t size, std::vector<std::wstring>& paths) noexcept
{
    if (!block || size <= sizeof(DROPFILES)) {
        return 0;
    }
    DROPFILES header;
    std::memcpy(&header, block, sizeof(header));
    if (header.pFiles < sizeof(DROPFILES) || header.pFiles >= size) {
        return 0;
    }
    const BYTE* bytes = static_cast<const BYTE*>(block);
    const std::size_t countBefore = paths.size();
    try {
        for (std::size_t offset = header.pFiles; offset < size;) {
            std::wstring name;
            const std::size_t used = header.fWide ? ReadWideName(bytes + offset, size - offset, name)
                                                  : ReadAnsiName(bytes + offset, size - offset, name);
            if (used == 0 || name.empty()) {
                break;  // a name cut off by the end of the block, or the empty name that ends the list
            }
            paths.push_back(std::move(name));
            offset += used;
        }
    } catch (const std::bad_alloc&) {
        return paths.size() > countBefore ? 1 : 0;
    }
    return paths.size() > countBefore ? 1 : 0;
}

int GetDroppedPaths(IDataObject* dataObject, std::vector<std::wstring>& paths) noexcept
{
    if (!dataObject) {
        return 0;
    }
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    StorageMedium medium;
    if (FAILED(dataObject->GetData(&format, medium.put())) || medium.get().tymed != TYMED_HGLOBAL ||
        !medium.get().hGlobal) {
        return 0;
    }
    const GlobalLockScope lock(medium.get().hGlobal);
    if (!lock.data()) {
        return 0;
    }
    return ReadDropFilesBlock(lock.data(), GlobalSize(medium.get().hGlobal), paths);
}

}  // namespace veyra
