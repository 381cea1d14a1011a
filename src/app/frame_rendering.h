// The display callback: one complete frame, sky first and terrain over it, with one program.
#pragma once

#include <glm/glm.hpp>

void onDisplay();

// The frame's perspective. The field of view 45.0 is taken in radians, which gives the viewer
// its wide look (about 58 degrees vertically).
glm::mat4 frameProjection(int width, int height);

// The view without its translation: the sky stays centred on the eye.
glm::mat4 withoutTranslation(const glm::mat4 &view);
