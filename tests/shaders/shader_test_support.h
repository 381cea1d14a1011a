// Shared pieces of the shader tests: a working folder that holds Resources/Shaders, and what the
// driver itself reports for a source, taken with plain GL calls, to compare the console with.
#pragma once

#include "platform/gl.h"

#include <gtest/gtest.h>
#include <string>

#include "temp_directory.h"

// Sources the shader tests build from; all GLSL 3.30 like the shipped pair.
namespace glsl {
extern const char *const vertex;
extern const char *const fragment;
// Reads a varying that vertex does not write: the driver links it with a warning in its log.
extern const char *const fragmentReadingUnwrittenVarying;
// Declares the varying that vertex writes as vec2 with another type: the link fails.
extern const char *const fragmentWithMismatchedVarying;
extern const char *const fragmentWithoutMain;
extern const char *const vertexWithSyntaxError;
extern const char *const vertexWithUndeclaredName;
extern const char *const fragmentWithSyntaxError;
} // namespace glsl

// The compile log of source as the driver gives it; fails the test if the source compiles.
std::string driverCompileLog(GLenum type, const std::string &source);
// The link log of a program built from sources that compile; a null source attaches no stage.
std::string driverLinkLog(const char *vertexSource, const char *fragmentSource);

std::string shaderPath(const std::string &fileName);

class ShaderFolderTest : public ::testing::Test {
protected:
    void writeShader(const std::string &fileName, const std::string &source) {
        writeFile(shaderPath(fileName), source);
    }

    TempDirectory folder;
};
