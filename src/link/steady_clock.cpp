#include "link/steady_clock.h"

#include <thread>

namespace konfigor {

Clock::Milliseconds SteadyClock::now() const {
    return std::chrono::duration_cast<Milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void SteadyClock::sleepFor(Milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace konfigor
