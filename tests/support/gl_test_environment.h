// One hidden GLUT window with a current GL context for a whole test binary. Mesa's software
// renderer keeps the back buffer after a swap, so tests read frames back from GL_BACK.
#pragma once

#include <gtest/gtest.h>

#include "rgba.h"

constexpr int testWindowWidth = 800;
constexpr int testWindowHeight = 600;

class GlTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    // Gives the window and its context back, so that leak checks see only the tests' own leaks.
    void TearDown() override;

    int window = 0;
};

// The pixel at (x, y) of the back buffer, origin at the bottom left as GL counts.
Rgba readPixel(int x, int y);

// Lets GLUT process pending window events (map, reshape) without entering the main loop.
void pumpWindowEvents();
