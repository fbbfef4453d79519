#pragma once
// Polling for a state another process or thread brings about, with a time limit so a fault fails the
// test instead of hanging it.

#include <chrono>
#include <functional>
#include <thread>

namespace veyra::test {

// Polls `done` until it holds or `timeout` passes; its last answer.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(15),
                    std::chrono::milliseconds poll = std::chrono::milliseconds(20))
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(poll);
    }
    return done();
}

}  // namespace veyra::test
