#include "gl_program_fixture.h"

#include <gtest/gtest.h>
#include <vector>

#include "temp_directory.h"

namespace {

GLuint compileStage(GLenum type, const std::string &source) {
    const GLuint shader = compileUnchecked(type, source);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == 0) {
        std::vector<char> log(4096);
        glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
        ADD_FAILURE() << "test shader does not compile: " << log.data();
    }
    return shader;
}

} // namespace

GLuint compileUnchecked(GLenum type, const std::string &source) {
    const GLuint shader = glCreateShader(type);
    const char *text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    return shader;
}

GLuint buildTestProgram(const std::string &vertexSource, const std::string &fragmentSource) {
    const GLuint program = glCreateProgram();
    glAttachShader(program, compileStage(GL_VERTEX_SHADER, vertexSource));
    glAttachShader(program, compileStage(GL_FRAGMENT_SHADER, fragmentSource));
    glLinkProgram(program);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status == 0) {
        std::vector<char> log(4096);
        glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
        ADD_FAILURE() << "test program does not link: " << log.data();
        return 0;
    }
    return program;
}

GLuint buildShippedBasicProgram() {
    const std::string shaders = sourceDirectory() + "/Resources/Shaders/";
    return buildTestProgram(readFile(shaders + "Basic.vs"), readFile(shaders + "Basic.fs"));
}

std::string sourceDirectory() {
    return VIEWER_SOURCE_DIR;
}
