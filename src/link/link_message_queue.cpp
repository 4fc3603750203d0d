#include "link/link_message_queue.h"

namespace konfigor {

void LinkMessageQueue::push(const LinkMessage& message) {
    const std::lock_guard lock(mutex_);
    if (messages_.size() == messages_.capacity())
        messages_.reserve(messages_.capacity() + kGrowth);
    messages_.push_back(message);
    count_ = messages_.size();
}

std::optional<LinkMessage> LinkMessageQueue::pop() {
    if (count_.load() == 0)
        return std::nullopt;
    const std::lock_guard lock(mutex_);
    if (messages_.empty())
        return std::nullopt;
    const LinkMessage first = messages_.front();
    messages_.erase(messages_.begin());
    count_ = messages_.size();
    return first;
}

void LinkMessageQueue::clear() {
    const std::lock_guard lock(mutex_);
    messages_.clear();
    count_ = 0;
}

std::size_t LinkMessageQueue::capacity() const {
    const std::lock_guard lock(mutex_);
    return messages_.capacity();
}

} // namespace konfigor
