// The six sky faces: one sky, computed per view direction, sampled for each face through the
// cube's own corner table and the loader's vertical flip, so neighbouring faces meet without a
// seam. Below the horizon the sky turns into distant hazy ground.
#pragma once

#include <array>
#include <cstdint>
#include <glm/glm.hpp>

#include "rgb_image.h"

constexpr int skyFaceSize = 512;

// A face of the sky cube by its corners: a has texture coordinate (0, 0), b (0, 1), d (1, 0).
struct SkyFace {
    const char *fileName;
    glm::vec3 a;
    glm::vec3 b;
    glm::vec3 d;
};

// The viewer's cube, face for face in its drawing order.
const std::array<SkyFace, 6> &skyFaces();

// The cube point that the viewer shows at texture coordinate (u, v) of the face.
glm::vec3 facePoint(const SkyFace &face, float u, float v);

// Colour, 0 to 1 a channel as the file stores it, seen along a unit direction (world axes, y up).
glm::vec3 skyColour(const glm::vec3 &direction, std::uint64_t seed);

// Pixel (column, row) of the file shows texture coordinate ((column + 0.5) / size,
// 1 - (row + 0.5) / size), since the loader flips the file's rows.
RgbImage renderSkyFace(const SkyFace &face, std::uint64_t seed);
