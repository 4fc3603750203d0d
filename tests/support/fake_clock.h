#pragma once

#include "link/clock.h"

#include <atomic>
#include <thread>

namespace konfigor::testing_support {

// Time that moves only when told. Sleeping moves it by the time slept at once, so code that
// paces itself with sleeps runs without waiting; the yield lets a worker thread that loops on
// it leave the other threads room.
class FakeClock final : public Clock {
public:
    explicit FakeClock(Milliseconds start = Milliseconds{1'000}) : now_(start.count()) {}

    Milliseconds now() const override { return Milliseconds{now_.load()}; }
    void sleepFor(Milliseconds duration) override {
        advance(duration);
        slept_ += duration.count();
        std::this_thread::yield();
    }

    void advance(Milliseconds duration) { now_ += duration.count(); }
    // All the time slept so far.
    Milliseconds slept() const { return Milliseconds{slept_.load()}; }

private:
    std::atomic<Milliseconds::rep> now_;
    std::atomic<Milliseconds::rep> slept_ = 0;
};

} // namespace konfigor::testing_support
