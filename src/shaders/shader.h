// One GLSL stage whose source lives in a file. Compiling reads the whole file, compiles it and
// prints the driver's log once when the compile fails; the caller only tells a name from 0.
#pragma once

#include "platform/gl.h"

#include <string>

class Shader {
public:
    Shader(GLenum shaderType, std::string sourcePath);

    // The GL shader name on success, 0 when the source cannot be read or does not compile.
    GLuint compile();
    void deleteShader(GLuint shader);

    GLenum shaderType;
    std::string sourcePath;
    GLuint shaderId = 0;
};
