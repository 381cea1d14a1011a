// Importing a user's heightmap: the order of heights survives resampling at full precision,
// and every kind of bad input is refused with one line, a failing exit status and no file
// touched in the output folder.
#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "generator_run.h"
#include "heightmap_import.h"
#include "png_fixture.h"
#include "temp_directory.h"

namespace fs = std::filesystem;

namespace {

// A 16-bit greyscale PNG; libpng stores linear 16-bit samples unchanged.
std::vector<unsigned char> grey16Png(int width, int height,
                                     const std::vector<std::uint16_t> &samples) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_LINEAR_Y;
    return writePngToMemory(image, samples.data());
}

// Rises by one 16-bit step a column: the whole ramp spans less than two 8-bit levels, so only
// an import at full precision can keep its order.
constexpr int rampWidth = 512;
constexpr int rampHeight = 40;

std::vector<std::uint16_t> rampSamples() {
    std::vector<std::uint16_t> samples;
    for (int y = 0; y < rampHeight; ++y) {
        for (int x = 0; x < rampWidth; ++x) {
            samples.push_back(std::uint16_t(20000 + x));
        }
    }
    return samples;
}

std::vector<unsigned char> rawBytes(const std::vector<std::uint16_t> &samples, bool bigEndian) {
    std::vector<unsigned char> bytes;
    for (const std::uint16_t sample : samples) {
        const unsigned char high = sample >> 8;
        const unsigned char low = sample & 0xFF;
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

struct RampCase {
    const char *name;
    std::vector<unsigned char> file;
    std::string extraArguments;
};

void PrintTo(const RampCase &ramp, std::ostream *out) {
    *out << ramp.name;
}

class RampImport : public ::testing::TestWithParam<RampCase> {};

TEST_P(RampImport, KeepsTheOrderOfHeights) {
    TempDirectory folder;
    writeFile("ramp.in", GetParam().file);
    const GeneratorRun run =
        runGenerator("--import ramp.in --output out " + GetParam().extraArguments);
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    const std::string heights = readFile("out/HeightMap.raw");
    ASSERT_EQ(heights.size(), 256u * 256u);
    for (int z = 0; z < 256; ++z) {
        for (int x = 0; x < 256; ++x) {
            // Two source columns a sample, stretched over 0-255: sample x holds x.
            ASSERT_EQ(static_cast<unsigned char>(heights[z * 256 + x]), x)
                << "at column " << x << ", row " << z;
        }
    }
    EXPECT_GT(readFile("out/Terrain.png").size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    SixteenBitSources, RampImport,
    ::testing::Values(RampCase{"png", grey16Png(rampWidth, rampHeight, rampSamples()), ""},
                      RampCase{"rawLittleEndian", rawBytes(rampSamples(), false),
                               "--raw-size 512x40 --byte-order little"},
                      RampCase{"rawBigEndian", rawBytes(rampSamples(), true),
                               "--raw-size 512x40 --byte-order big"}),
    [](const auto &info) { return std::string(info.param.name); });

std::vector<unsigned char> greyPng(int width, int height, int levels) {
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < width * height; ++i) {
        pixels.push_back(std::uint8_t(i % levels * 7));
    }
    return encodePng(width, height, 1, pixels);
}

struct BadInput {
    const char *name;
    std::vector<unsigned char> file; // written as "input"; none when empty
    std::string arguments;
    std::string reason; // part of the one line that explains the refusal
};

void PrintTo(const BadInput &input, std::ostream *out) {
    *out << input.name;
}

class BadInputRefusal : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputRefusal, PrintsOneLineFailsAndLeavesTheOutputAlone) {
    TempDirectory folder;
    const BadInput &input = GetParam();
    if (!input.file.empty()) {
        writeFile("input", input.file);
    }
    makeDirectories("folder");
    writeFile("out/HeightMap.raw", std::string("old"));
    const GeneratorRun run = runGenerator(input.arguments + " --output out");
    EXPECT_NE(run.exitStatus, 0);
    EXPECT_EQ(lineCount(run.output), 1) << run.output;
    EXPECT_NE(run.output.find(input.reason), std::string::npos) << run.output;
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator("out")) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"HeightMap.raw"});
    EXPECT_EQ(readFile("out/HeightMap.raw"), "old");
}

std::vector<unsigned char> truncated(std::vector<unsigned char> bytes) {
    bytes.resize(bytes.size() / 2);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInputRefusal,
    ::testing::Values(BadInput{"missingFile", {}, "--import missing.png", "cannot be opened"},
                      BadInput{"folder", {}, "--import folder", "is a folder"},
                      BadInput{"notPng",
                               {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'},
                               "--import input",
                               "is not a PNG file"},
                      BadInput{"truncatedPng", truncated(greyPng(200, 200, 37)), "--import input",
                               "is not a readable PNG"},
                      BadInput{"colourPng", solidPng(64, 64, {10, 200, 30}), "--import input",
                               "colour"},
                      BadInput{"tooSmallPng", greyPng(31, 64, 5), "--import input", "too small"},
                      BadInput{"flatPng", greyPng(64, 64, 1), "--import input", "flat"},
                      BadInput{"rawWrongSize", std::vector<unsigned char>(1000, 1),
                               "--import input --raw-size 64x64", "need 8192"},
                      BadInput{"rawTooSmall", std::vector<unsigned char>(800, 1),
                               "--import input --raw-size 20x20", "too small"},
                      BadInput{"badByteOrder",
                               {},
                               "--import input --raw-size 64x64 --byte-order middle",
                               "little or big"},
                      BadInput{"unknownOption", {}, "--colour-me-surprised", "unknown option"}),
    [](const auto &info) { return std::string(info.param.name); });

// The library gives the same refusal to code that links it, without a field to build from.
TEST(ImportHeightmap, RefusesAColourPngWithAReasonAndNoHeights) {
    TempDirectory folder;
    writeFile("colour.png", solidPng(64, 64, {200, 40, 40}));
    const ImportedHeights imported = importHeightmap("colour.png", RawLayout{});
    EXPECT_EQ(imported.error, "'colour.png' is a colour image; a greyscale heightmap is needed");
    EXPECT_TRUE(imported.field.samples.empty());
}

} // namespace
