// Bakes "Terrain.png": colours by height and slope, lit by the sun, since the viewer's shader
// has no normals. The picture is laid out for the viewer's mapping: u = x / 256 across, and the
// loader's vertical flip puts the file's top row at v = 1, the far edge z = 256 of the mesh.
#pragma once

#include <cstdint>

#include "height_field.h"
#include "rgb_image.h"

constexpr int terrainTextureSize = 1024;
constexpr int heightmapSize = 256;

// `source` covers the heightmap's area at any resolution; `scale` is the map that took the
// heightmap's samples to bytes. Texel (column, row) shows the surface at mesh point
// x = (column + 0.5) * 256 / size, z = 256 - (row + 0.5) * 256 / size.
RgbImage bakeTerrainTexture(const HeightField &source, const HeightScale &scale,
                            std::uint64_t seed);
