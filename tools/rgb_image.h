// An 8-bit RGB picture as it is stored in a PNG file: rows from the top down, three bytes a pixel.
#pragma once

#include <cstdint>
#include <vector>

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};
