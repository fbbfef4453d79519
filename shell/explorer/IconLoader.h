#pragma once
// What a view's icon loader thread shares with its view: the three events, the request queue and the
// image cache, each queue and cache under its own lock, and the image maker. The view and the thread
// each hold a reference, so a thread that is still making an image when its view goes (a blocked shell
// call outlasting the stop wait) ends later by itself on these alone. The thread reaches the view only
// between EnterView and LeaveView, and Detach waits out such a visit and closes the door for good.

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "base/CriticalSection.h"
#include "base/RefCounted.h"
#include "core/sandboxview/FileItemRecord.h"
#include "base/UniqueResource.h"
#include "core/shellutil/ShellPlatform.h"

namespace veyra {

class NsExplorer;

struct IconRequest {
    std::int32_t size = 16;
    std::wstring keyPath;     // the item's full path as the view shows it
    std::wstring sourcePath;  // the file the image is made from; empty until the loader resolves it
    std::int32_t isFolder = 0;
    std::int32_t origin = kOriginUnknown;  // the side the item's listing found it on
};

// On the loader thread: the request's source resolved in the sandbox view for `ownerKey` (a shortcut's
// target's file), and whether it is an image worth making; false drops the request.
[[nodiscard]] bool ResolveIconSource(IconRequest& request, int ownerKey);
// Whether a source of this name is loaded at all: folders and pictures, and ".pdf" from Vista on.
[[nodiscard]] bool WantsLoadedImage(const std::wstring& source, int isFolder);
[[nodiscard]] bool IsShortcutPath(const std::wstring& path) noexcept;
// A ".pdf" file, in any letter case: the shell may have a picture of its first page.
[[nodiscard]] bool IsPdfPath(const std::wstring& path) noexcept;

// Images are shared by the cache and the icon controls that show them.
using SharedImage = std::shared_ptr<Gdiplus::Image>;

struct IconCacheEntry {
    SharedImage image16;
    SharedImage image48;
};

// Makes the image of a source file at a size; empty for none. Runs on the loader thread.
using IconImageMaker = std::function<ImagePtr(const wchar_t* source, int size)>;

class IconLoaderState final : public RefCounted {
public:
    IconLoaderState(NsExplorer* view, int ownerKey, IconImageMaker maker) noexcept;

    // The wake (auto-reset), pause and stop events (manual-reset), unnamed and not signalled.
    [[nodiscard]] bool CreateEvents() noexcept;
    [[nodiscard]] HANDLE WakeEvent() const noexcept { return m_wake.get(); }
    [[nodiscard]] HANDLE StopEvent() const noexcept { return m_stop.get(); }
    // The flags are read before every request without a call into the system: each wait or event call
    // is a round trip to the Wine server, which thousands of requests would pay several times over.
    [[nodiscard]] bool IsPaused() const noexcept { return m_paused.load(); }
    [[nodiscard]] bool IsStopped() const noexcept { return m_stopped.load(); }
    // View side: pausing drops the queue; resuming and stopping wake the thread.
    void Pause() noexcept;
    void Resume() noexcept;
    void Stop() noexcept;

    // Wakes the thread only when the queue was empty: it takes requests until none is left.
    void Push(IconRequest request);
    [[nodiscard]] std::optional<IconRequest> Pop();
    void ClearQueue() noexcept;
    [[nodiscard]] size_t QueueLength();

    void Store(const std::wstring& keyPath, int size, SharedImage image);
    [[nodiscard]] SharedImage Find(const std::wstring& keyPath, int size);

    [[nodiscard]] ImagePtr MakeImage(const IconRequest& request) const noexcept;

    // Thread side: false once the view detached, and then nothing of the view may be touched.
    [[nodiscard]] bool EnterImage() noexcept;
    [[nodiscard]] bool EnterView() noexcept;
    void LeaveView() noexcept;
    [[nodiscard]] NsExplorer* View() const noexcept { return m_view; }
    [[nodiscard]] int OwnerKey() const noexcept { return m_ownerKey; }
    // View side, once its thread did not end in time.
    void Detach() noexcept;

private:
    enum Phase : int { kIdle, kInImage, kInView, kDetached };

    NsExplorer* m_view;
    int m_ownerKey;
    IconImageMaker m_maker;
    std::atomic<int> m_phase{kIdle};
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_stopped{false};
    UniqueHandle m_wake;
    UniqueHandle m_pause;
    UniqueHandle m_stop;
    CriticalSection m_queueLock;
    std::deque<IconRequest> m_queue;
    CriticalSection m_cacheLock;
    std::unordered_map<std::wstring, IconCacheEntry> m_cache;
};

// The loader thread's entry: `parameter` is a reference to an IconLoaderState that the thread adopts.
DWORD WINAPI IconLoaderThreadProc(void* parameter) noexcept;

}  // namespace veyra
