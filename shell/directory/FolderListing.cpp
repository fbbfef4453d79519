#include "shell/directory/FolderListing.h"

#include <atomic>
#include <new>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/explorer/ViewMessages.h"

namespace veyra {

namespace {
std::atomic<int> s_liveListings{0};
}  // namespace

void FolderListingDeleter::operator()(std::vector<FileItemRecord>* listing) const noexcept
{
    delete listing;
    --s_liveListings;
}

FolderListing MakeFolderListing() noexcept
{
    FolderListing listing(new (std::nothrow) std::vector<FileItemRecord>());
    if (listing) {
        ++s_liveListings;
    }
    return listing;
}

bool FolderLoadChannel::Deliver(FolderListing listing, std::uint32_t number) noexcept
{
    if (!listing) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_closed) {
        return false;
    }
    try {
        m_sent.insert(listing.get());
    } catch (...) {
        return false;
    }
    if (!PostMessageW(m_host, WM_NS_ITEMS_LOADED, reinterpret_cast<WPARAM>(listing.get()), number)) {
        m_sent.erase(listing.get());
        return false;
    }
    static_cast<void>(listing.release());  // the message owns it now
    return true;
}

FolderListing FolderLoadChannel::Receive(WPARAM wParam) noexcept
{
    auto* listing = reinterpret_cast<std::vector<FileItemRecord>*>(wParam);
    std::lock_guard<std::mutex> lock(m_lock);
    return m_sent.erase(listing) != 0 ? FolderListing(listing) : FolderListing();
}

void FolderLoadChannel::Close() noexcept
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_closed = true;
    }
    MSG message{};
    while (m_host && PeekMessageW(&message, m_host, WM_NS_ITEMS_LOADED, WM_NS_ITEMS_LOADED, PM_REMOVE)) {
        static_cast<void>(Receive(message.wParam));
    }
}

int LiveFolderListings() noexcept
{
    return s_liveListings.load();
}

int ListSandboxFolder(const std::wstring& folder, std::vector<FileItemRecord>& records, int sandboxId)
{
    return CSandBoxFileSystem::Instance().ListFolder(folder, records, sandboxId);
}

}  // namespace veyra
