// A grid of heights in whatever unit its source uses, and its resampling to another size.
// Sample (x, y) is at samples[y * width + x]; rows run along the mesh's z axis.
#pragma once

#include <cstdint>
#include <vector>

struct HeightField {
    int width = 0;
    int height = 0;
    std::vector<float> samples;

    float at(int x, int y) const { return samples[static_cast<std::size_t>(y) * width + x]; }
    float &at(int x, int y) { return samples[static_cast<std::size_t>(y) * width + x]; }
};

HeightField makeHeightField(int width, int height);

// What lies beyond the field's border: the field repeated (a tiling landscape, and the mesh,
// which joins its last row to its first) or the border sample extended (a map that does not tile).
enum class EdgeMode { wrap, clamp };

// Resamples so that target pixel i covers the source interval [i * s + offset, (i + 1) * s +
// offset) with s = source size / target size, in source pixels, on each axis. Shrinking averages
// the covered area (box filter); enlarging interpolates with Catmull-Rom cubics.
HeightField resample(const HeightField &source, int width, int height, float offsetX, float offsetY,
                     EdgeMode edges);

// The affine map that takes a field's lowest sample to 0 and its highest to 255.
struct HeightScale {
    float minimum;
    float factor;

    float toByteUnits(float value) const { return (value - minimum) * factor; }
};

HeightScale byteScaleOf(const HeightField &field);

// Each sample through the scale, rounded and clamped to 0-255.
std::vector<std::uint8_t> toBytes(const HeightField &field, const HeightScale &scale);
