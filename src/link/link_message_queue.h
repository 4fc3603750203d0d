#pragma once

#include "link/link_message.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

namespace konfigor {

// The notifications from the worker to the main thread, in arrival order. The worker pushes,
// the main thread pops; the queue is unbounded, so a main thread that stops draining makes it
// grow, five records at a time.
class LinkMessageQueue {
public:
    static constexpr std::size_t kGrowth = 5;

    void push(const LinkMessage& message);
    // Nothing when empty, without waiting for the lock.
    std::optional<LinkMessage> pop();
    void clear();

    std::size_t size() const { return count_.load(); }
    std::size_t capacity() const;

private:
    mutable std::mutex mutex_; // the packet lock: taken after the link's main lock, never before
    std::vector<LinkMessage> messages_;
    std::atomic<std::size_t> count_ = 0;
};

} // namespace konfigor
