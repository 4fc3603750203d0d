#pragma once

#include "link/clock.h"

namespace konfigor {

// The system's monotonic clock; unaffected by changes of the wall-clock time.
class SteadyClock final : public Clock {
public:
    Milliseconds now() const override;
    void sleepFor(Milliseconds duration) override;
};

} // namespace konfigor
