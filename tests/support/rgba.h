// One 8-bit RGBA pixel as tests read it back, and a tolerant comparison: software rasterisers
// differ in the last bit between CPUs.
#pragma once

#include <array>
#include <cstdint>

using Rgba = std::array<std::uint8_t, 4>;

// True when every channel of a and b differs by at most tolerance.
bool nearColour(const Rgba &a, const Rgba &b, int tolerance = 2);
