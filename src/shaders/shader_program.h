// A GL program made of one vertex and one fragment stage. A failed link prints the driver's
// log once; the program object is kept all the same, so its name can still be handed out.
#pragma once

#include "platform/gl.h"

class Shader;

class ShaderProgram {
public:
    // programId on success, 0 when the link failed or no program object could be created.
    GLuint link();

    Shader *vertexShader = nullptr;
    Shader *fragmentShader = nullptr;
    GLuint programId = 0;
};
