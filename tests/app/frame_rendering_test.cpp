// The frame and the reshape handler against a real GL context.
#include <cmath>
#include <gtest/gtest.h>

#include "app/frame_rendering.h"
#include "app/scene_state.h"
#include "controls/camera.h"
#include "controls/input_handlers.h"
#include "gl_program_fixture.h"
#include "gl_test_environment.h"
#include "scene/skybox.h"
#include "scene/terrain.h"
#include "temp_directory.h"

namespace {

// Receives the matrices the frame uploads and discards every fragment, so only the clear colour
// shows.
constexpr const char *uniformProbeVertex = R"(#version 330
layout(location = 0) in vec3 position;
uniform mat4 modelMatrix;
uniform mat4 viewMatrix;
uniform mat4 projectionMatrix;
void main() { gl_Position = projectionMatrix * viewMatrix * modelMatrix * vec4(position, 1.0); }
)";
constexpr const char *uniformProbeFragment = R"(#version 330
void main() { discard; }
)";

glm::mat4 uniformMatrix(GLuint program, const char *name) {
    glm::mat4 matrix(0.0f);
    glGetUniformfv(program, glGetUniformLocation(program, name), &matrix[0][0]);
    return matrix;
}

class FrameRenderingTest : public ::testing::Test {
protected:
    void SetUp() override {
        sceneTerrain = terrain;
        terrain = new Terrain("Terrain.png", "HeightMap.raw", 1, 1);
        terrain->build();
        skybox->build();
        glClearColor(0.0f, 0.7f, 1.0f, 1.0f);
        basicProgram = buildTestProgram(uniformProbeVertex, uniformProbeFragment);
        *camera = Camera();
        windowWidth = testWindowWidth;
        windowHeight = testWindowHeight;
        wireframe = false;
        deltaTime = 0.0f;
    }
    void TearDown() override {
        glDeleteProgram(basicProgram);
        delete terrain;
        terrain = sceneTerrain;
    }
    Terrain *sceneTerrain = nullptr;
    TempDirectory folder;
};

TEST_F(FrameRenderingTest, ClearsToTheSkyColourAndSetsTheFixedStep) {
    onDisplay();
    EXPECT_EQ(readPixel(400, 300), (Rgba{0, 178, 255, 255}));
    EXPECT_EQ(readPixel(0, 0), (Rgba{0, 178, 255, 255}));
    EXPECT_EQ(deltaTime, 1.0f / 60.0f);
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0) << "no program stays current after a frame";
}

TEST_F(FrameRenderingTest, UploadsTheProjectionWith45TakenInRadians) {
    onDisplay();
    const glm::mat4 projection = uniformMatrix(basicProgram, "projectionMatrix");
    const float near = 0.1f;
    const float far = 10000.0f;
    const float halfAngleTangent = std::tan(22.5f);
    const float aspect = 800.0f / 600.0f;
    glm::mat4 expected(0.0f);
    expected[0][0] = 1.0f / (aspect * halfAngleTangent);
    expected[1][1] = 1.0f / halfAngleTangent;
    expected[2][2] = -(far + near) / (far - near);
    expected[2][3] = -1.0f;
    expected[3][2] = -2.0f * far * near / (far - near);
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            EXPECT_NEAR(projection[column][row], expected[column][row], 1e-5f)
                << "column " << column << " row " << row;
        }
    }
}

TEST_F(FrameRenderingTest, TheTerrainGetsTheFullViewAfterTheSkyGotItsRotation) {
    camera->position = glm::vec3(5.0f, 6.0f, 7.0f);
    onDisplay();
    // The last upload of the frame wins: the full view, translation included.
    const glm::mat4 view = uniformMatrix(basicProgram, "viewMatrix");
    EXPECT_EQ(view, camera->viewMatrix);
    const glm::mat4 skyView = withoutTranslation(view);
    EXPECT_EQ(skyView[3], glm::vec4(0, 0, 0, 1));
    EXPECT_EQ(glm::mat3(skyView), glm::mat3(view));
}

TEST_F(FrameRenderingTest, WireframeNeverOutlivesTheFrame) {
    wireframe = true;
    onDisplay();
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
}

TEST_F(FrameRenderingTest, ReshapeOfHeightZeroGivesAOnePixelViewport) {
    camera->position = glm::vec3(0.0f);
    onReshape(640, 0);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 1);
    EXPECT_EQ(windowWidth, 640);
    EXPECT_EQ(windowHeight, 1);
    EXPECT_EQ(camera->position, Camera::startPosition) << "every reshape resets the pose";
    EXPECT_TRUE(std::isfinite(frameProjection(windowWidth, windowHeight)[0][0]));
    onReshape(testWindowWidth, testWindowHeight);
}

TEST_F(FrameRenderingTest, ReshapeChangesTheNextFramesAspect) {
    onReshape(400, 400);
    onDisplay();
    const glm::mat4 projection = uniformMatrix(basicProgram, "projectionMatrix");
    EXPECT_NEAR(projection[0][0], projection[1][1], 1e-6f);
    onReshape(testWindowWidth, testWindowHeight);
}

} // namespace
