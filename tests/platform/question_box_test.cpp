// Drives the real question box on the X display with XTest, as a user would. Each box runs in
// a child process so that one which never answers is killed instead of hanging the test.
// clang-format off
// GoogleTest before Xlib, whose macro None breaks GoogleTest's templates.
#include <gtest/gtest.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/question_box_layout.h"
#include "x11_window_finder.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace std::chrono_literals;
using x11test::waitUntil;

constexpr std::chrono::milliseconds boundedWait = 10s;
const std::string question = "Would You Like To Run In Fullscreen Mode?";

// Exit codes of the child that shows the box; apart from 1, which sanitizers use.
int exitCodeOf(platform::Answer answer) {
    return 10 + static_cast<int>(answer);
}

std::string nameOfExitCode(int code) {
    switch (code - 10) {
    case static_cast<int>(platform::Answer::yes):
        return "yes";
    case static_cast<int>(platform::Answer::no):
        return "no";
    case static_cast<int>(platform::Answer::failed):
        return "failed";
    default:
        return "exit code " + std::to_string(code);
    }
}

class QuestionBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        display = x11test::openDisplay(boundedWait);
        ASSERT_NE(display, nullptr) << "no X display within 10 s: run the tests under xvfb-run";
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor))
            << "the X display has no XTest extension";
    }

    void TearDown() override {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        if (display != nullptr) {
            XCloseDisplay(display);
        }
    }

    // Shows the box in a child process and waits until it appears and holds the keyboard
    // focus. The caption is unique, so boxes of other tests on the same display are not found.
    void showBox() {
        caption = std::string("Start FullScreen? ") +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + " " +
                  std::to_string(getpid());
        std::fflush(stdout);
        std::fflush(stderr);
        child = fork();
        ASSERT_GE(child, 0) << "fork failed";
        if (child == 0) {
            // exit, not _exit: the leak check of a sanitized build runs on the way out.
            std::exit(exitCodeOf(platform::askYesNo(question, caption)));
        }
        window = x11test::waitForWindowByTitle(display, caption, boundedWait);
        ASSERT_NE(window, None) << "no window titled \"" << caption << "\" within 10 s";
        ASSERT_TRUE(x11test::waitForInputFocus(display, window, boundedWait))
            << "the box did not take the keyboard focus within 10 s";
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        width = attributes.width;
        height = attributes.height;
    }

    // "yes", "no" or "failed" as the box answered, or what else became of the child.
    std::string waitForOutcome() {
        int status = 0;
        const bool ended =
            waitUntil([&] { return waitpid(child, &status, WNOHANG) == child; }, boundedWait);
        if (!ended) {
            return "still open after 10 s";
        }
        child = -1;
        if (WIFSIGNALED(status)) {
            return "killed by signal " + std::to_string(WTERMSIG(status));
        }
        return nameOfExitCode(WEXITSTATUS(status));
    }

    platform::BoxRectangle yesButton() const { return platform::yesButtonRectangle(width, height); }
    platform::BoxRectangle noButton() const { return platform::noButtonRectangle(width, height); }

    void moveTo(const platform::BoxRectangle &r) {
        int x = 0, y = 0;
        Window unused = None;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), r.x + r.width / 2,
                              r.y + r.height / 2, &x, &y, &unused);
        XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    }

    // The left button goes down on one button and comes up on the other.
    void dragBetween(const platform::BoxRectangle &from, const platform::BoxRectangle &to) {
        moveTo(from);
        XTestFakeButtonEvent(display, Button1, True, CurrentTime);
        moveTo(to);
        XTestFakeButtonEvent(display, Button1, False, CurrentTime);
        XFlush(display);
    }

    void clickCentreOf(const platform::BoxRectangle &r) {
        x11test::clickAt(display, window, r.x + r.width / 2, r.y + r.height / 2);
    }

    std::vector<unsigned long> pixelsOf(const platform::BoxRectangle &r) {
        XImage *image = XGetImage(display, window, r.x, r.y, static_cast<unsigned>(r.width),
                                  static_cast<unsigned>(r.height), AllPlanes, ZPixmap);
        std::vector<unsigned long> pixels;
        if (image == nullptr) {
            return pixels;
        }
        for (int y = 0; y < r.height; ++y) {
            for (int x = 0; x < r.width; ++x) {
                pixels.push_back(XGetPixel(image, x, y));
            }
        }
        XDestroyImage(image);
        return pixels;
    }

    Display *display = nullptr;
    pid_t child = -1;
    std::string caption;
    Window window = None;
    int width = 0; // pixels
    int height = 0;
};

TEST_F(QuestionBoxTest, AppearsCentredAsAFocusedDialogTitledByTheCaption) {
    ASSERT_NO_FATAL_FAILURE(showBox());
    EXPECT_EQ(x11test::wmName(display, window), caption);
    EXPECT_EQ(x11test::netWmName(display, window), caption);

    const Window root = DefaultRootWindow(display);
    int x = 0, y = 0;
    Window unused = None;
    XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &unused);
    const int screen = DefaultScreen(display);
    EXPECT_EQ(x, (DisplayWidth(display, screen) - width) / 2);
    EXPECT_EQ(y, (DisplayHeight(display, screen) - height) / 2);

    Window transientFor = None;
    EXPECT_NE(XGetTransientForHint(display, window, &transientFor), 0);
    EXPECT_EQ(transientFor, root);

    Atom type = None, actualType = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char *data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), 0, 1,
                       False, XA_ATOM, &actualType, &format, &count, &remaining, &data);
    if (data != nullptr) {
        type = count == 1 ? *reinterpret_cast<Atom *>(data) : None;
        XFree(data);
    }
    EXPECT_EQ(type, XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False));

    x11test::pressKey(display, XK_n);
    EXPECT_EQ(waitForOutcome(), "no");
}

TEST_F(QuestionBoxTest, TabMovesTheDrawnFocusToTheOtherButtonAndBack) {
    ASSERT_NO_FATAL_FAILURE(showBox());
    const std::vector<unsigned long> yesFocused = pixelsOf(yesButton());
    const std::vector<unsigned long> noUnfocused = pixelsOf(noButton());
    ASSERT_FALSE(yesFocused.empty());

    x11test::pressKey(display, XK_Tab);
    EXPECT_TRUE(waitUntil(
        [&] { return pixelsOf(yesButton()) != yesFocused && pixelsOf(noButton()) != noUnfocused; },
        boundedWait))
        << "both buttons should be drawn anew when the focus moves";

    x11test::pressKey(display, XK_Tab);
    EXPECT_TRUE(waitUntil(
        [&] { return pixelsOf(yesButton()) == yesFocused && pixelsOf(noButton()) == noUnfocused; },
        boundedWait))
        << "a second Tab should bring back the first picture";

    x11test::pressKey(display, XK_n);
    EXPECT_EQ(waitForOutcome(), "no");
}

enum class Step {
    keyY,
    keyN,
    keyReturn,
    keySpace,
    keyTab,
    clickYes,
    clickNo,
    clickGap,
    dragNoToYes,
    close
};

struct AnswerCase {
    const char *name;
    std::vector<Step> steps;
    const char *expected;
};

class QuestionBoxAnswerTest : public QuestionBoxTest,
                              public ::testing::WithParamInterface<AnswerCase> {
protected:
    void perform(Step step) {
        const platform::BoxRectangle yes = yesButton();
        switch (step) {
        case Step::keyY:
            return x11test::pressKey(display, XK_y);
        case Step::keyN:
            return x11test::pressKey(display, XK_n);
        case Step::keyReturn:
            return x11test::pressKey(display, XK_Return);
        case Step::keySpace:
            return x11test::pressKey(display, XK_space);
        case Step::keyTab:
            return x11test::pressKey(display, XK_Tab);
        case Step::clickYes:
            return clickCentreOf(yes);
        case Step::clickNo:
            return clickCentreOf(noButton());
        case Step::clickGap:
            return x11test::clickAt(display, window, yes.x + yes.width + platform::buttonGap / 2,
                                    yes.y + yes.height / 2);
        case Step::dragNoToYes:
            return dragBetween(noButton(), yes);
        case Step::close:
            return x11test::requestClose(display, window);
        }
    }
};

TEST_P(QuestionBoxAnswerTest, Answers) {
    ASSERT_NO_FATAL_FAILURE(showBox());
    for (Step step : GetParam().steps) {
        perform(step);
    }
    EXPECT_EQ(waitForOutcome(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Input, QuestionBoxAnswerTest,
    ::testing::Values(
        AnswerCase{"KeyY", {Step::keyY}, "yes"}, AnswerCase{"KeyN", {Step::keyN}, "no"},
        AnswerCase{"ReturnOnTheFirstFocus", {Step::keyReturn}, "yes"},
        AnswerCase{"SpaceOnTheFirstFocus", {Step::keySpace}, "yes"},
        AnswerCase{"TabThenReturn", {Step::keyTab, Step::keyReturn}, "no"},
        AnswerCase{"TabTwiceThenReturn", {Step::keyTab, Step::keyTab, Step::keyReturn}, "yes"},
        AnswerCase{"ClickOnYes", {Step::clickYes}, "yes"},
        AnswerCase{"ClickOnNo", {Step::clickNo}, "no"},
        AnswerCase{"ClickBetweenButtonsAnswersNothing", {Step::clickGap, Step::keyN}, "no"},
        AnswerCase{"PressOnNoReleaseOnYesAnswersNothing", {Step::dragNoToYes, Step::keyN}, "no"},
        // Only an explicit No is a No.
        AnswerCase{"ClosedWithoutChoosing", {Step::close}, "failed"}),
    [](const ::testing::TestParamInfo<AnswerCase> &info) { return info.param.name; });

} // namespace
