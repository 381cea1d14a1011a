#include "png_fixture.h"

#include <stdexcept>

std::vector<unsigned char> writePngToMemory(png_image image, const void *pixels,
                                            const void *colormap) {
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(image, size, 0, pixels, 0, colormap)) {
        throw std::runtime_error(std::string("writePngToMemory: ") + image.message);
    }
    std::vector<unsigned char> bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels, 0, colormap)) {
        throw std::runtime_error(std::string("writePngToMemory: ") + image.message);
    }
    bytes.resize(size);
    return bytes;
}

std::vector<unsigned char> encodePng(int width, int height, int channels,
                                     const std::vector<std::uint8_t> &pixels) {
    static constexpr png_uint_32 formats[] = {PNG_FORMAT_GRAY, PNG_FORMAT_GA, PNG_FORMAT_RGB,
                                              PNG_FORMAT_RGBA};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = formats[channels - 1];
    return writePngToMemory(image, pixels.data());
}

std::vector<unsigned char> solidPng(int width, int height, std::array<std::uint8_t, 3> rgb) {
    return checkerPng(width, height, width > height ? width : height, rgb, rgb);
}

std::vector<unsigned char> checkerPng(int width, int height, int cell,
                                      std::array<std::uint8_t, 3> first,
                                      std::array<std::uint8_t, 3> second) {
    std::vector<std::uint8_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto &colour = ((x / cell + y / cell) % 2 == 0) ? first : second;
            pixels.insert(pixels.end(), colour.begin(), colour.end());
        }
    }
    return encodePng(width, height, 3, pixels);
}
