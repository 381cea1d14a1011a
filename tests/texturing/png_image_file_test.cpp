#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

#include "png_bytes.h"
#include "png_fixture.h"
#include "temp_directory.h"
#include "texturing/png_image_file.h"

// The largest single request to operator new, for proving that forged headers allocate nothing
// of the size they claim.
static std::atomic<std::size_t> largestAllocation{0};

void *operator new(std::size_t size) {
    std::size_t largest = largestAllocation.load();
    while (size > largest && !largestAllocation.compare_exchange_weak(largest, size)) {
    }
    if (void *memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
// GCC takes free() of what operator new returned for a mismatch, not seeing that this operator
// new is malloc().
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void *memory) noexcept {
    std::free(memory);
}
void operator delete(void *memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

constexpr int anySide = 16384;

std::optional<PngImage> decode(const Bytes &png, int maxSide = anySide) {
    return decodePng(png.data(), png.size(), maxSide);
}

struct DecodeCase {
    std::string label;
    Bytes png;
    int channels;
    std::vector<std::uint8_t> pixels;
};

void PrintTo(const DecodeCase &decodeCase, std::ostream *out) {
    *out << decodeCase.label;
}

// 3 x 2, so that a swapped width and height or a flipped row order shows.
std::vector<std::uint8_t> samples(int channels) {
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 6 * channels; ++i) {
        pixels.push_back(static_cast<std::uint8_t>(10 + 37 * i));
    }
    return pixels;
}

const std::vector<std::array<std::uint8_t, 4>> paletteEntries = {
    {200, 10, 20, 255}, {30, 180, 40, 0}, {50, 60, 170, 128}};
const std::vector<std::uint8_t> paletteIndices = {0, 1, 2, 2, 1, 0};

std::vector<std::uint8_t> expandedPalette(bool withAlpha) {
    std::vector<std::uint8_t> pixels;
    for (std::uint8_t index : paletteIndices) {
        const auto &entry = paletteEntries[index];
        pixels.insert(pixels.end(), entry.begin(), entry.begin() + (withAlpha ? 4 : 3));
    }
    return pixels;
}

// Gray 70 is marked transparent by a tRNS chunk; every other gray stays opaque.
DecodeCase grayWithTransparency() {
    const std::vector<std::uint8_t> gray = {70, 120, 70, 200, 70, 10};
    std::vector<std::uint8_t> expected;
    for (std::uint8_t value : gray) {
        expected.push_back(value);
        expected.push_back(value == 70 ? 0 : 255);
    }
    return {"gray with tRNS", withChunkAfterHeader(encodePng(3, 2, 1, gray), "tRNS", {0, 70}), 2,
            expected};
}

std::vector<DecodeCase> decodeCases() {
    return {{"gray", encodePng(3, 2, 1, samples(1)), 1, samples(1)},
            {"gray alpha", encodePng(3, 2, 2, samples(2)), 2, samples(2)},
            {"rgb", encodePng(3, 2, 3, samples(3)), 3, samples(3)},
            {"rgba", encodePng(3, 2, 4, samples(4)), 4, samples(4)},
            {"palette", palettePng(3, 2, paletteIndices, paletteEntries, false), 3,
             expandedPalette(false)},
            {"palette with tRNS", palettePng(3, 2, paletteIndices, paletteEntries, true), 4,
             expandedPalette(true)},
            grayWithTransparency()};
}

class PngDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(PngDecodeTest, KeepsTheStoredChannelsAndTopRowFirst) {
    const auto image = decode(GetParam().png);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->channels, GetParam().channels);
    EXPECT_EQ(image->pixels, GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Formats, PngDecodeTest, ::testing::ValuesIn(decodeCases()));

TEST(PngImageFile, RefusesSidesAboveTheLimit) {
    EXPECT_TRUE(decode(encodePng(5, 3, 1, std::vector<std::uint8_t>(15)), 5).has_value());
    EXPECT_FALSE(decode(encodePng(5, 3, 1, std::vector<std::uint8_t>(15)), 4).has_value());
    EXPECT_FALSE(decode(encodePng(3, 5, 1, std::vector<std::uint8_t>(15)), 4).has_value());
    EXPECT_FALSE(decode(encodePng(1, 1, 1, {0}), 0).has_value());
}

TEST(PngImageFile, ForgedHugeSizesAreRefusedWithoutAllocatingThem) {
    const Bytes small = solidPng(4, 4, {1, 2, 3});
    for (auto [width, height] : {std::pair{100000u, 100000u},
                                 {16384u, 16384u},
                                 {16384u, 4u},
                                 {4u, 16384u},
                                 {1000000u, 1000000u},
                                 {0xffffffffu, 1u}}) {
        largestAllocation = 0;
        EXPECT_FALSE(decode(withDeclaredSize(small, width, height)).has_value())
            << width << "x" << height;
        EXPECT_LT(largestAllocation.load(), std::size_t{1} << 20) << width << "x" << height;
    }
}

TEST(PngImageFile, ReadsFilesLikeBytesAndRefusesWhatIsNoFile) {
    TempDirectory directory;
    const Bytes png = checkerPng(8, 4, 2, {200, 0, 0}, {0, 0, 200});
    writeFile("Good.png", png);
    writeFile("Empty.png", std::string());
    makeDirectories("Dir.png");

    const auto fromFile = readPngFile("Good.png", anySide);
    ASSERT_TRUE(fromFile.has_value());
    EXPECT_EQ(fromFile->pixels, decode(png)->pixels);
    EXPECT_FALSE(readPngFile("Empty.png", anySide).has_value());
    EXPECT_FALSE(readPngFile("Dir.png", anySide).has_value());
    EXPECT_FALSE(readPngFile("Missing.png", anySide).has_value());
}

// A bounded, deterministic mutation run: every damaged file is either refused or decoded to
// exactly the buffer its header promises. Run it under ASan to catch what a crash would not.
TEST(PngImageFileFuzz, DamagedFilesDecodeSoundlyOrAreRefused) {
    const std::vector<Bytes> seeds = {
        encodePng(3, 2, 1, samples(1)), checkerPng(16, 16, 4, {220, 30, 30}, {30, 30, 220}),
        encodePng(3, 2, 4, samples(4)), palettePng(3, 2, paletteIndices, paletteEntries, true),
        grayWithTransparency().png};
    const std::vector<DamagedPng> cases = damagedPngs(seeds, 2000);
    int decoded = 0;
    for (const DamagedPng &damaged : cases) {
        const auto image = decode(damaged.bytes);
        if (!image) {
            continue;
        }
        ++decoded;
        ASSERT_TRUE(image->width >= 1 && image->width <= anySide) << damaged.label;
        ASSERT_TRUE(image->height >= 1 && image->height <= anySide) << damaged.label;
        ASSERT_TRUE(image->channels >= 1 && image->channels <= 4) << damaged.label;
        ASSERT_EQ(image->pixels.size(), std::size_t(image->width) * image->height * image->channels)
            << damaged.label;
    }
    std::printf("%zu damaged PNGs: %d decoded, %zu refused\n", cases.size(), decoded,
                cases.size() - decoded);
    // Damage to ancillary bits decodes and damage to the image data is refused; both must occur
    // or the corpus exercises only one side.
    EXPECT_GT(decoded, 0);
    EXPECT_LT(decoded, static_cast<int>(cases.size()));
}

} // namespace
