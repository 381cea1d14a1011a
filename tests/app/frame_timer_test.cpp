#include <gtest/gtest.h>

#include "app/frame_timer.h"
#include "app/window_placement.h"

namespace {

struct ElapsedCase {
    const char *name;
    std::int64_t start;
    std::int64_t end;
    std::int64_t frequency;
    double expectedMs;
};

class FrameTimerElapsedTest : public ::testing::TestWithParam<ElapsedCase> {};

TEST_P(FrameTimerElapsedTest, ConvertsTicksToMillisecondsInSinglePrecision) {
    const ElapsedCase &c = GetParam();
    EXPECT_EQ(FrameTimer::millisecondsBetween(c.start, c.end, c.frequency), c.expectedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameTimerElapsedTest,
    ::testing::Values(ElapsedCase{"oneTickAt400Hz", 7, 8, 400, 2.5},
                      ElapsedCase{"equalReadings", 123456789, 123456789, 1000000000, 0.0},
                      // 16777217 * 1000 has more than 24 significant bits: the product is
                      // rounded to 16777216000 before dividing.
                      ElapsedCase{"productRoundedTo24Bits", 0, 16777217, 1000, 16777216.0},
                      ElapsedCase{"oneSecondOfNanoseconds", 0, 1000000000, 1000000000, 1000.0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FrameTimerTest, MeasuresWithTheMonotonicNanosecondCounter) {
    FrameTimer timer;
    timer.start();
    EXPECT_EQ(timer.frequency, 1000000000);
    timer.stop();
    EXPECT_GE(timer.endCount, timer.startCount);
    EXPECT_GE(timer.elapsedMs, 0.0);
    EXPECT_LT(timer.elapsedMs, 1000.0);
}

TEST(FrameTimerTest, StoppingTwiceMeasuresFromTheSameStart) {
    FrameTimer timer;
    timer.start();
    const std::int64_t started = timer.startCount;
    timer.stop();
    const std::int64_t firstEnd = timer.endCount;
    timer.stop();
    EXPECT_EQ(timer.startCount, started);
    EXPECT_GE(timer.endCount, firstEnd);
    EXPECT_EQ(timer.elapsedMs,
              FrameTimer::millisecondsBetween(started, timer.endCount, timer.frequency));
}

struct CentringCase {
    int screen;
    int window;
    int origin;
};

class WindowPlacementTest : public ::testing::TestWithParam<CentringCase> {};

TEST_P(WindowPlacementTest, CentresWithDivisionTruncatingTowardZero) {
    const CentringCase &c = GetParam();
    EXPECT_EQ(centredOrigin(c.screen, c.window), c.origin);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowPlacementTest,
                         ::testing::Values(CentringCase{1920, 800, 560},
                                           CentringCase{1080, 600, 240},
                                           CentringCase{700, 800, -50}, CentringCase{799, 800, 0},
                                           CentringCase{801, 800, 0}));

} // namespace
