// The default landscape: tiling fractal noise shaped into valleys, ridges and a few peaks, then
// worn by simulated rain. It tiles exactly, since the mesh joins its last row to its first.
#pragma once

#include <cstdint>

#include "height_field.h"

constexpr int landscapeSize = 512; // samples a side, two per heightmap sample

// Heights about 0 to 1 on a landscapeSize square; the same seed gives the same field.
HeightField synthesiseLandscape(std::uint64_t seed);

// Rain droplets that run downhill, carving where they speed up and depositing where they slow
// down; they leave one edge and come in at the opposite one, so the field keeps tiling.
// Heights are in sample spacings.
void erodeByRain(HeightField &field, std::uint64_t seed, int droplets);
