#include "MessageLoop.h"

#include <algorithm>

namespace veyra {

namespace {
thread_local MessageLoop* t_currentLoop = nullptr;
}

MessageLoop::MessageLoop() noexcept : m_previous(t_currentLoop)
{
    t_currentLoop = this;
}

MessageLoop::~MessageLoop()
{
    t_currentLoop = m_previous;
}

MessageLoop* MessageLoop::Current() noexcept
{
    return t_currentLoop;
}

void MessageLoop::AddFilter(MessageFilter* filter)
{
    if (std::find(m_filters.begin(), m_filters.end(), filter) == m_filters.end()) {
        m_filters.push_back(filter);
    }
}

void MessageLoop::RemoveFilter(MessageFilter* filter) noexcept
{
    std::erase(m_filters, filter);
}

bool MessageLoop::HasFilter(const MessageFilter* filter) const noexcept
{
    return std::find(m_filters.begin(), m_filters.end(), filter) != m_filters.end();
}

bool MessageLoop::Filter(MSG& message)
{
    // Copied: a filter may remove itself (its window closing) while it runs.
    const std::vector<MessageFilter*> filters = m_filters;
    for (MessageFilter* filter : filters) {
        if (std::find(m_filters.begin(), m_filters.end(), filter) != m_filters.end() &&
            filter->PreTranslateMessage(message)) {
            return true;
        }
    }
    return false;
}

void MessageLoop::Dispatch(MSG& message)
{
    if (!Filter(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int MessageLoop::Run()
{
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break;
        }
        Dispatch(message);
    }
    return static_cast<int>(message.wParam);
}

bool MessageLoop::RunUntil(const bool& finished)
{
    MSG message{};
    while (!finished) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) {
            return false;
        }
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        Dispatch(message);
    }
    return true;
}

LoopFilterRegistration::~LoopFilterRegistration()
{
    if (m_loop) {
        m_loop->RemoveFilter(m_filter);
    }
}

void LoopFilterRegistration::Join(MessageFilter* filter) noexcept
{
    MessageLoop* loop = MessageLoop::Current();
    if (!loop || m_loop) {
        return;
    }
    try {
        loop->AddFilter(filter);
    } catch (...) {
        return;  // without memory the window runs without its keyboard filter
    }
    m_loop = loop;
    m_filter = filter;
}

}  // namespace veyra
