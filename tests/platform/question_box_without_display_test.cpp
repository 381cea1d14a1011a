#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

#include "platform/platform.h"

namespace {

// Sets DISPLAY (or removes it, for nullopt) for one test and puts the old value back.
class DisplayVariable {
public:
    explicit DisplayVariable(const std::optional<std::string> &value) {
        if (const char *old = std::getenv("DISPLAY")) {
            previous = old;
        }
        if (value) {
            setenv("DISPLAY", value->c_str(), 1);
        } else {
            unsetenv("DISPLAY");
        }
    }
    ~DisplayVariable() {
        if (previous) {
            setenv("DISPLAY", previous->c_str(), 1);
        } else {
            unsetenv("DISPLAY");
        }
    }
    DisplayVariable(const DisplayVariable &) = delete;
    DisplayVariable &operator=(const DisplayVariable &) = delete;

private:
    std::optional<std::string> previous;
};

struct NoDisplayCase {
    const char *name;
    std::optional<std::string> display;
};

class QuestionBoxWithoutDisplayTest : public ::testing::TestWithParam<NoDisplayCase> {};

TEST_P(QuestionBoxWithoutDisplayTest, Fails) {
    DisplayVariable display(GetParam().display);
    EXPECT_EQ(platform::askYesNo("Would You Like To Run In Fullscreen Mode?", "Start FullScreen?"),
              platform::Answer::failed);
}

INSTANTIATE_TEST_SUITE_P(Displays, QuestionBoxWithoutDisplayTest,
                         ::testing::Values(NoDisplayCase{"Unset", std::nullopt},
                                           NoDisplayCase{"NoServerThere", std::string(":4711")}),
                         [](const ::testing::TestParamInfo<NoDisplayCase> &info) {
                             return info.param.name;
                         });

} // namespace
