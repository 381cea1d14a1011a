// Decodes PNG files into 8-bit pixels, top row first, without touching GL, so that the decoder
// can be exercised with hostile files on any machine. Anything that could make it allocate or
// read out of bounds is refused from the header, before a pixel is decoded.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct PngImage {
    int width = 0;
    int height = 0;
    // As stored in the file: 1 gray, 2 gray + alpha, 3 RGB, 4 RGBA; a palette counts as RGB,
    // and a tRNS chunk adds alpha.
    int channels = 0;
    // width * height * channels bytes, rows top to bottom.
    std::vector<unsigned char> pixels;
};

// Gives nothing for a file that is unreadable, not a regular file or not a sound PNG, and for
// one whose width or height is 0 or above maxSide pixels.
std::optional<PngImage> readPngFile(const std::string &path, int maxSide);

// The same for PNG bytes already in memory.
std::optional<PngImage> decodePng(const unsigned char *bytes, std::size_t size, int maxSide);
