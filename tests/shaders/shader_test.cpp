#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "console_capture.h"
#include "shader_test_support.h"
#include "shaders/shader.h"

namespace {

class ShaderTest : public ShaderFolderTest {};

std::string sourceHeldByGl(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_SHADER_SOURCE_LENGTH, &length);
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    glGetShaderSource(shader, length, nullptr, text.data());
    return std::string(text.data());
}

TEST_F(ShaderTest, SuccessfulCompilePrintsNothingAndReturnsItsShaderId) {
    writeShader("Good.vs", glsl::vertex);
    Shader shader(GL_VERTEX_SHADER, shaderPath("Good.vs"));
    GLuint result = 0;

    const std::string console = captureConsole([&] { result = shader.compile(); });

    EXPECT_EQ(console, "");
    ASSERT_NE(result, 0u);
    EXPECT_EQ(result, shader.shaderId);
    GLint status = GL_FALSE;
    glGetShaderiv(result, GL_COMPILE_STATUS, &status);
    EXPECT_EQ(status, GL_TRUE);
    GLint type = 0;
    glGetShaderiv(result, GL_SHADER_TYPE, &type);
    EXPECT_EQ(type, GL_VERTEX_SHADER);
}

TEST_F(ShaderTest, SyntaxErrorPrintsHeaderLineThenTheDriversLog) {
    writeShader("Broken.fs", glsl::fragmentWithSyntaxError);
    Shader shader(GL_FRAGMENT_SHADER, shaderPath("Broken.fs"));
    GLuint result = 1;

    const std::string console = captureConsole([&] { result = shader.compile(); });

    const std::string log = driverCompileLog(GL_FRAGMENT_SHADER, glsl::fragmentWithSyntaxError);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(console, "Shader Compile Error:\n" + log);
    EXPECT_EQ(result, 0u);
    // The failed object is kept, not deleted.
    EXPECT_EQ(glIsShader(shader.shaderId), GL_TRUE);
}

// The driver must get the file's bytes exactly: terminated right after the last byte, nothing
// dropped or added.
struct SourceFileCase {
    const char *name;
    std::string bytes;
};

class ShaderSourceTest : public ShaderFolderTest,
                         public ::testing::WithParamInterface<SourceFileCase> {};

TEST_P(ShaderSourceTest, DriverReceivesTheFileBytesExactly) {
    writeShader("Stage.vs", GetParam().bytes);
    Shader shader(GL_VERTEX_SHADER, shaderPath("Stage.vs"));

    captureConsole([&] { shader.compile(); });

    ASSERT_NE(shader.shaderId, 0u);
    GLint length = 0;
    glGetShaderiv(shader.shaderId, GL_SHADER_SOURCE_LENGTH, &length);
    EXPECT_EQ(length, static_cast<GLint>(GetParam().bytes.size()) + 1);
    EXPECT_EQ(sourceHeldByGl(shader.shaderId), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ShaderSourceTest,
    ::testing::Values(
        SourceFileCase{"NoFinalLineEnd", "#version 330\nvoid main() { gl_Position = vec4(0.0); }"},
        SourceFileCase{"CarriageReturns",
                       "#version 330\r\nvoid main() {\r\n gl_Position = vec4(1.0);\r\n}\r\n"},
        SourceFileCase{"Empty", ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ShaderTest, EmptyFileFailsAsTheDriverFailsAnEmptyText) {
    writeShader("Empty.vs", "");
    Shader shader(GL_VERTEX_SHADER, shaderPath("Empty.vs"));
    GLuint result = 1;

    const std::string console = captureConsole([&] { result = shader.compile(); });

    EXPECT_EQ(console, "Shader Compile Error:\n" + driverCompileLog(GL_VERTEX_SHADER, ""));
    EXPECT_EQ(result, 0u);
}

// A stage whose file is missing or is not a regular file says so in one line and gives 0.
struct UnreadableCase {
    const char *name;
    const char *fileName;
    bool makeDirectory;
};

class UnreadableSourceTest : public ShaderFolderTest,
                             public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableSourceTest, PrintsOneLineNamingThePathAndReturnsZero) {
    makeDirectories(shaderPath(""));
    if (GetParam().makeDirectory) {
        makeDirectories(shaderPath(GetParam().fileName));
    }
    Shader shader(GL_FRAGMENT_SHADER, shaderPath(GetParam().fileName));
    GLuint result = 1;

    const std::string console = captureConsole([&] { result = shader.compile(); });

    EXPECT_EQ(console, "Cannot read shader source: " + shaderPath(GetParam().fileName) + "\n");
    EXPECT_EQ(result, 0u);
}

INSTANTIATE_TEST_SUITE_P(Paths, UnreadableSourceTest,
                         ::testing::Values(UnreadableCase{"Missing", "Orphan.fs", false},
                                           UnreadableCase{"Directory", "Extra.fs", true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ShaderTest, NoShaderObjectReturnsZeroWithoutTouchingTheFile) {
    // glCreateShader gives 0 for a type that is not a stage; the missing file would be reported
    // if the compile went on to read it.
    Shader shader(GL_TEXTURE_2D, shaderPath("Missing.vs"));
    GLuint result = 1;

    const std::string console = captureConsole([&] { result = shader.compile(); });

    EXPECT_EQ(console, "");
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(shader.shaderId, 0u);
    while (glGetError() != GL_NO_ERROR) {
    }
}

TEST_F(ShaderTest, DeleteShaderDeletesTheNamePassedIn) {
    writeShader("Good.vs", glsl::vertex);
    Shader shader(GL_VERTEX_SHADER, shaderPath("Good.vs"));
    captureConsole([&] { shader.compile(); });
    const GLuint other = glCreateShader(GL_FRAGMENT_SHADER);

    shader.deleteShader(other);

    EXPECT_EQ(glIsShader(other), GL_FALSE);
    EXPECT_EQ(glIsShader(shader.shaderId), GL_TRUE);
}

} // namespace
