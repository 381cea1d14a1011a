#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "platform/platform.h"

namespace {

TEST(MonotonicCounterTest, CountsNanoseconds) {
    EXPECT_EQ(platform::counterFrequency(), 1000000000);
}

TEST(MonotonicCounterTest, NeverGoesBack) {
    std::int64_t previous = platform::readCounter();
    for (int i = 0; i < 100000; ++i) {
        const std::int64_t now = platform::readCounter();
        ASSERT_GE(now, previous) << "after " << i << " readings";
        previous = now;
    }
}

// The counter and its frequency together must give real time, whatever unit they use.
TEST(MonotonicCounterTest, FrequencyTurnsCountsIntoSeconds) {
    const auto wallStart = std::chrono::steady_clock::now();
    const std::int64_t start = platform::readCounter();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::int64_t end = platform::readCounter();
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double counterSeconds =
        static_cast<double>(end - start) / static_cast<double>(platform::counterFrequency());
    EXPECT_GE(counterSeconds, 0.050);
    EXPECT_NEAR(counterSeconds, wallSeconds, 0.005);
}

} // namespace
