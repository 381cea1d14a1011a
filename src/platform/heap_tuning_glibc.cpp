#include <malloc.h>

#include "platform/platform.h"

namespace {

constexpr int trimThresholdBytes = 512 * 1024 * 1024; // free heap top kept before trimming
constexpr int topPadBytes = 64 * 1024 * 1024;         // extra heap asked for at each growth

} // namespace

void platform::keepFreedMemoryForReuse() {
    mallopt(M_TRIM_THRESHOLD, trimThresholdBytes);
    mallopt(M_TOP_PAD, topPadBytes);
}
