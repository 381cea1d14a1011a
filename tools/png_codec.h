// PNG reading and writing through libpng: RGB pictures out, greyscale heightmaps in. Greyscale
// samples are read as stored, without gamma or colour conversion, so 16-bit heights stay exact.
#pragma once

#include <string>
#include <vector>

#include "height_field.h"
#include "rgb_image.h"

// Empty when libpng fails, which it only does when memory runs out.
std::vector<unsigned char> encodeRgbPng(const RgbImage &image);

// Picture limits on import, in pixels a side.
constexpr int minimumImportSize = 32;
constexpr int maximumImportSize = 8192;

// Heights 0 to 255 or 0 to 65535 as the file stores them; on failure `error` says why, in a
// few words that follow the file's name.
struct DecodedHeights {
    HeightField field;
    std::string error;
};

DecodedHeights decodeGreyPng(const std::vector<unsigned char> &bytes);
