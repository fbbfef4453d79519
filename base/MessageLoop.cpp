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

int MessageLoop::Run()
{
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break;
        }
        if (!Filter(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace veyra
