#include "app/frame_rendering.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "app/frame_timer.h"
#include "app/scene_state.h"
#include "controls/camera.h"
#include "scene/skybox.h"
#include "scene/terrain.h"

namespace {

constexpr float fieldOfView = 45.0f; // radians, not degrees: see frameProjection
constexpr float nearPlane = 0.1f;    // world units
constexpr float farPlane = 10000.0f; // world units
constexpr float fixedStep = 1.0f / 60.0f;

void uploadMatrix(const char *name, const glm::mat4 &matrix) {
    glUniformMatrix4fv(glGetUniformLocation(basicProgram, name), 1, GL_FALSE,
                       glm::value_ptr(matrix));
}

} // namespace

glm::mat4 frameProjection(int width, int height) {
    return glm::perspective(fieldOfView, float(width) / float(height), nearPlane, farPlane);
}

glm::mat4 withoutTranslation(const glm::mat4 &view) {
    return glm::mat4(glm::mat3(view));
}

void onDisplay() {
    frameTimer->start();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const glm::mat4 projection = frameProjection(windowWidth, windowHeight);
    const glm::mat4 view = camera->getViewMatrix();
    glUseProgram(basicProgram);
    uploadMatrix("projectionMatrix", projection);

    // The sky is drawn first, around the eye, and the terrain over it: no depth test.
    uploadMatrix("viewMatrix", withoutTranslation(camera->getViewMatrix()));
    skybox->draw(basicProgram);
    if (wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
    uploadMatrix("viewMatrix", view);
    terrain->draw(basicProgram);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    glUseProgram(0);
    frameTimer->stop();
    deltaTime = fixedStep;
    glutSwapBuffers();
}
