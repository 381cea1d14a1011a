// GL programs for tests of the drawing code, built with plain GL calls so that those tests do
// not depend on the shader classes they are not about.
#pragma once

#include "platform/gl.h"

#include <string>

// A shader object compiled from the source, whatever the outcome; the caller checks it.
GLuint compileUnchecked(GLenum type, const std::string &source);

// Compiles and links the two sources; fails the current test and gives 0 on any error.
GLuint buildTestProgram(const std::string &vertexSource, const std::string &fragmentSource);

// The Basic program that the viewer ships, from the source tree's Resources/Shaders.
GLuint buildShippedBasicProgram();

// The source tree, for tests that copy the shipped Resources.
std::string sourceDirectory();
