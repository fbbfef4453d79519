#pragma once
// A folder listing on its way from a load thread to the folder window: a heap vector of records that
// belongs to whoever holds it - the thread until its post succeeds, then the message, whose receiver
// adopts it on its first line. A live count tells that every listing made was freed once.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/sandboxview/FileItemRecord.h"

namespace veyra {

struct FolderListingDeleter {
    void operator()(std::vector<FileItemRecord>* listing) const noexcept;
};
using FolderListing = std::unique_ptr<std::vector<FileItemRecord>, FolderListingDeleter>;

// An empty listing (none without memory).
[[nodiscard]] FolderListing MakeFolderListing() noexcept;
// Listings made and not yet freed, in this process.
[[nodiscard]] int LiveFolderListings() noexcept;

// The road from a view's load threads to its host window, shared by the view and every thread it
// started. A message names a listing the channel handed out, so a pointer posted by anyone else is
// never touched; once closed (the window goes) no thread posts, and what was queued is freed.
class FolderLoadChannel {
public:
    explicit FolderLoadChannel(HWND host) noexcept : m_host(host) {}
    FolderLoadChannel(const FolderLoadChannel&) = delete;
    FolderLoadChannel& operator=(const FolderLoadChannel&) = delete;

    // Load thread: posts WM_NS_ITEMS_LOADED (wParam the listing, lParam `number`); false, the listing
    // freed here, when the channel is closed or the post fails.
    bool Deliver(FolderListing listing, std::uint32_t number) noexcept;
    // Host thread: the listing of a received message when the channel sent it, else none.
    [[nodiscard]] FolderListing Receive(WPARAM wParam) noexcept;
    // Host thread, before its window goes: no more posts; the listings still queued are freed.
    void Close() noexcept;

private:
    std::mutex m_lock;
    HWND m_host;
    bool m_closed = false;
    std::unordered_set<const void*> m_sent;  // posted and not yet received
};

// Lists `folder` for sandbox `sandboxId` into `records`; 1 on success. Runs on the load thread.
using FolderLister = std::function<int(const std::wstring& folder, std::vector<FileItemRecord>& records, int sandboxId)>;
// The sandbox view's listing (My Computer lists the drives).
[[nodiscard]] int ListSandboxFolder(const std::wstring& folder, std::vector<FileItemRecord>& records, int sandboxId);

}  // namespace veyra
