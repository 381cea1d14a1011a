#include "controls/camera.h"

#include <glm/gtc/matrix_transform.hpp>

void Camera::reset() {
    position = startPosition;
    rotation = startRotation;
}

void Camera::moveForward(float step) {
    position += ((-zAxis) * moveSpeed) * step;
    movingBackward = false;
}

void Camera::moveBackward(float step) {
    position -= ((-zAxis) * moveSpeed) * step;
    movingBackward = true;
}

void Camera::moveLeft(float step) {
    position -= (xAxis * moveSpeed) * step;
}

void Camera::moveRight(float step) {
    position += (xAxis * moveSpeed) * step;
}

void Camera::pitchUp(float amount) {
    rotation.x += rotateSpeed * amount;
}

void Camera::pitchDown(float amount) {
    rotation.x -= rotateSpeed * amount;
}

void Camera::yawLeft(float amount) {
    rotation.y += rotateSpeed * amount;
}

void Camera::yawRight(float amount) {
    rotation.y -= rotateSpeed * amount;
}

void Camera::rollLeft(float amount) {
    rotation.z += rotateSpeed * amount;
}

void Camera::rollRight(float amount) {
    rotation.z -= rotateSpeed * amount;
}

void Camera::setMoveSpeed(float value) {
    moveSpeed = value;
}

void Camera::setRotateSpeed(float value) {
    rotateSpeed = value;
}

// Rows of the view rotation are the camera's own axes in world space.
void Camera::updateAxes() {
    glm::vec3 *axes[] = {&xAxis, &yAxis, &zAxis};
    for (int row = 0; row < 3; ++row) {
        *axes[row] =
            glm::normalize(glm::vec3(viewMatrix[0][row], viewMatrix[1][row], viewMatrix[2][row]));
    }
}

glm::mat4 Camera::getViewMatrix() {
    viewMatrix = glm::mat4(1.0f);
    viewMatrix = glm::rotate(viewMatrix, -glm::radians(rotation.x), glm::vec3(1.0f, 0.0f, 0.0f));
    viewMatrix = glm::rotate(viewMatrix, -glm::radians(rotation.y), glm::vec3(0.0f, 1.0f, 0.0f));
    viewMatrix = glm::rotate(viewMatrix, -glm::radians(rotation.z), glm::vec3(0.0f, 0.0f, 1.0f));
    viewMatrix = glm::translate(viewMatrix, -position);
    return viewMatrix;
}
