#include "png_image_file.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <png.h>
#include <sys/stat.h>

namespace {

// Deflate expands its input at most 1032 times, so a header claiming more pixel data than the
// file could inflate to belongs to a forged or truncated file; refusing it keeps a tiny file
// from making us allocate gigabytes.
constexpr std::uint64_t maxInflationRatio = 1032;

int storedChannels(png_uint_32 format) {
    const int colour = (format & PNG_FORMAT_FLAG_COLOR) != 0 ? 3 : 1;
    return colour + ((format & PNG_FORMAT_FLAG_ALPHA) != 0 ? 1 : 0);
}

png_uint_32 eightBitFormat(int channels) {
    static constexpr png_uint_32 formats[] = {PNG_FORMAT_GRAY, PNG_FORMAT_GA, PNG_FORMAT_RGB,
                                              PNG_FORMAT_RGBA};
    return formats[channels - 1];
}

// Whatever the colour type, interlacing or filtering, every pixel takes at least one bit.
bool inputCouldHold(png_uint_32 width, png_uint_32 height, std::uint64_t inputSize) {
    const std::uint64_t leastImageBytes = (std::uint64_t{width} * height + 7) / 8;
    return (leastImageBytes + maxInflationRatio - 1) / maxInflationRatio <= inputSize;
}

bool bufferSizeFits(png_uint_32 width, png_uint_32 height, int channels) {
    const std::uint64_t rowBytes = std::uint64_t{width} * static_cast<std::uint64_t>(channels);
    return rowBytes <= static_cast<std::uint64_t>(std::numeric_limits<png_int_32>::max()) &&
           rowBytes <= std::numeric_limits<std::size_t>::max() / height;
}

// Takes a png_image whose header has been read, and either decodes it or frees it.
std::optional<PngImage> finishDecoding(png_image &image, std::uint64_t inputSize, int maxSide) {
    const png_uint_32 width = image.width;
    const png_uint_32 height = image.height;
    const int channels = storedChannels(image.format);
    const auto side = static_cast<png_uint_32>(maxSide > 0 ? maxSide : 0);
    if (width == 0 || height == 0 || width > side || height > side ||
        !bufferSizeFits(width, height, channels) || !inputCouldHold(width, height, inputSize)) {
        png_image_free(&image);
        return std::nullopt;
    }
    PngImage decoded;
    decoded.width = static_cast<int>(width);
    decoded.height = static_cast<int>(height);
    decoded.channels = channels;
    image.format = eightBitFormat(channels);
    decoded.pixels.resize(PNG_IMAGE_SIZE(image));
    const auto rowStride = static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(image));
    // finish_read frees the image whatever its outcome.
    if (png_image_finish_read(&image, nullptr, decoded.pixels.data(), rowStride, nullptr) == 0) {
        return std::nullopt;
    }
    return decoded;
}

png_image emptyImage() {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    return image;
}

} // namespace

std::optional<PngImage> decodePng(const unsigned char *bytes, std::size_t size, int maxSide) {
    png_image image = emptyImage();
    if (bytes == nullptr || png_image_begin_read_from_memory(&image, bytes, size) == 0) {
        return std::nullopt;
    }
    return finishDecoding(image, size, maxSide);
}

std::optional<PngImage> readPngFile(const std::string &path, int maxSide) {
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::optional<PngImage> decoded;
    struct stat status {};
    png_image image = emptyImage();
    // A directory opens for reading on Linux; only its reads fail.
    if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode) &&
        png_image_begin_read_from_stdio(&image, file) != 0) {
        decoded = finishDecoding(image, static_cast<std::uint64_t>(status.st_size), maxSide);
    }
    std::fclose(file);
    return decoded;
}
