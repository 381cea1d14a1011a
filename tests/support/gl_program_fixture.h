// GL programs for tests of the drawing code, built with plain GL calls so that those tests do
// not depend on the shader classes they are not about.
#pragma once

#include "platform/gl.h"

#include <string>

// Compiles and links the two sources; fails the current test and gives 0 on any error.
GLuint buildTestProgram(const std::string &vertexSource, const std::string &fragmentSource);

// The Basic program that the viewer ships, from the source tree's Resources/Shaders.
GLuint buildShippedBasicProgram();

// The source tree, for tests that copy the shipped Resources.
std::string sourceDirectory();
