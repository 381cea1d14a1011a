// The monotonic counter on POSIX: CLOCK_MONOTONIC never jumps with wall-clock changes, and
// counting in nanoseconds gives a fixed rate that needs no query.
#include <time.h>

#include "platform/platform.h"

namespace platform {

namespace {
constexpr std::int64_t nanosecondsPerSecond = 1000000000;
}

std::int64_t readCounter() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * nanosecondsPerSecond + now.tv_nsec;
}

std::int64_t counterFrequency() {
    return nanosecondsPerSecond;
}

} // namespace platform
