// The key and mouse rules need no window: they only touch the scene state.
#include <algorithm>
#include <gtest/gtest.h>

#include "app/scene_state.h"
#include "controls/camera.h"
#include "controls/input_handlers.h"

namespace {

class InputHandlersTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::fill(keyStates, keyStates + keyTableSize, 0);
        std::fill(specialKeyStates, specialKeyStates + keyTableSize, 0);
        *camera = Camera();
        camera->getViewMatrix();
        camera->updateAxes();
        windowWidth = 800;
        windowHeight = 600;
        justWarped = false;
        wireframe = false;
        deltaTime = 1.0f / 60.0f;
    }
};

TEST_F(InputHandlersTest, KeysSetAndClearTheirOwnFlag) {
    onKeyDown('w', 0, 0);
    EXPECT_EQ(keyStates['w'], 1);
    onKeyUp('W', 0, 0);
    EXPECT_EQ(keyStates['w'], 1) << "a key-up of W must not release w";
    onKeyUp('w', 0, 0);
    EXPECT_EQ(keyStates['w'], 0);
}

TEST_F(InputHandlersTest, UpperCaseLettersDoNothing) {
    for (unsigned char key : {'W', 'S', 'A', 'D', 'R', 'T'}) {
        onKeyDown(key, 0, 0);
    }
    updateMovement();
    EXPECT_EQ(camera->position, Camera::startPosition);
    EXPECT_FALSE(wireframe);
}

TEST_F(InputHandlersTest, EveryKeyDownOfTTogglesWireframe) {
    onKeyDown('t', 0, 0);
    EXPECT_TRUE(wireframe);
    onKeyDown('t', 0, 0); // auto-repeat delivers key-downs without key-ups
    EXPECT_FALSE(wireframe);
    onKeyUp('t', 0, 0);
    EXPECT_EQ(keyStates['t'], 0);
}

TEST_F(InputHandlersTest, EscapeExitsWithStatusZero) {
    onKeyDown('w', 0, 0);
    EXPECT_EXIT(onKeyDown(27, 0, 0), ::testing::ExitedWithCode(0), "");
}

TEST_F(InputHandlersTest, SpecialKeysOutsideTheTableAreIgnored) {
    onSpecialKeyDown(GLUT_KEY_F1, 0, 0);
    EXPECT_EQ(specialKeyStates[GLUT_KEY_F1], 1);
    onSpecialKeyUp(GLUT_KEY_F1, 0, 0);
    EXPECT_EQ(specialKeyStates[GLUT_KEY_F1], 0);
    for (int key : {-1, keyTableSize, 100000}) {
        onSpecialKeyDown(key, 0, 0);
        onSpecialKeyUp(key, 0, 0);
    }
    EXPECT_TRUE(std::all_of(specialKeyStates, specialKeyStates + keyTableSize,
                            [](unsigned char flag) { return flag == 0; }));
}

TEST_F(InputHandlersTest, OnlyAFlagOfExactlyOneCountsAsHeld) {
    keyStates['w'] = 2;
    updateMovement();
    EXPECT_EQ(camera->position, Camera::startPosition);
}

TEST_F(InputHandlersTest, ForwardAndBackwardInOneTickCancel) {
    onKeyDown('w', 0, 0);
    onKeyDown('s', 0, 0);
    updateMovement();
    EXPECT_NEAR(glm::length(camera->position - Camera::startPosition), 0.0f, 1e-4f);
    EXPECT_TRUE(camera->movingBackward) << "s is applied after w";
}

TEST_F(InputHandlersTest, ResetComesBeforeTheMoveOfTheSameTick) {
    camera->position = glm::vec3(0.0f);
    onKeyDown('r', 0, 0);
    onKeyDown('w', 0, 0);
    updateMovement();
    EXPECT_NEAR(glm::length(camera->position - Camera::startPosition), 1.0f / 3.0f, 1e-4f);
}

TEST_F(InputHandlersTest, NoStepBeforeTheFirstFrame) {
    deltaTime = 0.0f;
    onKeyDown('d', 0, 0);
    updateMovement();
    EXPECT_EQ(camera->position, Camera::startPosition);
}

struct MouseCase {
    const char *name;
    int width;
    float pitchBefore;
    int x;
    int y;
    float pitchAfter;
    float yawChange;
};

class MouseLookTest : public InputHandlersTest, public ::testing::WithParamInterface<MouseCase> {};

TEST_P(MouseLookTest, TurnsByAQuarterDegreePerPixelWithinThePitchRule) {
    const MouseCase &c = GetParam();
    windowWidth = c.width;
    camera->rotation.x = c.pitchBefore;
    const float yawBefore = camera->rotation.y;
    EXPECT_TRUE(applyMouseLook(c.x, c.y));
    EXPECT_FLOAT_EQ(camera->rotation.x, c.pitchAfter);
    EXPECT_FLOAT_EQ(camera->rotation.y, yawBefore + c.yawChange);
    EXPECT_TRUE(justWarped);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MouseLookTest,
    ::testing::Values(MouseCase{"rightLowersYaw", 800, -45.0f, 440, 300, -45.0f, -10.0f},
                      MouseCase{"downAtLowerLimitKeepsPitch", 800, -45.0f, 400, 340, -45.0f, 0.0f},
                      MouseCase{"upAtLowerLimitRaisesPitch", 800, -45.0f, 400, 260, -35.0f, 0.0f},
                      MouseCase{"upNearUpperLimitOvershoots", 800, 44.5f, 400, 280, 49.5f, 0.0f},
                      MouseCase{"upBeyondUpperLimitStays", 800, 49.5f, 400, 280, 49.5f, 0.0f},
                      MouseCase{"downBeyondUpperLimitLowers", 800, 49.5f, 400, 320, 44.5f, 0.0f},
                      MouseCase{"atCentreChangesNothing", 800, 10.0f, 400, 300, 10.0f, 0.0f},
                      MouseCase{"oddWidthCentreTruncates", 801, 0.0f, 401, 300, 0.0f, -0.25f}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(InputHandlersTest, TheEventAfterAWarpIsSkippedWhateverItsOffset) {
    EXPECT_TRUE(applyMouseLook(500, 300));
    const glm::vec3 turned = camera->rotation;
    EXPECT_FALSE(applyMouseLook(0, 0));
    EXPECT_EQ(camera->rotation, turned);
    EXPECT_FALSE(justWarped);
    EXPECT_TRUE(applyMouseLook(401, 300));
    EXPECT_FLOAT_EQ(camera->rotation.y, turned.y - 0.25f);
    EXPECT_EQ(mouseDeltaX, 1);
    EXPECT_EQ(mouseDeltaY, 0);
}

} // namespace
