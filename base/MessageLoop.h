#pragma once
// A thread's message loop with pre-dispatch filters (IsDialogMessageW for modeless skinned windows,
// accelerator-like key handling of the desktop). A loop registers itself as its thread's current loop
// for as long as it exists, so windows created on that thread (including the boxes a worker thread
// raises) can add their filter to it. Filters run in the order added; the first that consumes a
// message ends its dispatch.

#include <windows.h>

#include <vector>

namespace veyra {

class MessageFilter {
public:
    // Returns true when the message was consumed and must not be dispatched.
    virtual bool PreTranslateMessage(MSG& message) = 0;

protected:
    ~MessageFilter() = default;
};

class MessageLoop {
public:
    MessageLoop() noexcept;
    ~MessageLoop();
    MessageLoop(const MessageLoop&) = delete;
    MessageLoop& operator=(const MessageLoop&) = delete;

    // The loop registered for the calling thread, or nullptr.
    static MessageLoop* Current() noexcept;

    void AddFilter(MessageFilter* filter);
    void RemoveFilter(MessageFilter* filter) noexcept;
    [[nodiscard]] bool HasFilter(const MessageFilter* filter) const noexcept;

    // Runs until WM_QUIT; returns its exit code.
    int Run();
    // A modal loop: runs until `finished` holds (checked after each message) and returns true; on WM_QUIT
    // it posts the quit again for the loop outside and returns false.
    bool RunUntil(const bool& finished);

private:
    bool Filter(MSG& message);
    void Dispatch(MSG& message);

    std::vector<MessageFilter*> m_filters;
    MessageLoop* m_previous;
};

// A window's filter in the loop of the thread that made it, from Join until this goes.
class LoopFilterRegistration {
public:
    LoopFilterRegistration() = default;
    LoopFilterRegistration(const LoopFilterRegistration&) = delete;
    LoopFilterRegistration& operator=(const LoopFilterRegistration&) = delete;
    ~LoopFilterRegistration();

    // Adds `filter` to the calling thread's current loop, when there is one.
    void Join(MessageFilter* filter) noexcept;

private:
    MessageLoop* m_loop = nullptr;
    MessageFilter* m_filter = nullptr;
};

}  // namespace veyra
