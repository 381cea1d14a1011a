// The free-fly camera: an eye position and Euler angles in degrees. Its axes come from the view
// matrix of the last frame, so a turn steers movement from the tick after the next frame.
#pragma once

#include <glm/glm.hpp>

class Camera {
public:
    void reset();
    void moveForward(float step);
    void moveBackward(float step);
    void moveLeft(float step);
    void moveRight(float step);
    void pitchUp(float amount);
    void pitchDown(float amount);
    void yawLeft(float amount);
    void yawRight(float amount);
    void rollLeft(float amount);
    void rollRight(float amount);
    void setMoveSpeed(float value);
    void setRotateSpeed(float value);
    void updateAxes();
    glm::mat4 getViewMatrix();

    static constexpr glm::vec3 startPosition{-1.5f, 190.0f, 220.0f}; // world units
    static constexpr glm::vec3 startRotation{-45.0f, -1.5f, 0.0f};   // degrees: pitch, yaw, roll

    glm::vec3 position = startPosition;
    float moveSpeed = 20.0f; // world units per unit of step
    glm::vec3 rotation = startRotation;
    float rotateSpeed = 0.5f; // degrees per unit of amount
    glm::mat4 viewMatrix{1.0f};
    glm::vec3 xAxis{0.0f}; // right, world space
    glm::vec3 yAxis{0.0f}; // up
    glm::vec3 zAxis{0.0f}; // backward: the camera looks along -zAxis
    bool movingBackward = false;
};
