#pragma once
// The entries of one listing while its passes run: each found entry is kept as its name and found data
// in buffers that the listings of the process hand on to each other, not as a record in a tree node, and
// becomes a record once, at the end, in name order. Memory is what costs a listing of thousands of entries
// here: Wine gives blocks above ~1 MB their own mapping and frees large free areas again, so every fresh
// buffer is faulted in page by page, at tens of microseconds a page on this kind of machine.
//
// Map semantics, kept exactly: a later entry of a name replaces the earlier one, hiding a name hides the
// entries of it added so far (not those added after), and the result comes out in ascending code-unit
// order of the names. One object per listing, used on the listing's thread; only the hand-over of the
// buffers between listings is shared, under a lock.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/sandboxview/FileItemRecord.h"

namespace veyra::sandboxview {

class ListingBuilder {
public:
    ListingBuilder();
    ~ListingBuilder();
    ListingBuilder(const ListingBuilder&) = delete;
    ListingBuilder& operator=(const ListingBuilder&) = delete;

    // The folder that names the entries of the pass that follows, and the side it lists (kOrigin...);
    // returns its number for Add.
    std::uint32_t AddFolder(const std::wstring& namingFolder, std::int32_t origin);
    // An entry whose record is built at the end from its folder, name and data.
    void Add(std::wstring_view name, const WIN32_FILE_ATTRIBUTE_DATA& data, std::uint32_t folder);
    // An entry whose record is already built (a resolved shortcut, an entry of a name map).
    void AddBuilt(std::wstring_view name, FileItemRecord&& record);

    // The names of the entries added so far and not hidden, in the order added (valid until the next
    // call of the builder), and hiding some of them by their position in that list.
    [[nodiscard]] const std::vector<std::wstring_view>& LiveNames();
    void HideLive(const std::vector<std::size_t>& positions) noexcept;

    // Sorts the names and picks the entry that holds each; returns how many names the listing holds.
    std::size_t Finish();

    // After Finish: take(name, record) for each name, in ascending code-unit order, with its record; an
    // entry added unbuilt is built first by build(record, namingFolder, name, data).
    template <typename Build, typename Take>
    void Drain(Build&& build, Take&& take)
    {
        for (const std::uint32_t index : m_buffers->winners) {
            const Entry& entry = m_buffers->entries[index];
            const std::wstring_view name = NameOf(entry);
            if (entry.built != kUnbuilt) {
                take(name, std::move(m_built[entry.built]));
                continue;
            }
            const Folder& folder = m_folders[entry.folder];
            FileItemRecord record;
            record.origin = folder.origin;
            build(record, folder.path, name, entry.data);
            take(name, std::move(record));
        }
    }

    struct Entry {
        WIN32_FILE_ATTRIBUTE_DATA data;
        std::uint32_t nameOffset;
        std::uint32_t nameLength;
        std::uint32_t folder;
        std::uint32_t built;  // index into m_built, or kUnbuilt
        bool hidden;
    };
    // Kept from one listing to the next (capacity only).
    struct Buffers {
        struct Named {
            std::wstring_view name;
            std::uint32_t index;
        };

        std::wstring names;  // every entry's name, one after the other
        std::vector<Entry> entries;  // in the order added
        std::vector<std::wstring_view> liveNames;
        std::vector<std::uint32_t> liveIndexes;  // the entry of each of liveNames
        std::vector<Named> order;
        std::vector<std::uint32_t> winners;  // after Finish: the entry of each name, in name order

        void Clear() noexcept
        {
            names.clear();
            entries.clear();
            liveNames.clear();
            liveIndexes.clear();
            order.clear();
            winners.clear();
        }
        [[nodiscard]] std::size_t Bytes() const noexcept
        {
            return names.capacity() * sizeof(wchar_t) + entries.capacity() * sizeof(Entry) +
                   liveNames.capacity() * sizeof(std::wstring_view) + liveIndexes.capacity() * sizeof(std::uint32_t) +
                   order.capacity() * sizeof(Named) + winners.capacity() * sizeof(std::uint32_t);
        }
    };

private:
    static constexpr std::uint32_t kUnbuilt = 0xFFFFFFFF;

    struct Folder {
        std::wstring path;
        std::int32_t origin;
    };

    [[nodiscard]] std::wstring_view NameOf(const Entry& entry) const noexcept;
    void AddEntry(std::wstring_view name, const WIN32_FILE_ATTRIBUTE_DATA& data, std::uint32_t folder,
                  std::uint32_t built);

    std::unique_ptr<Buffers> m_buffers;
    std::vector<FileItemRecord> m_built;
    std::vector<Folder> m_folders;
};

}  // namespace veyra::sandboxview
