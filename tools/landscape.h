// The default landscape: tiling fractal noise shaped into valleys, ridges and a few peaks, then
// worn by simulated rain. It tiles exactly, since the mesh joins its last row to its first.
#pragma once

#include <cstdint>

#include "height_field.h"

constexpr int landscapeSize = 512; // samples a side, two per heightmap sample

// Heights about 0 to 1 on a landscapeSize square; the same seed gives the same field.
HeightField synthesiseLandscape(std::uint64_t seed);
