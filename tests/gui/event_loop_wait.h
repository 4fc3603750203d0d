#pragma once

#include <chrono>
#include <functional>

#include <QCoreApplication>
#include <QEventLoop>

namespace konfigor::testing_support {

// Runs the window's event loop until the condition holds. The limit is generous, since CI
// machines are busy, and never a measure of speed.
inline bool waitFor(const std::function<bool()>& condition,
                    std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace konfigor::testing_support
