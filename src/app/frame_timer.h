// Measures how long one frame's drawing takes with the monotonic counter. Nothing steers by it:
// camera movement uses a fixed step per tick.
#pragma once

#include <cstdint>

class FrameTimer {
public:
    void start();
    void stop();

    // Single-precision arithmetic, as the figure is only ever a rough frame cost.
    static double millisecondsBetween(std::int64_t startCount, std::int64_t endCount,
                                      std::int64_t frequency);

    double elapsedMs = 0.0;
    std::int64_t frequency = 0;  // counts per second
    std::int64_t startCount = 0; // counts
    std::int64_t endCount = 0;   // counts
};
