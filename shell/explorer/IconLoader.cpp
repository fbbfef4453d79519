#include "shell/explorer/IconLoader.h"

#include <objbase.h>

#include <cwchar>

#include "core/GlobalInfo.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/shellutil/FileKinds.h"

#include "shell/explorer/NsExplorer.h"

namespace veyra {

IconLoaderState::IconLoaderState(NsExplorer* view, int ownerKey, IconImageMaker maker) noexcept
    : m_view(view), m_ownerKey(ownerKey), m_maker(std::move(maker))
{
}

bool IsShortcutPath(const std::wstring& path) noexcept
{
    return path.size() >= 5 && path.compare(path.size() - 4, 4, L".lnk") == 0;
}

bool WantsLoadedImage(const std::wstring& source, int isFolder)
{
    const bool image = IsImageFile(source.c_str()) != 0;
    if (!g_globalInfo.IsVistaOrLater()) {
        return image;
    }
    return isFolder == 1 || image || IsPdfPath(source);
}

bool IsPdfPath(const std::wstring& path) noexcept
{
    const wchar_t* dot = wcsrchr(path.c_str(), L'.');
    return dot && _wcsicmp(dot, L".pdf") == 0;
}

namespace {

// The side the listing found the item on names its file without asking the disk: under Wine a name missing
// from a large sandbox folder costs a read of the whole folder.
bool ResolveListedSource(IconRequest& request, int ownerKey)
{
    switch (request.origin) {
    case kOriginRealFolder:
        request.sourcePath = request.keyPath;
        return true;
    case kOriginSandboxCopy:
        return CSandBoxFileSystem::Instance().ToSandboxPath(request.keyPath, request.sourcePath, ownerKey) != 0;
    default:
        return false;
    }
}

}  // namespace

bool ResolveIconSource(IconRequest& request, int ownerKey)
{
    const CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    int deleted = 0;
    if (!ResolveListedSource(request, ownerKey) &&
        view.ResolvePath(request.keyPath, request.sourcePath, ownerKey, deleted) != SBFS_EXISTS) {
        request.sourcePath = request.keyPath;
    }
    if (!IsShortcutPath(request.sourcePath)) {
        return true;  // decided by its name when it was queued
    }
    std::wstring target;
    if (view.ResolveShortcut(request.keyPath, target, ownerKey)) {
        // The picture comes from the target's file, in the sandbox copy when it has one.
        if (view.ResolvePath(target, request.sourcePath, ownerKey, deleted) != SBFS_EXISTS) {
            request.sourcePath = target;
        }
    }
    return WantsLoadedImage(request.sourcePath, 0);
}

bool IconLoaderState::CreateEvents() noexcept
{
    m_wake.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    m_pause.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_stop.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    return m_wake && m_pause && m_stop;
}

void IconLoaderState::Pause() noexcept
{
    m_paused = true;
    SetEvent(m_pause.get());
    ResetEvent(m_wake.get());
    ClearQueue();
}

void IconLoaderState::Resume() noexcept
{
    m_paused = false;
    ResetEvent(m_pause.get());
    SetEvent(m_wake.get());
}

void IconLoaderState::Stop() noexcept
{
    m_stopped = true;
    SetEvent(m_stop.get());
}

void IconLoaderState::Push(IconRequest request)
{
    bool wasEmpty = false;
    {
        ScopedLock lock(m_queueLock);
        wasEmpty = m_queue.empty();
        m_queue.push_back(std::move(request));
    }
    if (wasEmpty) {
        SetEvent(m_wake.get());
    }
}

std::optional<IconRequest> IconLoaderState::Pop()
{
    ScopedLock lock(m_queueLock);
    if (m_queue.empty()) {
        return std::nullopt;
    }
    IconRequest request = std::move(m_queue.front());
    m_queue.pop_front();
    return request;
}

void IconLoaderState::ClearQueue() noexcept
{
    ScopedLock lock(m_queueLock);
    m_queue.clear();
}

size_t IconLoaderState::QueueLength()
{
    ScopedLock lock(m_queueLock);
    return m_queue.size();
}

void IconLoaderState::Store(const std::wstring& keyPath, int size, SharedImage image)
{
    if (size != 16 && size != 48) {
        return;
    }
    ScopedLock lock(m_cacheLock);
    IconCacheEntry& entry = m_cache[keyPath];
    (size == 16 ? entry.image16 : entry.image48) = std::move(image);
}

SharedImage IconLoaderState::Find(const std::wstring& keyPath, int size)
{
    ScopedLock lock(m_cacheLock);
    const auto found = m_cache.find(keyPath);
    if (found == m_cache.end()) {
        return nullptr;
    }
    return size == 48 ? found->second.image48 : size == 16 ? found->second.image16 : nullptr;
}

ImagePtr IconLoaderState::MakeImage(const IconRequest& request) const noexcept
{
    try {
        return m_maker ? m_maker(request.sourcePath.c_str(), request.size) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

bool IconLoaderState::EnterImage() noexcept
{
    int expected = kIdle;
    return m_phase.compare_exchange_strong(expected, kInImage);
}

bool IconLoaderState::EnterView() noexcept
{
    int expected = kInImage;
    return m_phase.compare_exchange_strong(expected, kInView);
}

void IconLoaderState::LeaveView() noexcept
{
    m_phase.store(kIdle);
}

void IconLoaderState::Detach() noexcept
{
    for (;;) {
        int phase = m_phase.load();
        if (phase == kDetached) {
            return;
        }
        if (phase == kInView) {
            SwitchToThread();  // a look-up and a post: over in a moment
            continue;
        }
        if (m_phase.compare_exchange_strong(phase, kDetached)) {
            return;
        }
    }
}

namespace {

// One request: false when the thread must end (stopped, or its view went while the image was made).
bool ServeRequest(IconLoaderState& state, IconRequest& request)
{
    if (request.keyPath.empty() || !ResolveIconSource(request, state.OwnerKey())) {
        return true;
    }
    if (state.IsStopped() || !state.EnterImage()) {
        return false;
    }
    SharedImage image(state.MakeImage(request));
    if (!state.EnterView()) {
        return false;  // the view is gone: what this thread co-owns goes with its last reference
    }
    if (image) {
        static_cast<void>(state.View()->LoadRequestedIcon(request, std::move(image)));
    }
    state.LeaveView();
    return true;
}

void RunIconLoader(IconLoaderState& state)
{
    // Stop first: a wait for any answers the lowest signalled handle, so a stop is never hidden by wake.
    const HANDLE handles[2] = {state.StopEvent(), state.WakeEvent()};
    for (;;) {
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
            return;
        }
        // Stop and pause are looked at before every request, not only when woken.
        while (!state.IsStopped() && !state.IsPaused()) {
            std::optional<IconRequest> request = state.Pop();
            if (!request) {
                break;  // the next push into the empty queue wakes this thread
            }
            if (!ServeRequest(state, *request)) {
                return;
            }
        }
        if (state.IsStopped()) {
            return;
        }
    }
}

}  // namespace

DWORD WINAPI IconLoaderThreadProc(void* parameter) noexcept
{
    const RefPtr<IconLoaderState> state = RefPtr<IconLoaderState>::Adopt(static_cast<IconLoaderState*>(parameter));
    const HRESULT com = CoInitialize(nullptr);
    try {
        RunIconLoader(*state);
    } catch (...) {
        // Out of memory on this thread: it ends; the view's requests wait for the next start.
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return 0;
}

}  // namespace veyra
