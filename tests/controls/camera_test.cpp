#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "controls/camera.h"

namespace {

constexpr float tolerance = 1e-5f;
constexpr float frameStep = 1.0f / 60.0f;

void expectNear(const glm::vec3 &actual, const glm::vec3 &expected, float within = tolerance) {
    EXPECT_NEAR(actual.x, expected.x, within);
    EXPECT_NEAR(actual.y, expected.y, within);
    EXPECT_NEAR(actual.z, expected.z, within);
}

void expectNear(const glm::mat4 &actual, const glm::mat4 &expected, float within = tolerance) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            EXPECT_NEAR(actual[column][row], expected[column][row], within)
                << "column " << column << " row " << row;
        }
    }
}

TEST(CameraTest, StartsInItsStartPose) {
    const Camera camera;
    EXPECT_EQ(camera.position, glm::vec3(-1.5f, 190.0f, 220.0f));
    EXPECT_EQ(camera.moveSpeed, 20.0f);
    EXPECT_EQ(camera.rotation, glm::vec3(-45.0f, -1.5f, 0.0f));
    EXPECT_EQ(camera.rotateSpeed, 0.5f);
    EXPECT_EQ(camera.viewMatrix, glm::mat4(1.0f));
    EXPECT_EQ(camera.xAxis, glm::vec3(0.0f));
    EXPECT_EQ(camera.yAxis, glm::vec3(0.0f));
    EXPECT_EQ(camera.zAxis, glm::vec3(0.0f));
    EXPECT_FALSE(camera.movingBackward);
}

TEST(CameraTest, ViewMatrixAtOriginWithoutRotationIsIdentity) {
    Camera camera;
    camera.position = glm::vec3(0.0f);
    camera.rotation = glm::vec3(0.0f);
    EXPECT_EQ(camera.getViewMatrix(), glm::mat4(1.0f));
}

TEST(CameraTest, ViewMatrixTranslatesByMinusPosition) {
    Camera camera;
    camera.position = glm::vec3(1.0f, 2.0f, 3.0f);
    camera.rotation = glm::vec3(0.0f);
    const glm::mat4 view = camera.getViewMatrix();
    EXPECT_EQ(glm::mat3(view), glm::mat3(1.0f));
    EXPECT_EQ(view[3], glm::vec4(-1.0f, -2.0f, -3.0f, 1.0f));
}

TEST(CameraTest, StartPoseLooksDownAndSlightlyRight) {
    Camera camera;
    const glm::mat4 view = camera.getViewMatrix();
    const glm::mat4 pitch = glm::rotate(glm::mat4(1.0f), glm::radians(45.0f), {1, 0, 0});
    const glm::mat4 yaw = glm::rotate(glm::mat4(1.0f), glm::radians(1.5f), {0, 1, 0});
    const glm::mat4 expected = pitch * yaw * glm::translate(glm::mat4(1.0f), {1.5f, -190, -220});
    expectNear(view, expected, 1e-3f);
    EXPECT_EQ(camera.getViewMatrix(), view) << "a second call with no change must match";
    EXPECT_EQ(camera.viewMatrix, view);
}

TEST(CameraTest, AxesBeforeAnyViewMatrixAreTheWorldAxes) {
    Camera camera;
    camera.updateAxes();
    EXPECT_EQ(camera.xAxis, glm::vec3(1, 0, 0));
    EXPECT_EQ(camera.yAxis, glm::vec3(0, 1, 0));
    EXPECT_EQ(camera.zAxis, glm::vec3(0, 0, 1));
}

TEST(CameraTest, MoveBeforeFirstAxesUpdateGoesNowhere) {
    Camera camera;
    camera.moveForward(1.0f);
    camera.moveRight(1.0f);
    EXPECT_EQ(camera.position, Camera::startPosition);
}

struct AxesCase {
    const char *name;
    glm::vec3 rotation;
    glm::vec3 xAxis;
    glm::vec3 yAxis;
    glm::vec3 zAxis;
};

class CameraAxesTest : public ::testing::TestWithParam<AxesCase> {};

TEST_P(CameraAxesTest, AxesAreRowsOfTheViewRotation) {
    const AxesCase &c = GetParam();
    Camera camera;
    camera.rotation = c.rotation;
    camera.getViewMatrix();
    camera.updateAxes();
    expectNear(camera.xAxis, c.xAxis);
    expectNear(camera.yAxis, c.yAxis);
    expectNear(camera.zAxis, c.zAxis);
}

const float halfRootThree = std::sqrt(3.0f) / 2.0f;

INSTANTIATE_TEST_SUITE_P(
    Rotations, CameraAxesTest,
    ::testing::Values(
        AxesCase{"yaw90", {0, 90, 0}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
        AxesCase{
            "pitch30", {30, 0, 0}, {1, 0, 0}, {0, halfRootThree, 0.5f}, {0, -0.5f, halfRootThree}},
        AxesCase{"roll90", {0, 0, 90}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CameraTest, ForwardAtYaw90GoesTowardsMinusX) {
    Camera camera;
    camera.position = glm::vec3(0.0f);
    camera.rotation = glm::vec3(0.0f, 90.0f, 0.0f);
    camera.getViewMatrix();
    camera.updateAxes();
    camera.moveForward(frameStep);
    expectNear(camera.position, {-20.0f / 60.0f, 0.0f, 0.0f});
}

TEST(CameraTest, OneFrameStepMovesAThirdOfAUnitAlongEachAxis) {
    Camera camera;
    camera.getViewMatrix();
    camera.updateAxes();
    EXPECT_NEAR(camera.xAxis.y, 0.0f, tolerance) << "the right axis stays level";
    EXPECT_NEAR(camera.yAxis.y, std::sqrt(0.5f), tolerance) << "up tilts by 45 degrees";
    EXPECT_NEAR(camera.zAxis.y, std::sqrt(0.5f), tolerance) << "so does backward";
    const glm::vec3 forward = -camera.zAxis;

    struct Move {
        void (Camera::*move)(float);
        glm::vec3 direction;
        bool movingBackward;
    };
    const Move moves[] = {{&Camera::moveForward, forward, false},
                          {&Camera::moveBackward, -forward, true},
                          {&Camera::moveLeft, -camera.xAxis, false},
                          {&Camera::moveRight, camera.xAxis, false}};
    for (const Move &m : moves) {
        Camera moved = camera;
        (moved.*m.move)(frameStep);
        const glm::vec3 travelled = moved.position - camera.position;
        EXPECT_NEAR(glm::length(travelled), 1.0f / 3.0f, 1e-4f);
        expectNear(glm::normalize(travelled), m.direction, 1e-4f);
        EXPECT_EQ(moved.movingBackward, m.movingBackward);
    }
}

TEST(CameraTest, ZeroStepStillSetsTheDirectionFlag) {
    Camera camera;
    camera.getViewMatrix();
    camera.updateAxes();
    camera.moveBackward(0.0f);
    EXPECT_TRUE(camera.movingBackward);
    camera.moveForward(0.0f);
    EXPECT_FALSE(camera.movingBackward);
    EXPECT_EQ(camera.position, Camera::startPosition);
}

TEST(CameraTest, ResetRestoresThePoseOnly) {
    Camera camera;
    camera.getViewMatrix();
    camera.updateAxes();
    camera.moveForward(1.0f);
    camera.yawLeft(10.0f);
    camera.setMoveSpeed(5.0f);
    const glm::mat4 oldView = camera.viewMatrix;
    const glm::vec3 oldZ = camera.zAxis;
    camera.reset();
    EXPECT_EQ(camera.position, Camera::startPosition);
    EXPECT_EQ(camera.rotation, Camera::startRotation);
    EXPECT_EQ(camera.moveSpeed, 5.0f);
    EXPECT_EQ(camera.viewMatrix, oldView);
    EXPECT_EQ(camera.zAxis, oldZ);
}

TEST(CameraTest, RotationStepsScaleByRotateSpeed) {
    Camera camera;
    camera.rotation = glm::vec3(0.0f);
    camera.setRotateSpeed(2.0f);
    camera.pitchUp(1.0f);
    camera.yawLeft(2.0f);
    camera.rollLeft(3.0f);
    EXPECT_EQ(camera.rotation, glm::vec3(2.0f, 4.0f, 6.0f));
    camera.pitchDown(1.0f);
    camera.yawRight(2.0f);
    camera.rollRight(3.0f);
    EXPECT_EQ(camera.rotation, glm::vec3(0.0f));
}

} // namespace
