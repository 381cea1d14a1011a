#include "app/frame_timer.h"

#include "platform/platform.h"

void FrameTimer::start() {
    frequency = platform::counterFrequency();
    startCount = platform::readCounter();
}

void FrameTimer::stop() {
    endCount = platform::readCounter();
    elapsedMs = millisecondsBetween(startCount, endCount, frequency);
}

double FrameTimer::millisecondsBetween(std::int64_t startCount, std::int64_t endCount,
                                       std::int64_t frequency) {
    const float scaledTicks = float(double(endCount - startCount)) * 1000.0f;
    return double(scaledTicks / float(double(frequency)));
}
