#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "console_capture.h"
#include "gl_program_fixture.h"
#include "shader_test_support.h"
#include "shaders/shader.h"
#include "shaders/shader_manager.h"
#include "shaders/shader_program.h"

namespace {

// The manager is one instance for the whole binary, so every test starts and ends with an
// empty table. The tests free what they drop; the viewer itself never drops a program.
class ShaderManagerTest : public ShaderFolderTest {
protected:
    void SetUp() override { releasePrograms(); }
    void TearDown() override { releasePrograms(); }

    void releasePrograms() {
        glUseProgram(0);
        for (auto &[name, program] : manager->programs) {
            if (program != nullptr) {
                glDeleteProgram(program->programId);
                glDeleteShader(program->vertexShader->shaderId);
                glDeleteShader(program->fragmentShader->shaderId);
                delete program->vertexShader;
                delete program->fragmentShader;
                delete program;
            }
        }
        manager->programs.clear();
    }

    std::string load() {
        return captureConsole([&] { manager->loadShaders(); });
    }

    std::vector<std::string> programNames() const {
        std::vector<std::string> names;
        for (const auto &entry : manager->programs) {
            names.push_back(entry.first);
        }
        return names;
    }

    GLint currentProgram() const {
        GLint current = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        return current;
    }

    ShaderManager *manager = ShaderManager::getInstance();
};

std::string compileError(GLenum type, const char *source) {
    return "Shader Compile Error:\n" + driverCompileLog(type, source);
}

std::string cannotRead(const std::string &fileName) {
    return "Cannot read shader source: " + shaderPath(fileName) + "\n";
}

const std::string longName(240, 'L');

// What a folder holds, which programs the manager files for it, and what the console shows.
struct FolderCase {
    const char *name;
    bool makeFolder;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> subdirectories;
    std::vector<std::string> expectedPrograms;
    std::string (*expectedConsole)();
};

class ShaderFolderCaseTest : public ShaderManagerTest,
                             public ::testing::WithParamInterface<FolderCase> {};

TEST_P(ShaderFolderCaseTest, FilesEveryNameAndReportsInNameOrder) {
    const FolderCase &folderCase = GetParam();
    if (folderCase.makeFolder) {
        makeDirectories(shaderPath(""));
    }
    for (const auto &[fileName, source] : folderCase.files) {
        writeShader(fileName, source);
    }
    for (const std::string &subdirectory : folderCase.subdirectories) {
        makeDirectories(shaderPath(subdirectory));
    }

    const std::string console = load();

    EXPECT_EQ(console, folderCase.expectedConsole());
    EXPECT_EQ(programNames(), folderCase.expectedPrograms);
    for (const auto &[name, program] : manager->programs) {
        ASSERT_NE(program, nullptr) << name;
        EXPECT_NE(program->programId, 0u) << name;
        EXPECT_EQ(program->vertexShader->sourcePath, shaderPath(name + ".vs"));
        EXPECT_EQ(program->vertexShader->shaderType, static_cast<GLenum>(GL_VERTEX_SHADER));
        EXPECT_EQ(program->fragmentShader->sourcePath, shaderPath(name + ".fs"));
        EXPECT_EQ(program->fragmentShader->shaderType, static_cast<GLenum>(GL_FRAGMENT_SHADER));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ShaderFolderCaseTest,
    ::testing::Values(
        FolderCase{"OnePair",
                   true,
                   {{"Basic.vs", glsl::vertex}, {"Basic.fs", glsl::fragment}},
                   {},
                   {"Basic"},
                   [] { return std::string(); }},
        FolderCase{"BasicBuildsBeforeWater",
                   true,
                   {{"Water.vs", glsl::vertexWithUndeclaredName},
                    {"Water.fs", glsl::fragment},
                    {"Basic.vs", glsl::vertexWithSyntaxError},
                    {"Basic.fs", glsl::fragment}},
                   {},
                   {"Basic", "Water"},
                   [] {
                       return compileError(GL_VERTEX_SHADER, glsl::vertexWithSyntaxError) +
                              compileError(GL_VERTEX_SHADER, glsl::vertexWithUndeclaredName);
                   }},
        FolderCase{"CapitalWaterBuildsBeforeSmallBasic",
                   true,
                   {{"basic.vs", glsl::vertexWithSyntaxError},
                    {"basic.fs", glsl::fragment},
                    {"Water.vs", glsl::vertexWithUndeclaredName},
                    {"Water.fs", glsl::fragment}},
                   {},
                   {"Water", "basic"},
                   [] {
                       return compileError(GL_VERTEX_SHADER, glsl::vertexWithUndeclaredName) +
                              compileError(GL_VERTEX_SHADER, glsl::vertexWithSyntaxError);
                   }},
        FolderCase{
            "StagesThatDoNotFit",
            true,
            {{"Mismatch.vs", glsl::vertex}, {"Mismatch.fs", glsl::fragmentWithMismatchedVarying}},
            {},
            {"Mismatch"},
            [] {
                return "Shader Program Link Error:\n" +
                       driverLinkLog(glsl::vertex, glsl::fragmentWithMismatchedVarying);
            }},
        FolderCase{"LoneStageFile",
                   true,
                   {{"Orphan.vs", glsl::vertex}},
                   {},
                   {"Orphan"},
                   [] { return cannotRead("Orphan.fs"); }},
        FolderCase{"SubdirectoryBesideAPair",
                   true,
                   {{"Basic.vs", glsl::vertex}, {"Basic.fs", glsl::fragment}},
                   {"Extra.fs"},
                   {"Basic", "Extra"},
                   [] { return cannotRead("Extra.vs") + cannotRead("Extra.fs"); }},
        FolderCase{"NameShorterThanAnExtension",
                   true,
                   {{"ab", glsl::vertex}},
                   {},
                   {"ab"},
                   [] { return cannotRead("ab.vs") + cannotRead("ab.fs"); }},
        FolderCase{"LongName",
                   true,
                   {{longName + ".vs", glsl::vertex}, {longName + ".fs", glsl::fragment}},
                   {},
                   {longName},
                   [] { return std::string(); }},
        FolderCase{"EmptyFolder", true, {}, {}, {}, [] { return std::string(); }},
        FolderCase{"NoFolder", false, {}, {}, {}, [] { return std::string(); }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ShaderManagerTest, GetInstanceAlwaysGivesTheSameManager) {
    EXPECT_EQ(ShaderManager::getInstance(), manager);
    EXPECT_NE(manager, nullptr);
}

TEST_F(ShaderManagerTest, ProgramWhoseLinkFailedIsStillHandedOut) {
    writeShader("Mismatch.vs", glsl::vertex);
    writeShader("Mismatch.fs", glsl::fragmentWithMismatchedVarying);
    load();

    const GLuint program = manager->getProgram("Mismatch");

    ASSERT_NE(program, 0u);
    EXPECT_EQ(program, manager->programs.at("Mismatch")->programId);
    GLint status = GL_TRUE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    EXPECT_EQ(status, GL_FALSE);
}

class LoadedBasicTest : public ShaderManagerTest {
protected:
    void SetUp() override {
        ShaderManagerTest::SetUp();
        writeShader("Basic.vs", glsl::vertex);
        writeShader("Basic.fs", glsl::fragment);
        ASSERT_EQ(load(), "");
        basic = manager->getProgram("Basic");
        ASSERT_NE(basic, 0u);
    }

    GLuint basic = 0;
};

TEST_F(LoadedBasicTest, UnknownNameGivesZeroAndAddsNoEntry) {
    EXPECT_EQ(manager->getProgram("Water"), 0u);
    // Names compare exactly, letter case included.
    EXPECT_EQ(manager->getProgram("basic"), 0u);
    EXPECT_EQ(programNames(), std::vector<std::string>{"Basic"});
}

TEST_F(LoadedBasicTest, UseProgramMakesTheNamedProgramCurrent) {
    manager->useProgram("Basic");

    EXPECT_EQ(currentProgram(), static_cast<GLint>(basic));
}

TEST_F(LoadedBasicTest, UseProgramOfUnknownNameLeavesTheCurrentProgram) {
    glUseProgram(basic);

    manager->useProgram("Water");

    EXPECT_EQ(currentProgram(), static_cast<GLint>(basic));
    EXPECT_EQ(programNames(), std::vector<std::string>{"Basic"});
}

TEST_F(LoadedBasicTest, DeleteProgramReleasesTheProgramButKeepsItsEntry) {
    glUseProgram(basic);

    manager->deleteProgram("Basic");

    EXPECT_EQ(currentProgram(), 0);
    EXPECT_EQ(glIsProgram(basic), GL_FALSE);
    EXPECT_EQ(manager->getProgram("Basic"), basic);
}

TEST_F(LoadedBasicTest, DeleteProgramOfUnknownNameMakesNoGlCall) {
    glUseProgram(basic);

    manager->deleteProgram("Water");

    // A glUseProgram(0) would have cleared the current program.
    EXPECT_EQ(currentProgram(), static_cast<GLint>(basic));
    EXPECT_EQ(glIsProgram(basic), GL_TRUE);
    EXPECT_EQ(programNames(), std::vector<std::string>{"Basic"});
}

TEST_F(ShaderManagerTest, ShippedBasicPairMeetsTheDrawingContract) {
    const std::string shipped = sourceDirectory() + "/Resources/Shaders/";
    writeShader("Basic.vs", readFile(shipped + "Basic.vs"));
    writeShader("Basic.fs", readFile(shipped + "Basic.fs"));

    EXPECT_EQ(load(), "");

    const GLuint basic = manager->getProgram("Basic");
    ASSERT_NE(basic, 0u);
    GLint status = GL_FALSE;
    glGetProgramiv(basic, GL_LINK_STATUS, &status);
    ASSERT_EQ(status, GL_TRUE);
    EXPECT_EQ(glGetAttribLocation(basic, "position"), 0);
    EXPECT_EQ(glGetAttribLocation(basic, "texCoord"), 1);

    std::map<std::string, GLenum> uniformTypes;
    GLint uniformCount = 0;
    glGetProgramiv(basic, GL_ACTIVE_UNIFORMS, &uniformCount);
    for (GLint index = 0; index < uniformCount; ++index) {
        char name[256] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(basic, static_cast<GLuint>(index), sizeof name, nullptr, &size, &type,
                           name);
        EXPECT_EQ(size, 1) << name;
        uniformTypes[name] = type;
    }
    for (const char *matrix : {"modelMatrix", "viewMatrix", "projectionMatrix"}) {
        ASSERT_EQ(uniformTypes.count(matrix), 1u) << matrix;
        EXPECT_EQ(uniformTypes[matrix], static_cast<GLenum>(GL_FLOAT_MAT4)) << matrix;
    }
}

} // namespace
