#include "shader_test_support.h"

#include <utility>
#include <vector>

#include "gl_program_fixture.h"
#include "platform/resource_paths.h"

namespace glsl {

const char *const vertex = "#version 330\n"
                           "layout(location = 0) in vec3 position;\n"
                           "out vec2 texCoordOut;\n"
                           "void main() {\n"
                           "    texCoordOut = position.xy;\n"
                           "    gl_Position = vec4(position, 1.0);\n"
                           "}\n";
const char *const fragment = "#version 330\n"
                             "in vec2 texCoordOut;\n"
                             "out vec4 colour;\n"
                             "void main() { colour = vec4(texCoordOut, 0.0, 1.0); }\n";
const char *const fragmentReadingUnwrittenVarying =
    "#version 330\n"
    "in vec2 neverWritten;\n"
    "out vec4 colour;\n"
    "void main() { colour = vec4(neverWritten, 0.0, 1.0); }\n";
const char *const fragmentWithMismatchedVarying =
    "#version 330\n"
    "in vec3 texCoordOut;\n"
    "out vec4 colour;\n"
    "void main() { colour = vec4(texCoordOut, 1.0); }\n";
const char *const fragmentWithoutMain = "#version 330\n"
                                        "out vec4 colour;\n"
                                        "void paint() { colour = vec4(1.0); }\n";
const char *const vertexWithSyntaxError = "#version 330\n"
                                          "void main() {\n"
                                          "    gl_Position = ;\n"
                                          "}\n";
const char *const vertexWithUndeclaredName = "#version 330\n"
                                             "void main() { gl_Position = undeclared; }\n";
const char *const fragmentWithSyntaxError = "#version 330\n"
                                            "out vec4 colour;\n"
                                            "void main() { colour = vec4(1.0) }\n";

} // namespace glsl

namespace {

GLint shaderStatus(GLuint shader) {
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    return status;
}

} // namespace

std::string driverCompileLog(GLenum type, const std::string &source) {
    const GLuint shader = compileUnchecked(type, source);
    EXPECT_EQ(shaderStatus(shader), GL_FALSE) << "expected a compile failure for:\n" << source;
    std::vector<char> log(16384, '\0');
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()) - 1, nullptr, log.data());
    glDeleteShader(shader);
    return log.data();
}

std::string driverLinkLog(const char *vertexSource, const char *fragmentSource) {
    const GLuint program = glCreateProgram();
    for (const auto &[type, source] : {std::pair{GL_VERTEX_SHADER, vertexSource},
                                       std::pair{GL_FRAGMENT_SHADER, fragmentSource}}) {
        if (source == nullptr) {
            continue;
        }
        const GLuint shader = compileUnchecked(type, source);
        EXPECT_EQ(shaderStatus(shader), GL_TRUE) << "expected this source to compile:\n" << source;
        glAttachShader(program, shader);
        // Only flagged: the program keeps it alive until the program goes.
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    std::vector<char> log(16384, '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()) - 1, nullptr, log.data());
    glDeleteProgram(program);
    return log.data();
}

std::string shaderPath(const std::string &fileName) {
    return shaderDirectory + fileName;
}
