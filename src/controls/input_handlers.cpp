#include "controls/input_handlers.h"

#include <cstdio>
#include <cstdlib>

#include "app/scene_state.h"
#include "controls/camera.h"

namespace {

constexpr unsigned char escapeKey = 27;

bool isHeld(unsigned char key) {
    return keyStates[key] == 1;
}

// Special-key codes come from the window system; one outside the table is dropped rather than
// written past it.
void setSpecialKey(int key, unsigned char state) {
    if (key >= 0 && key < keyTableSize) {
        specialKeyStates[key] = state;
    }
}

void warpPointerToCentre() {
    glutWarpPointer(windowWidth / 2, windowHeight / 2);
}

} // namespace

void onKeyDown(unsigned char key, int, int) {
    keyStates[key] = 1;
    if (key == escapeKey) {
        std::exit(0);
    }
    if (key == 't') {
        wireframe = !wireframe;
    }
}

void onKeyUp(unsigned char key, int, int) {
    keyStates[key] = 0;
}

void onSpecialKeyDown(int key, int, int) {
    setSpecialKey(key, 1);
}

void onSpecialKeyUp(int key, int, int) {
    setSpecialKey(key, 0);
}

bool applyMouseLook(int x, int y) {
    if (justWarped) {
        justWarped = false;
        return false;
    }
    mouseDeltaX = x - windowWidth / 2;
    mouseDeltaY = y - windowHeight / 2;
    // The limit is tested before the change and only towards the side the pointer moves, so
    // the pitch may overshoot by one event and then only come back.
    glm::vec3 &rotation = camera->rotation;
    if ((rotation.x < pitchLimit && mouseDeltaY < 0) ||
        (rotation.x > -pitchLimit && mouseDeltaY > 0)) {
        rotation.x -= float(mouseDeltaY) * mouseSensitivity;
    }
    rotation.y -= float(mouseDeltaX) * mouseSensitivity;
    justWarped = true;
    return true;
}

void onPassiveMotion(int x, int y) {
    glutSetCursor(GLUT_CURSOR_NONE);
    if (applyMouseLook(x, y)) {
        warpPointerToCentre();
    }
    glutPostRedisplay();
}

void onReshape(int width, int height) {
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    windowWidth = width;
    windowHeight = height;
    warpPointerToCentre();
    camera->reset();
}

void updateMovement() {
    if (isHeld('r')) {
        camera->reset();
    }
    if (isHeld('w')) {
        camera->moveForward(deltaTime);
    }
    if (isHeld('s')) {
        camera->moveBackward(deltaTime);
    }
    if (isHeld('a')) {
        camera->moveLeft(deltaTime);
    }
    if (isHeld('d')) {
        camera->moveRight(deltaTime);
    }
}

void onIdle() {
    camera->updateAxes();
    const glm::vec3 &position = camera->position;
    const glm::vec3 &rotation = camera->rotation;
    std::printf("CamPos : %f,%f,%f\n", position.x, position.y, position.z);
    std::printf("CamRot : %f,%f,%f\n", rotation.x, rotation.y, rotation.z);
    updateMovement();
    glutPostRedisplay();
}
