#include "platform/gl.h"

#include <SOIL/SOIL.h>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>

#include "console_capture.h"
#include "gl_test_environment.h"
#include "platform/resource_paths.h"
#include "png_bytes.h"
#include "png_fixture.h"
#include "temp_directory.h"
#include "texturing/png_image_file.h"
#include "texturing/texture_manager.h"

namespace {

constexpr unsigned int soilFlags = 178;
// DXT keeps a solid 4 x 4 block to within its 5:6:5 quantisation.
constexpr int blockTolerance = 8;

std::string describe(const Rgba &colour) {
    return "(" + std::to_string(colour[0]) + ", " + std::to_string(colour[1]) + ", " +
           std::to_string(colour[2]) + ", " + std::to_string(colour[3]) + ")";
}

// SOIL squeezes colour channels linearly into [16, 235]; alpha keeps its range.
Rgba ntscSafe(Rgba colour) {
    for (int c = 0; c < 3; ++c) {
        colour[c] = static_cast<std::uint8_t>(16 + (colour[c] * 219 + 127) / 255);
    }
    return colour;
}

TextureManager &manager() {
    return *TextureManager::getInstance();
}

std::string texturePath(const std::string &name) {
    return textureDirectory + name;
}

void writeTexture(const std::string &name, const Bytes &png) {
    writeFile(texturePath(name), png);
}

GLint boundTexture() {
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

GLint maxTextureSize() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

struct TextureState {
    bool enabled = false;
    GLint binding = -1;
    bool operator==(const TextureState &other) const {
        return enabled == other.enabled && binding == other.binding;
    }
};

void PrintTo(const TextureState &state, std::ostream *out) {
    *out << (state.enabled ? "enabled" : "disabled") << ", texture " << state.binding;
}

TextureState textureState() {
    return {glIsEnabled(GL_TEXTURE_2D) == GL_TRUE, boundTexture()};
}

struct Texels {
    int width = 0;
    int height = 0;
    GLint internalFormat = 0;
    std::vector<Rgba> rgba;
    // Row 0 is the texture's first row, t = 0.
    const Rgba &at(int row, int column) const { return rgba[std::size_t(row) * width + column]; }
};

Texels levelZero(GLuint texture) {
    Texels texels;
    const GLint previous = boundTexture();
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texels.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texels.height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &texels.internalFormat);
    texels.rgba.resize(std::size_t(texels.width) * texels.height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.rgba.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return texels;
}

class TextureManagerTest : public ::testing::Test {
protected:
    void SetUp() override { resetState(); }
    void TearDown() override { resetState(); }

    static void resetState() {
        manager().textures.clear();
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
    }

    static std::string load() {
        return captureConsole([] { manager().loadTextures(); });
    }

    static std::string bind(const std::string &name) {
        return captureConsole([&] { manager().bindTexture(name); });
    }

    TempDirectory directory;
};

// --- Formats: an 8 x 8 file of four solid quadrants, in each channel layout. ---

struct FormatCase {
    std::string label;
    Bytes png;
    // As RGBA, the way GL expands luminance: top-left, top-right, bottom-left, bottom-right.
    std::array<Rgba, 4> quadrants;
    // Debian's SOIL refuses palettes under 8 bits and misreads gray with tRNS.
    bool soilDecodesIt = true;
};

void PrintTo(const FormatCase &formatCase, std::ostream *out) {
    *out << formatCase.label;
}

const std::array<Rgba, 4> quadrantColours = {
    {{200, 40, 40, 220}, {40, 200, 40, 160}, {40, 40, 200, 100}, {200, 200, 40, 40}}};

int quadrantOf(int x, int y) {
    return (y < 4 ? 0 : 2) + (x < 4 ? 0 : 1);
}

std::vector<std::uint8_t> quadrantPixels(const std::array<std::vector<std::uint8_t>, 4> &values) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const auto &value = values[quadrantOf(x, y)];
            pixels.insert(pixels.end(), value.begin(), value.end());
        }
    }
    return pixels;
}

FormatCase directCase(const std::string &label, int channels) {
    std::array<std::vector<std::uint8_t>, 4> values;
    std::array<Rgba, 4> expected{};
    for (int q = 0; q < 4; ++q) {
        const Rgba &colour = quadrantColours[q];
        const bool gray = channels <= 2;
        const bool alpha = channels % 2 == 0;
        values[q] = gray ? std::vector<std::uint8_t>{colour[0]}
                         : std::vector<std::uint8_t>{colour[0], colour[1], colour[2]};
        if (alpha) {
            values[q].push_back(colour[3]);
        }
        expected[q] = gray ? Rgba{colour[0], colour[0], colour[0], 255}
                           : Rgba{colour[0], colour[1], colour[2], 255};
        expected[q][3] = alpha ? colour[3] : 255;
    }
    return {label, encodePng(8, 8, channels, quadrantPixels(values)), expected};
}

FormatCase paletteCase(const std::string &label, bool withAlpha, bool eightBitIndices) {
    std::vector<std::array<std::uint8_t, 4>> entries(quadrantColours.begin(),
                                                     quadrantColours.end());
    // Unused entries beyond 16 make libpng write 8 bits an index instead of 2.
    entries.resize(eightBitIndices ? 17 : 4, {0, 0, 0, 255});
    std::vector<std::uint8_t> indices;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            indices.push_back(static_cast<std::uint8_t>(quadrantOf(x, y)));
        }
    }
    std::array<Rgba, 4> expected = quadrantColours;
    for (Rgba &colour : expected) {
        colour[3] = withAlpha ? colour[3] : 255;
    }
    return {label, palettePng(8, 8, indices, entries, withAlpha), expected, eightBitIndices};
}

FormatCase grayWithTransparencyCase() {
    // Gray 40 (bottom-left) is the tRNS colour; the other three quadrants stay opaque.
    const std::array<std::vector<std::uint8_t>, 4> values = {{{200}, {100}, {40}, {160}}};
    const Bytes gray = encodePng(8, 8, 1, quadrantPixels(values));
    return {"gray with tRNS",
            withChunkAfterHeader(gray, "tRNS", {0, 40}),
            {{{200, 200, 200, 255}, {100, 100, 100, 255}, {40, 40, 40, 0}, {160, 160, 160, 255}}},
            false};
}

std::vector<FormatCase> formatCases() {
    return {directCase("gray", 1),
            directCase("gray alpha", 2),
            directCase("rgb", 3),
            directCase("rgba", 4),
            paletteCase("palette", false, true),
            paletteCase("palette with tRNS", true, true),
            paletteCase("2-bit palette", false, false),
            grayWithTransparencyCase()};
}

std::vector<FormatCase> soilReferenceCases() {
    std::vector<FormatCase> cases;
    for (const FormatCase &formatCase : formatCases()) {
        if (formatCase.soilDecodesIt) {
            cases.push_back(formatCase);
        }
    }
    return cases;
}

class TextureFormatTest : public TextureManagerTest,
                          public ::testing::WithParamInterface<FormatCase> {};
class SoilReferenceTest : public TextureFormatTest {};

TEST_P(TextureFormatTest, LoadsBindsAndUploadsTheImageFlipped) {
    writeTexture("Quad.png", GetParam().png);
    ASSERT_EQ(load(), "");
    const GLuint texture = manager().textures.at("Quad.png");
    ASSERT_NE(texture, 0u);

    EXPECT_EQ(bind("Quad.png"), "");
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(boundTexture(), static_cast<GLint>(texture));

    const Texels texels = levelZero(texture);
    ASSERT_EQ(texels.width, 8);
    ASSERT_EQ(texels.height, 8);
    // The file's top rows end up at the texture's last rows.
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const Rgba expected = ntscSafe(GetParam().quadrants[quadrantOf(column, 7 - row)]);
            EXPECT_TRUE(nearColour(texels.at(row, column), expected, blockTolerance))
                << "texel row " << row << " column " << column << " is "
                << describe(texels.at(row, column)) << ", expected " << describe(expected);
        }
    }
}

// What SOIL's own loader makes of a sound file is the reference for our upload.
TEST_P(SoilReferenceTest, MatchesWhatSoilMakesOfTheSameFile) {
    writeTexture("Quad.png", GetParam().png);
    manager().loadTextures();
    const GLuint ours = manager().textures.at("Quad.png");
    const GLuint soils = SOIL_load_OGL_texture(texturePath("Quad.png").c_str(), SOIL_LOAD_AUTO,
                                               SOIL_CREATE_NEW_ID, soilFlags);
    ASSERT_NE(soils, 0u);
    const Texels expected = levelZero(soils);
    const Texels actual = levelZero(ours);
    glDeleteTextures(1, &soils);
    EXPECT_EQ(actual.internalFormat, expected.internalFormat);
    EXPECT_EQ(actual.width, expected.width);
    EXPECT_EQ(actual.height, expected.height);
    EXPECT_EQ(actual.rgba, expected.rgba);
}

INSTANTIATE_TEST_SUITE_P(Formats, TextureFormatTest, ::testing::ValuesIn(formatCases()));
INSTANTIATE_TEST_SUITE_P(Formats, SoilReferenceTest, ::testing::ValuesIn(soilReferenceCases()));

// --- The directory scan and the lookup by name. ---

TEST_F(TextureManagerTest, LoadsEveryPngWhetherBoundOrNotAndNothingElse) {
    writeTexture("Terrain.png", solidPng(4, 4, {100, 150, 50}));
    writeTexture("Unused.png", solidPng(2, 2, {20, 30, 40}));
    writeTexture("HeightMap.raw", Bytes(256 * 256, 7));
    writeTexture("notes.txt", Bytes{'h', 'i'});
    writeTexture("Terrain.png.bak", solidPng(4, 4, {1, 2, 3}));

    EXPECT_EQ(load(), "");
    EXPECT_EQ(manager().getTextureCount(), 2);
    ASSERT_EQ(manager().textures.count("Terrain.png"), 1u);
    ASSERT_EQ(manager().textures.count("Unused.png"), 1u);
    EXPECT_NE(manager().textures["Terrain.png"], 0u);
    EXPECT_TRUE(glIsTexture(manager().textures["Unused.png"]));
    EXPECT_NE(manager().textures["Terrain.png"], manager().textures["Unused.png"]);
}

TEST_F(TextureManagerTest, NoTextureDirectoryLoadsNothingSilently) {
    EXPECT_EQ(load(), "");
    EXPECT_EQ(manager().getTextureCount(), 0);
    EXPECT_EQ(bind("Terrain.png"), "ERROR: Texture not found: Terrain.png\n");
}

TEST_F(TextureManagerTest, ANameDifferingOnlyInCaseFindsNothing) {
    writeTexture("Terrain.png", solidPng(4, 4, {100, 150, 50}));
    manager().loadTextures();
    const TextureState before = textureState();
    EXPECT_EQ(bind("terrain.png"), "ERROR: Texture not found: terrain.png\n");
    EXPECT_EQ(bind("Terrain.PNG"), "ERROR: Texture not found: Terrain.PNG\n");
    EXPECT_EQ(textureState(), before);
}

TEST_F(TextureManagerTest, AMissingNameIsReportedOnEveryCall) {
    const std::string output = captureConsole([] {
        for (int frame = 0; frame < 3; ++frame) {
            manager().bindTexture("Front.png");
        }
    });
    EXPECT_EQ(output, "ERROR: Texture not found: Front.png\n"
                      "ERROR: Texture not found: Front.png\n"
                      "ERROR: Texture not found: Front.png\n");
}

TEST_F(TextureManagerTest, UnbindClearsTheBindingAndDisablesEvenWhenNothingIsBound) {
    glEnable(GL_TEXTURE_2D);
    manager().unbindTexture();
    EXPECT_EQ(boundTexture(), 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    writeTexture("Terrain.png", solidPng(4, 4, {100, 150, 50}));
    manager().loadTextures();
    manager().bindTexture("Terrain.png");
    ASSERT_NE(boundTexture(), 0);
    manager().unbindTexture();
    EXPECT_EQ(boundTexture(), 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

// --- Files that must be filed as 0 and bind as "not found". ---

struct BadFileCase {
    std::string label;
    std::function<void(const std::string &path)> write;
};

void PrintTo(const BadFileCase &badCase, std::ostream *out) {
    *out << badCase.label;
}

Bytes goodPng() {
    return checkerPng(16, 16, 4, {200, 40, 40}, {40, 40, 200});
}

Bytes firstImageDataFlipped(bool repairCrc) {
    Bytes png = goodPng();
    for (std::size_t chunk : chunkOffsets(png)) {
        if (std::string(png.begin() + chunk + 4, png.begin() + chunk + 8) == "IDAT") {
            for (std::size_t at = chunk + 8; at < chunk + 14; ++at) {
                png[at] ^= 0xa5;
            }
        }
    }
    if (repairCrc) {
        fixChunkCrcs(png);
    }
    return png;
}

std::vector<BadFileCase> badFileCases() {
    auto bytes = [](Bytes content) {
        return [content](const std::string &path) { writeFile(path, content); };
    };
    const Bytes good = goodPng();
    return {
        {"empty", bytes({})},
        {"not a PNG", bytes({'G', 'I', 'F', '8', '9', 'a', 0, 0, 1, 0})},
        {"truncated", bytes(Bytes(good.begin(), good.begin() + good.size() / 2))},
        {"header only", bytes(Bytes(good.begin(), good.begin() + 33))},
        {"bad CRC", bytes(firstImageDataFlipped(false))},
        {"bad image data", bytes(firstImageDataFlipped(true))},
        {"zero width", bytes(withDeclaredSize(good, 0, 16))},
        {"declares 100000 x 100000", bytes(withDeclaredSize(good, 100000, 100000))},
        {"declares 16384 x 16384", bytes(withDeclaredSize(good, 16384, 16384))},
        {"wider than GL allows",
         [](const std::string &path) {
             const int width = maxTextureSize() + 1;
             writeFile(path, encodePng(width, 1, 1, std::vector<std::uint8_t>(width, 9)));
         }},
        {"a directory", [](const std::string &path) { makeDirectories(path); }},
    };
}

class BadTextureFileTest : public TextureManagerTest,
                           public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(BadTextureFileTest, IsFiledAsZeroQuietlyAndBindsAsNotFound) {
    writeTexture("Good.png", goodPng());
    GetParam().write(texturePath("Bad.png"));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(load(), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(manager().getTextureCount(), 2);
    ASSERT_EQ(manager().textures.count("Bad.png"), 1u);
    EXPECT_EQ(manager().textures["Bad.png"], 0u);

    // Once with nothing bound and once with a good texture bound and enabled.
    manager().unbindTexture();
    EXPECT_EQ(bind("Bad.png"), "ERROR: Texture not found: Bad.png\n");
    EXPECT_EQ(textureState(), (TextureState{false, 0}));
    manager().bindTexture("Good.png");
    const TextureState good = textureState();
    ASSERT_EQ(good.binding, static_cast<GLint>(manager().textures["Good.png"]));
    EXPECT_EQ(bind("Bad.png"), "ERROR: Texture not found: Bad.png\n");
    EXPECT_EQ(textureState(), good);
}

INSTANTIATE_TEST_SUITE_P(Files, BadTextureFileTest, ::testing::ValuesIn(badFileCases()));

// A sample of the damaged corpus through the whole load: what the file path makes of each
// agrees with the in-memory decoder, and nothing is printed.
TEST_F(TextureManagerTest, DamagedFilesLoadExactlyWhenTheyDecode) {
    const std::vector<DamagedPng> corpus = damagedPngs({goodPng()}, 200);
    std::vector<const DamagedPng *> sample;
    for (std::size_t i = 0; i < corpus.size(); i += corpus.size() / 24) {
        sample.push_back(&corpus[i]);
    }
    for (std::size_t i = 0; i < sample.size(); ++i) {
        writeTexture("Damaged" + std::to_string(i) + ".png", sample[i]->bytes);
    }
    EXPECT_EQ(load(), "");
    ASSERT_EQ(manager().getTextureCount(), static_cast<int>(sample.size()));
    for (std::size_t i = 0; i < sample.size(); ++i) {
        const Bytes &bytes = sample[i]->bytes;
        const bool decodes = decodePng(bytes.data(), bytes.size(), maxTextureSize()).has_value();
        const GLuint texture = manager().textures["Damaged" + std::to_string(i) + ".png"];
        EXPECT_EQ(texture != 0, decodes) << sample[i]->label;
        EXPECT_EQ(texture == 0 || glIsTexture(texture), GL_TRUE) << sample[i]->label;
    }
}

} // namespace
