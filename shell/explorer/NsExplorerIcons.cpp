// NsExplorer: the icon loader's view side. Requests are queued and images applied on the UI thread; the
// loader thread (IconLoader.cpp) makes the images and calls LoadRequestedIcon.

#include "core/shellutil/Thumbnails.h"
#include "shell/explorer/NsExplorer.h"
#include "shell/explorer/ViewMessages.h"

namespace veyra {

namespace {

constexpr DWORD kStopWaitMs = 2000;

ImagePtr MakeThumbnail(const wchar_t* source, int size)
{
    return GetThumbnailImage(source, size);
}

}  // namespace

int NsExplorer::StartIconLoader()
{
    if (m_loaderThread) {
        ResumeIconLoader();
        return 1;
    }
    RefPtr<IconLoaderState> state =
        MakeRef<IconLoaderState>(this, m_ownerKey, m_imageMaker ? m_imageMaker : IconImageMaker(&MakeThumbnail));
    if (!state || !state->CreateEvents()) {
        return 0;
    }
    state->AddRef();  // the thread's reference, adopted by its entry
    HANDLE thread = CreateThread(nullptr, 0, &IconLoaderThreadProc, state.get(), CREATE_SUSPENDED, nullptr);
    if (!thread) {
        state->Release();
        return 0;
    }
    m_loaderThread.reset(thread);
    m_loader = std::move(state);
    ResumeThread(thread);
    return 1;
}

void NsExplorer::ResumeIconLoader()
{
    if (m_loader) {
        m_loader->Resume();
    }
}

void NsExplorer::PauseIconLoader()
{
    if (m_loader) {
        m_loader->Pause();
    }
}

void NsExplorer::StopIconLoader()
{
    if (!m_loader) {
        return;
    }
    m_loader->Stop();
    // Never terminated: a thread caught inside the shell, GDI+ or a lock would leave them broken. One that
    // outlasts the wait ends by itself on what it co-owns, never reaching this view again.
    if (m_loaderThread && WaitForSingleObject(m_loaderThread.get(), kStopWaitMs) != WAIT_OBJECT_0) {
        m_loader->Detach();
    }
    m_loaderThread.reset();
    m_loader.reset();
}

size_t NsExplorer::IconQueueLength()
{
    return m_loader ? m_loader->QueueLength() : 0;
}

int NsExplorer::NeedsLoadedImage(const std::wstring& path) const
{
    return IsPdfPath(path) ? 1 : 0;
}

void NsExplorer::QueueIconRequest(const FileItemRecord& record, int size)
{
    QueueIconRequest(record.path, record.kind == kFileKindFolder ? 1 : 0, size, record.origin);
}

// The UI thread decides by the name and asks the cache; the loader thread resolves the source, since
// probing the sandbox view for thousands of items would hold the window while it fills.
void NsExplorer::QueueIconRequest(const std::wstring& keyPath, int isFolder, int size, int origin)
{
    if (!m_loader) {
        return;
    }
    // A shortcut is decided by its target, which the loader resolves.
    if (!IsShortcutPath(keyPath) && !WantsLoadedImage(keyPath, isFolder)) {
        return;
    }
    if (FindCachedIcon(keyPath, size)) {
        if (NsIcon* item = FindItemByPath(keyPath)) {
            PostMessageW(m_hostWindow, WM_NS_ICON_LOADED, reinterpret_cast<WPARAM>(item), 0);
        }
        return;
    }
    m_loader->Push(IconRequest{size, keyPath, std::wstring(), isFolder, origin});
}

int NsExplorer::LoadRequestedIcon(const IconRequest& request, SharedImage image)
{
    if (m_loader) {
        m_loader->Store(request.keyPath, request.size, std::move(image));
    }
    NsIcon* item = FindItemByPath(request.keyPath);
    if (!item) {
        return 0;
    }
    PostMessageW(m_hostWindow, WM_NS_ICON_LOADED, reinterpret_cast<WPARAM>(item), 0);
    return 1;
}

SharedImage NsExplorer::FindCachedIcon(const std::wstring& keyPath, int size)
{
    return m_loader ? m_loader->Find(keyPath, size) : nullptr;
}

int NsExplorer::ApplyLoadedIcon(NsIcon* item, int size)
{
    std::wstring path;
    {
        ScopedLock lock(m_itemsLock);
        RebuildPositions();
        if (!item || m_positions.count(item) == 0) {
            return 0;  // a message that outlived its item
        }
        path = item->Record().path;
    }
    SharedImage image = FindCachedIcon(path, size);
    if (!image) {
        return 0;
    }
    ScopedLock lock(m_itemsLock);
    if (m_positions.count(item) == 0 || !item->IconControl()) {
        return 0;
    }
    item->IconControl()->SetImage(std::move(image));
    item->Refresh();
    return 1;
}

}  // namespace veyra
