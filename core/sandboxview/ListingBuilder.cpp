#include "core/sandboxview/ListingBuilder.h"

#include <algorithm>

#include "base/SrwLock.h"

namespace veyra::sandboxview {

namespace {

// Buffers kept between listings: enough for the listings that run side by side (a view's load thread,
// a worker), and none larger than a listing of some 50,000 entries needs.
constexpr std::size_t kSpareBuffers = 2;
constexpr std::size_t kMaxSpareBytes = 8u << 20;

class SpareBuffers {
public:
    std::unique_ptr<ListingBuilder::Buffers> Take()
    {
        {
            ExclusiveSrwHold hold(m_lock);
            if (!m_spare.empty()) {
                std::unique_ptr<ListingBuilder::Buffers> buffers = std::move(m_spare.back());
                m_spare.pop_back();
                return buffers;
            }
        }
        return std::make_unique<ListingBuilder::Buffers>();
    }

    void Give(std::unique_ptr<ListingBuilder::Buffers> buffers) noexcept
    {
        if (!buffers || buffers->Bytes() > kMaxSpareBytes) {
            return;
        }
        buffers->Clear();
        ExclusiveSrwHold hold(m_lock);
        if (m_spare.size() < kSpareBuffers) {
            m_spare.push_back(std::move(buffers));  // capacity reserved below: no allocation here
        }
    }

    SpareBuffers() { m_spare.reserve(kSpareBuffers); }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
    std::vector<std::unique_ptr<ListingBuilder::Buffers>> m_spare;
};

SpareBuffers& Spares()
{
    static SpareBuffers spares;
    return spares;
}

}  // namespace

ListingBuilder::ListingBuilder() : m_buffers(Spares().Take()) {}

ListingBuilder::~ListingBuilder()
{
    Spares().Give(std::move(m_buffers));
}

std::wstring_view ListingBuilder::NameOf(const Entry& entry) const noexcept
{
    return std::wstring_view(m_buffers->names).substr(entry.nameOffset, entry.nameLength);
}

std::uint32_t ListingBuilder::AddFolder(const std::wstring& namingFolder, std::int32_t origin)
{
    if (m_folders.empty() || m_folders.back().path != namingFolder || m_folders.back().origin != origin) {
        m_folders.push_back(Folder{namingFolder, origin});
    }
    return static_cast<std::uint32_t>(m_folders.size() - 1);
}

void ListingBuilder::AddEntry(std::wstring_view name, const WIN32_FILE_ATTRIBUTE_DATA& data, std::uint32_t folder,
                              std::uint32_t built)
{
    Buffers& buffers = *m_buffers;
    buffers.entries.push_back({data, static_cast<std::uint32_t>(buffers.names.size()),
                               static_cast<std::uint32_t>(name.size()), folder, built, false});
    buffers.names += name;
}

void ListingBuilder::Add(std::wstring_view name, const WIN32_FILE_ATTRIBUTE_DATA& data, std::uint32_t folder)
{
    AddEntry(name, data, folder, kUnbuilt);
}

void ListingBuilder::AddBuilt(std::wstring_view name, FileItemRecord&& record)
{
    m_built.push_back(std::move(record));
    AddEntry(name, {}, 0, static_cast<std::uint32_t>(m_built.size() - 1));
}

const std::vector<std::wstring_view>& ListingBuilder::LiveNames()
{
    Buffers& buffers = *m_buffers;
    buffers.liveNames.clear();
    buffers.liveIndexes.clear();
    for (std::uint32_t index = 0; index < buffers.entries.size(); ++index) {
        if (!buffers.entries[index].hidden) {
            buffers.liveNames.push_back(NameOf(buffers.entries[index]));
            buffers.liveIndexes.push_back(index);
        }
    }
    return buffers.liveNames;
}

void ListingBuilder::HideLive(const std::vector<std::size_t>& positions) noexcept
{
    for (const std::size_t position : positions) {
        m_buffers->entries[m_buffers->liveIndexes[position]].hidden = true;
    }
}

std::size_t ListingBuilder::Finish()
{
    Buffers& buffers = *m_buffers;
    buffers.order.clear();
    buffers.order.reserve(buffers.entries.size());
    for (std::uint32_t index = 0; index < buffers.entries.size(); ++index) {
        buffers.order.push_back({NameOf(buffers.entries[index]), index});
    }
    // wstring_view compares code unit by code unit, as the name map's keys did; among entries of one
    // name the one added last holds it.
    std::sort(buffers.order.begin(), buffers.order.end(), [](const Buffers::Named& left, const Buffers::Named& right) {
        const int compared = left.name.compare(right.name);
        return compared != 0 ? compared < 0 : left.index < right.index;
    });
    buffers.winners.clear();
    for (std::size_t position = 0; position < buffers.order.size(); ++position) {
        const Buffers::Named& named = buffers.order[position];
        const bool lastOfName = position + 1 == buffers.order.size() || buffers.order[position + 1].name != named.name;
        // Hiding reaches every entry of the name added before it, so the last one tells for the name.
        if (lastOfName && !buffers.entries[named.index].hidden) {
            buffers.winners.push_back(named.index);
        }
    }
    return buffers.winners.size();
}

}  // namespace veyra::sandboxview
