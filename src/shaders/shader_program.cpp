#include "shaders/shader_program.h"

#include <cstdio>
#include <string>

#include "shaders/shader.h"

namespace {

void printLinkLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length) + 1, '\0');
    glGetProgramInfoLog(program, length, nullptr, log.data());
    std::printf("Shader Program Link Error:\n%s", log.c_str());
}

} // namespace

GLuint ShaderProgram::link() {
    programId = glCreateProgram();
    if (programId == 0) {
        return 0;
    }
    // A stage that failed gives 0, which attaches nothing; the link still runs so that its log
    // shows what the program lacks.
    glAttachShader(programId, vertexShader->compile());
    glAttachShader(programId, fragmentShader->compile());
    glLinkProgram(programId);
    GLint status = 0;
    glGetProgramiv(programId, GL_LINK_STATUS, &status);
    if (status != 0) {
        return programId;
    }
    printLinkLog(programId);
    return 0;
}
