#include <gtest/gtest.h>
#include <string>

#include "console_capture.h"
#include "shader_test_support.h"
#include "shaders/shader.h"
#include "shaders/shader_program.h"

namespace {

class ShaderProgramTest : public ShaderFolderTest {
protected:
    // Writes the pair and links it; the console output of the link.
    std::string linkPair(const std::string &vertexSource, const std::string &fragmentSource) {
        writeShader("Pair.vs", vertexSource);
        writeShader("Pair.fs", fragmentSource);
        program.vertexShader = &vertexShader;
        program.fragmentShader = &fragmentShader;
        return captureConsole([&] { result = program.link(); });
    }

    GLint programParameter(GLenum parameter) {
        GLint value = -1;
        glGetProgramiv(program.programId, parameter, &value);
        return value;
    }

    Shader vertexShader{GL_VERTEX_SHADER, shaderPath("Pair.vs")};
    Shader fragmentShader{GL_FRAGMENT_SHADER, shaderPath("Pair.fs")};
    ShaderProgram program;
    GLuint result = 12345;
};

TEST_F(ShaderProgramTest, FittingPairLinksSilently) {
    const std::string console = linkPair(glsl::vertex, glsl::fragment);

    EXPECT_EQ(console, "");
    ASSERT_NE(result, 0u);
    EXPECT_EQ(result, program.programId);
    EXPECT_EQ(programParameter(GL_LINK_STATUS), GL_TRUE);
    EXPECT_EQ(programParameter(GL_ATTACHED_SHADERS), 2);
}

TEST_F(ShaderProgramTest, LinkWarningsPrintNothing) {
    // Mesa hands back a cached link without its log; a text of its own per run keeps this link
    // cold, so the warning really is there.
    const std::string console = linkPair(glsl::vertex, glsl::fragmentReadingUnwrittenVarying +
                                                           std::string("// ") + folder.path);

    char log[4096] = {};
    glGetProgramInfoLog(program.programId, sizeof log - 1, nullptr, log);
    ASSERT_STRNE(log, "") << "no warning from this driver, so the case shows nothing";
    EXPECT_EQ(console, "");
    EXPECT_EQ(result, program.programId);
    EXPECT_EQ(programParameter(GL_LINK_STATUS), GL_TRUE);
}

TEST_F(ShaderProgramTest, StagesThatDoNotFitPrintOnlyTheLinkError) {
    const std::string console = linkPair(glsl::vertex, glsl::fragmentWithMismatchedVarying);

    const std::string log = driverLinkLog(glsl::vertex, glsl::fragmentWithMismatchedVarying);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(console, "Shader Program Link Error:\n" + log);
    EXPECT_EQ(result, 0u);
    // The failed program object stays, so its name can still be handed out.
    EXPECT_NE(program.programId, 0u);
    EXPECT_EQ(programParameter(GL_LINK_STATUS), GL_FALSE);
}

TEST_F(ShaderProgramTest, MessagesComeVertexThenFragmentThenLink) {
    // The vertex stage fails, so only the fragment stage is attached, and it lacks main.
    const std::string console = linkPair(glsl::vertexWithSyntaxError, glsl::fragmentWithoutMain);

    const std::string vertexLog = driverCompileLog(GL_VERTEX_SHADER, glsl::vertexWithSyntaxError);
    const std::string fragmentAloneLog = driverLinkLog(nullptr, glsl::fragmentWithoutMain);
    ASSERT_FALSE(fragmentAloneLog.empty());
    EXPECT_EQ(console, "Shader Compile Error:\n" + vertexLog + "Shader Program Link Error:\n" +
                           fragmentAloneLog);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(programParameter(GL_ATTACHED_SHADERS), 1);
}

TEST_F(ShaderProgramTest, BothStagesFailingAreReportedInStageOrder) {
    const std::string console =
        linkPair(glsl::vertexWithSyntaxError, glsl::fragmentWithSyntaxError);

    const std::string expected =
        "Shader Compile Error:\n" +
        driverCompileLog(GL_VERTEX_SHADER, glsl::vertexWithSyntaxError) +
        "Shader Compile Error:\n" +
        driverCompileLog(GL_FRAGMENT_SHADER, glsl::fragmentWithSyntaxError);
    // Nothing is attached, and the driver links an empty program without complaint.
    EXPECT_EQ(console, expected);
    EXPECT_EQ(programParameter(GL_ATTACHED_SHADERS), 0);
}

} // namespace
