// Every control of the real viewer, driven by XTest and read back from its console and window.
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "viewer_session.h"

#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

namespace {

constexpr float stepLength = 1.0f / 3.0f; // world units per tick: 20 units/step x 1/60
constexpr float poseTolerance = 1e-3f;

const glm::vec3 startPosition{-1.5f, 190.0f, 220.0f};
const glm::vec3 startRotation{-45.0f, -1.5f, 0.0f};

// At the start pose the view is pitched 45 degrees down and turned 1.5 degrees right.
const float pitchCos = std::cos(glm::radians(45.0f));
const float yawSin = std::sin(glm::radians(1.5f));
const float yawCos = std::cos(glm::radians(1.5f));
const glm::vec3 startForward{pitchCos * yawSin, -pitchCos, -pitchCos *yawCos};
const glm::vec3 startRight{yawCos, 0.0f, yawSin};

bool near(const glm::vec3 &a, const glm::vec3 &b, float tolerance = poseTolerance) {
    return glm::length(a - b) <= tolerance;
}

std::string describe(const glm::vec3 &v) {
    return "(" + std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z) +
           ")";
}

class ViewerControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(session.startAndAnswerNo(), "");
        const auto pose = session.nextPose();
        ASSERT_TRUE(pose);
        ASSERT_TRUE(near(pose->position, startPosition));
    }

    // Poses printed while the key is held for some ticks and then until it has settled.
    std::vector<Pose> posesAroundKey(KeySym key, int heldTicks, int ticksAfter) {
        std::vector<Pose> poses{*session.nextPose()};
        setKey(session.x->display, key, true);
        for (int tick = 0; tick < heldTicks; ++tick) {
            poses.push_back(session.nextPose().value_or(poses.back()));
        }
        setKey(session.x->display, key, false);
        for (int tick = 0; tick < ticksAfter; ++tick) {
            poses.push_back(session.nextPose().value_or(poses.back()));
        }
        return poses;
    }

    glm::vec3 rotationAfterPointerAt(int x, int y) {
        const glm::vec3 before = session.nextPose()->rotation;
        movePointer(session.x->display, session.window, x, y);
        const auto turned =
            session.waitForPose([&](const Pose &p) { return p.rotation != before; }, Seconds(3));
        return turned ? turned->rotation : before;
    }

    ViewerSession session;
};

struct MoveCase {
    const char *name;
    KeySym key;
    glm::vec3 direction;
};

class ViewerMovementTest : public ViewerControlsTest,
                           public ::testing::WithParamInterface<MoveCase> {};

TEST_P(ViewerMovementTest, HeldKeyMovesAThirdOfAUnitPerTickAndReleaseStopsIt) {
    const MoveCase &c = GetParam();
    const std::vector<Pose> poses = posesAroundKey(c.key, 15, 30);
    int movingTicks = 0;
    for (std::size_t i = 1; i < poses.size(); ++i) {
        const glm::vec3 step = poses[i].position - poses[i - 1].position;
        if (glm::length(step) == 0.0f) {
            continue;
        }
        ++movingTicks;
        EXPECT_NEAR(glm::length(step), stepLength, poseTolerance) << "tick " << i;
        EXPECT_TRUE(near(glm::normalize(step), c.direction))
            << "tick " << i << " moved along " << describe(glm::normalize(step));
    }
    EXPECT_GE(movingTicks, 5);
    for (std::size_t i = poses.size() - 10; i < poses.size(); ++i) {
        EXPECT_EQ(poses[i].position, poses.back().position) << "still moving after release";
    }
    EXPECT_EQ(poses.back().rotation, startRotation);
}

INSTANTIATE_TEST_SUITE_P(Keys, ViewerMovementTest,
                         ::testing::Values(MoveCase{"w", XK_w, startForward},
                                           MoveCase{"s", XK_s, -startForward},
                                           MoveCase{"a", XK_a, -startRight},
                                           MoveCase{"d", XK_d, startRight}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ViewerControlsTest, ShiftedLettersDoNothing) {
    setKey(session.x->display, XK_Shift_L, true);
    const std::vector<Pose> poses = posesAroundKey(XK_w, 15, 5);
    setKey(session.x->display, XK_Shift_L, false);
    for (const Pose &pose : poses) {
        EXPECT_EQ(pose.position, startPosition);
    }
}

TEST_F(ViewerControlsTest, ResetReturnsToTheStartPose) {
    posesAroundKey(XK_d, 10, 0);
    movePointer(session.x->display, session.window, 460, 260);
    ASSERT_TRUE(session.waitForPose([](const Pose &p) { return p.rotation != startRotation; }));
    const std::vector<Pose> poses = posesAroundKey(XK_r, 3, 3);
    EXPECT_TRUE(near(poses.back().position, startPosition));
    EXPECT_EQ(poses.back().rotation, startRotation);
}

TEST_F(ViewerControlsTest, MouseLookTurnsAQuarterDegreePerPixelWithinThePitchRule) {
    glm::vec3 rotation = rotationAfterPointerAt(440, 300);
    EXPECT_FLOAT_EQ(rotation.y, -1.5f - 10.0f) << "40 pixels right";
    EXPECT_FLOAT_EQ(rotation.x, -45.0f);

    movePointer(session.x->display, session.window, 400, 340);
    session.waitForPose([](const Pose &) { return true; });
    rotation = rotationAfterPointerAt(400, 260);
    EXPECT_FLOAT_EQ(rotation.x, -45.0f + 10.0f) << "down at -45 is refused, 40 up is taken";
    EXPECT_FLOAT_EQ(rotation.y, -11.5f);
}

TEST_F(ViewerControlsTest, ThePointerIsHiddenOverTheWindow) {
    movePointer(session.x->display, session.window, 420, 300);
    ASSERT_TRUE(session.waitForPose([](const Pose &p) { return p.rotation != startRotation; }));
    XFixesCursorImage *cursor = XFixesGetCursorImage(session.x->display);
    ASSERT_NE(cursor, nullptr);
    bool anyVisiblePixel = false;
    for (int i = 0; i < cursor->width * cursor->height; ++i) {
        anyVisiblePixel |= (cursor->pixels[i] >> 24) != 0;
    }
    EXPECT_FALSE(anyVisiblePixel);
    XFree(cursor);
}

// Pixels of rows [firstRow, lastRow) that differ between two pictures of the same size.
int differingPixels(const Screenshot &a, const Screenshot &b, int firstRow, int lastRow) {
    int count = 0;
    for (int y = firstRow; y < lastRow; ++y) {
        for (int x = 0; x < a.width; ++x) {
            count += nearColour(a.at(x, y), b.at(x, y), 8) ? 0 : 1;
        }
    }
    return count;
}

TEST_F(ViewerControlsTest, WireframeTogglesThePictureAndBack) {
    const Screenshot filled = captureWindow(session.x->display, session.window);
    const int all = filled.height;
    // At the start pose the terrain's cells are a pixel or two wide, so the sky shows through
    // only between dense lines.
    const int changedByLines = filled.width * filled.height / 50;
    auto press = [&](KeySym key) {
        setKey(session.x->display, key, true);
        setKey(session.x->display, key, false);
    };
    press(XK_t);
    const Screenshot lines = session.waitForPicture([&](const Screenshot &shot) {
        return differingPixels(filled, shot, 0, all) > changedByLines;
    });
    EXPECT_GT(differingPixels(filled, lines, 0, all), changedByLines);
    EXPECT_EQ(differingPixels(filled, lines, 0, 100), 0)
        << "above the terrain the sky stays filled";
    press(XK_t);
    const Screenshot filledAgain = session.waitForPicture(
        [&](const Screenshot &shot) { return differingPixels(filled, shot, 0, all) == 0; });
    EXPECT_EQ(differingPixels(filled, filledAgain, 0, all), 0);
}

TEST_F(ViewerControlsTest, ResizeResetsThePoseAndFillsTheNewSize) {
    posesAroundKey(XK_w, 10, 0);
    XResizeWindow(session.x->display, session.window, 900, 650);
    XSync(session.x->display, False);
    const auto pose =
        session.waitForPose([](const Pose &p) { return p.position == startPosition; });
    ASSERT_TRUE(pose) << "the pose was not reset";
    // Outside the old 800 x 600 viewport the frame would leave only the clear colour, and an
    // undrawn window is black.
    const Rgba clearColour{0, 178, 255, 255};
    const Rgba black{0, 0, 0, 255};
    auto drawnBeyondTheOldViewport = [&](const Screenshot &shot) {
        return shot.width == 900 && shot.fractionNear(clearColour, 800, 0, 900, 650, 4) < 0.01 &&
               shot.fractionNear(black, 800, 0, 900, 650, 4) < 0.01;
    };
    const Screenshot shot = session.waitForPicture(drawnBeyondTheOldViewport);
    ASSERT_EQ(shot.width, 900);
    ASSERT_EQ(shot.height, 650);
    EXPECT_TRUE(drawnBeyondTheOldViewport(shot));
    EXPECT_LT(shot.fractionNear(clearColour, 0, 600, 900, 650, 4), 0.01);
}

TEST_F(ViewerControlsTest, EscapeExitsWithStatusZeroWhateverIsHeld) {
    setKey(session.x->display, XK_w, true);
    setKey(session.x->display, XK_d, true);
    session.nextPose();
    EXPECT_EQ(session.quit(), 0);
}

TEST(ViewerFullScreenTest, AnsweringYesFillsTheScreenInTheStartPose) {
    ViewerSession session;
    ASSERT_EQ(session.start(), "");
    ASSERT_EQ(session.answer(XK_y), "");
    const auto pose = session.waitForPose([&](const Pose &) {
        const WindowGeometry geometry = windowGeometry(session.x->display, session.window);
        return geometry.width == session.server.width && geometry.height == session.server.height;
    });
    ASSERT_TRUE(pose) << "the window never filled the screen";
    const Pose settled = *session.nextPose();
    EXPECT_EQ(settled.position, startPosition);
    EXPECT_EQ(settled.rotation, startRotation);
    EXPECT_EQ(session.quit(), 0);
}

} // namespace
