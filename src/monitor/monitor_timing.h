#pragma once

#include <array>
#include <chrono>

namespace sornel {

// The waits of the workers: each slot's start delay, and how long a minute of the refresh
// period lasts. Production uses the values below; tests shorten them.
struct MonitorTiming {
    std::array<std::chrono::milliseconds, 3> startDelays{std::chrono::milliseconds(0),
                                                         std::chrono::milliseconds(180000),
                                                         std::chrono::milliseconds(360000)};
    std::chrono::milliseconds minute{60000};
};

} // namespace sornel
