#include "png_codec.h"

#include <cstring>
#include <png.h>

namespace {

// libpng reports failure by longjmp to the latest setjmp; the functions that call setjmp keep
// nothing with a destructor in their frame, so the jump skips no clean-up.
struct PngFailure {
    char message[160] = "";
};

void recordFailure(png_structp png, png_const_charp message) {
    auto *failure = static_cast<PngFailure *>(png_get_error_ptr(png));
    std::strncpy(failure->message, message, sizeof failure->message - 1);
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto *bytes = static_cast<std::vector<unsigned char> *>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

void flushNothing(png_structp) {}

bool writeRgbRows(png_structp png, png_infop info, const RgbImage &image, png_bytepp rows,
                  std::vector<unsigned char> *bytes) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_write_fn(png, bytes, appendBytes, flushNothing);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

struct ReadCursor {
    const std::vector<unsigned char> *bytes;
    std::size_t offset;
};

void readBytes(png_structp png, png_bytep data, png_size_t length) {
    auto *cursor = static_cast<ReadCursor *>(png_get_io_ptr(png));
    if (length > cursor->bytes->size() - cursor->offset) {
        png_error(png, "file ends early");
    }
    std::memcpy(data, cursor->bytes->data() + cursor->offset, length);
    cursor->offset += length;
}

struct GreyLayout {
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth; // after expansion: 8 or 16
    bool colour;
    png_size_t rowBytes;
};

bool readGreyLayout(png_structp png, png_infop info, GreyLayout *layout) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_info(png, info);
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &layout->width, &layout->height, &bitDepth, &colourType, nullptr,
                 nullptr, nullptr);
    layout->colour = (colourType & PNG_COLOR_MASK_COLOR) != 0;
    if (layout->colour) {
        return true;
    }
    if (bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (colourType & PNG_COLOR_MASK_ALPHA) {
        png_set_strip_alpha(png);
    }
    png_read_update_info(png, info);
    layout->bitDepth = png_get_bit_depth(png, info);
    layout->rowBytes = png_get_rowbytes(png, info);
    return true;
}

bool readGreyRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

std::string sizeProblem(const GreyLayout &layout) {
    const std::string size = std::to_string(layout.width) + "x" + std::to_string(layout.height);
    if (layout.width < minimumImportSize || layout.height < minimumImportSize) {
        return "is too small (" + size + "; at least " + std::to_string(minimumImportSize) + "x" +
               std::to_string(minimumImportSize) + " needed)";
    }
    if (layout.width > maximumImportSize || layout.height > maximumImportSize) {
        return "is too large (" + size + "; at most " + std::to_string(maximumImportSize) + "x" +
               std::to_string(maximumImportSize) + ")";
    }
    return "";
}

HeightField heightsFromRows(const GreyLayout &layout, const std::vector<unsigned char> &pixels) {
    HeightField field = makeHeightField(int(layout.width), int(layout.height));
    for (std::size_t i = 0; i < field.samples.size(); ++i) {
        // 16-bit PNG samples are big-endian.
        field.samples[i] = layout.bitDepth == 16 ? float(pixels[2 * i] << 8 | pixels[2 * i + 1])
                                                 : float(pixels[i]);
    }
    return field;
}

DecodedHeights readHeights(png_structp png, png_infop info, const GreyLayout &layout,
                           const PngFailure &failure) {
    std::vector<unsigned char> pixels(layout.rowBytes * layout.height);
    std::vector<png_bytep> rows(layout.height);
    for (png_uint_32 y = 0; y < layout.height; ++y) {
        rows[y] = &pixels[y * layout.rowBytes];
    }
    if (!readGreyRows(png, info, rows.data())) {
        return {{}, std::string("is not a readable PNG (") + failure.message + ")"};
    }
    return {heightsFromRows(layout, pixels), ""};
}

} // namespace

std::vector<unsigned char> encodeRgbPng(const RgbImage &image) {
    std::vector<png_bytep> rows(std::size_t(image.height));
    for (int y = 0; y < image.height; ++y) {
        rows[y] = const_cast<png_bytep>(&image.pixels[std::size_t(y) * image.width * 3]);
    }
    std::vector<unsigned char> bytes;
    PngFailure failure;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, recordFailure, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool written = info && writeRgbRows(png, info, image, rows.data(), &bytes);
    png_destroy_write_struct(&png, &info);
    if (!written) {
        bytes.clear();
    }
    return bytes;
}

DecodedHeights decodeGreyPng(const std::vector<unsigned char> &bytes) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        return {{}, "is not a PNG file"};
    }
    PngFailure failure;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure, recordFailure, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, &info, nullptr);
        return {{}, "cannot be decoded: out of memory"};
    }
    ReadCursor cursor{&bytes, 0};
    png_set_read_fn(png, &cursor, readBytes);
    GreyLayout layout{};
    DecodedHeights result;
    if (!readGreyLayout(png, info, &layout)) {
        result.error = std::string("is not a readable PNG (") + failure.message + ")";
    } else if (layout.colour) {
        result.error = "is a colour image; a greyscale heightmap is needed";
    } else {
        result.error = sizeProblem(layout);
        if (result.error.empty()) {
            result = readHeights(png, info, layout, failure);
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return result;
}
