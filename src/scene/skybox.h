// The sky cube of edge 1 around the eye, one texture per face. Drawn first every frame with a
// view that has no translation, so it turns with the camera but never comes closer.
#pragma once

#include "platform/gl.h"

#include <glm/glm.hpp>

class Skybox {
public:
    void build();
    void draw(GLuint program);

    glm::vec3 scale{1.0f, 1.0f, 1.0f};
    GLuint vertexBuffer = 0;
};
