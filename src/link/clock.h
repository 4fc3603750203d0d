#pragma once

#include <chrono>
#include <cstdint>

namespace konfigor {

// Time as the link measures it: steady milliseconds since an arbitrary start. The count is 64
// bits wide so that deadlines compare with a plain "<" for the program's whole life; a 32-bit
// tick would wrap after 49.7 days and turn every "is it still before" into a wrap-aware test.
class Clock {
public:
    using Milliseconds = std::chrono::duration<std::int64_t, std::milli>;

    virtual ~Clock() = default;

    // Never goes back.
    virtual Milliseconds now() const = 0;
    // Pauses the calling thread for about the given time.
    virtual void sleepFor(Milliseconds duration) = 0;
};

} // namespace konfigor
