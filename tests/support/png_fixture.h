// PNG files made by the tests themselves, written with libpng.
#pragma once

#include <array>
#include <cstdint>
#include <png.h>
#include <string>
#include <vector>

// Encodes an image described by a png_image header: pixels in its format, colormap for the
// colormapped formats. Throws with libpng's message when the header is refused.
std::vector<unsigned char> writePngToMemory(png_image image, const void *pixels,
                                            const void *colormap = nullptr);

// Encodes pixels (rows top to bottom, channels 1 to 4 per pixel, 8 bits each) as PNG bytes.
std::vector<unsigned char> encodePng(int width, int height, int channels,
                                     const std::vector<std::uint8_t> &pixels);

std::vector<unsigned char> solidPng(int width, int height, std::array<std::uint8_t, 3> rgb);

// Squares of cell pixels alternating between the two colours, first colour at the top left.
std::vector<unsigned char> checkerPng(int width, int height, int cell,
                                      std::array<std::uint8_t, 3> first,
                                      std::array<std::uint8_t, 3> second);
