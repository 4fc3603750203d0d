#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace konfigor::testing_support {

// Waits for a condition that another thread brings about. The limit is generous, since CI
// machines are busy, and never a measure of speed.
inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace konfigor::testing_support
