// The shipped Resources/Textures: that it is exactly what the generator makes, and that it has
// the properties the viewer's mesh and sky cube need to look seamless and lined up.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <glm/glm.hpp>
#include <gtest/gtest.h>
#include <png.h>
#include <string>
#include <vector>

#include "generator_run.h"
#include "gl_program_fixture.h"
#include "temp_directory.h"

namespace fs = std::filesystem;

namespace {

constexpr int heightmapSide = 256;

std::string shippedTextures() {
    return sourceDirectory() + "/Resources/Textures/";
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // rows from the file's top down

    glm::vec3 at(int column, int row) const {
        const std::uint8_t *pixel = &rgb[(std::size_t(row) * width + column) * 3];
        return {pixel[0], pixel[1], pixel[2]};
    }
};

Picture readPicture(const std::string &path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << "cannot read " << path << ": " << image.message;
        return picture;
    }
    image.format = PNG_FORMAT_RGB;
    picture.width = int(image.width);
    picture.height = int(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
        ADD_FAILURE() << "cannot decode " << path << ": " << image.message;
    }
    return picture;
}

std::vector<std::uint8_t> readHeightmap() {
    const std::string bytes = readFile(shippedTextures() + "HeightMap.raw");
    EXPECT_EQ(bytes.size(), std::size_t(heightmapSide * heightmapSide));
    return {bytes.begin(), bytes.end()};
}

int sampleAt(const std::vector<std::uint8_t> &heights, int x, int z) {
    return heights[std::size_t(z) * heightmapSide + x];
}

bool isPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

TEST(ShippedTextures, AreExactlyTheGeneratorsDefaultOutput) {
    TempDirectory folder;
    const GeneratorRun run = runGenerator("--output " + folder.path + "/out");
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    std::vector<std::string> generated;
    for (const auto &entry : fs::directory_iterator(folder.path + "/out")) {
        generated.push_back(entry.path().filename().string());
    }
    std::sort(generated.begin(), generated.end());
    const std::vector<std::string> expected = {"Back.png",      "Bottom.png", "Front.png",
                                               "HeightMap.raw", "Left.png",   "Right.png",
                                               "Terrain.png",   "Top.png"};
    ASSERT_EQ(generated, expected);
    for (const std::string &name : expected) {
        const std::string shipped = readFile(shippedTextures() + name);
        EXPECT_FALSE(shipped.empty()) << name << " is missing from the source tree";
        EXPECT_TRUE(shipped == readFile(folder.path + "/out/" + name))
            << name << " differs from what the generator makes; regenerate and commit it";
    }
}

TEST(ShippedTextures, HaveThePictureSizesTheLoaderNeeds) {
    const Picture terrain = readPicture(shippedTextures() + "Terrain.png");
    EXPECT_GE(terrain.width, 1024);
    EXPECT_TRUE(isPowerOfTwo(terrain.width) && terrain.width == terrain.height);
    for (const char *face : {"Front", "Back", "Left", "Right", "Top", "Bottom"}) {
        const Picture sky = readPicture(shippedTextures() + face + ".png");
        EXPECT_GE(sky.width, 512) << face;
        EXPECT_TRUE(isPowerOfTwo(sky.width) && sky.width == sky.height) << face;
    }
}

TEST(ShippedHeightmap, UsesMostOfTheByteRange) {
    const std::vector<std::uint8_t> heights = readHeightmap();
    const auto [lowest, highest] = std::minmax_element(heights.begin(), heights.end());
    EXPECT_GE(*highest - *lowest, 0.8 * 255);
}

// The mesh joins sample row 255 to row 0 and column 255 to column 0: those steps must look
// like any other step between neighbours, or the terrain shows a wall at its far edges.
TEST(ShippedHeightmap, WrapsAroundAsSmoothlyAsItsInterior) {
    const std::vector<std::uint8_t> heights = readHeightmap();
    double interiorSum = 0.0;
    int interiorLargest = 0;
    double wrapSum = 0.0;
    int wrapLargest = 0;
    for (int i = 0; i < heightmapSide; ++i) {
        for (int k = 0; k + 1 < heightmapSide; ++k) {
            for (const int step :
                 {std::abs(sampleAt(heights, k + 1, i) - sampleAt(heights, k, i)),
                  std::abs(sampleAt(heights, i, k + 1) - sampleAt(heights, i, k))}) {
                interiorSum += step;
                interiorLargest = std::max(interiorLargest, step);
            }
        }
        for (const int step : {std::abs(sampleAt(heights, 0, i) - sampleAt(heights, 255, i)),
                               std::abs(sampleAt(heights, i, 0) - sampleAt(heights, i, 255))}) {
            wrapSum += step;
            wrapLargest = std::max(wrapLargest, step);
        }
    }
    const double interiorMean = interiorSum / (2.0 * heightmapSide * (heightmapSide - 1));
    const double wrapMean = wrapSum / (2.0 * heightmapSide);
    EXPECT_LE(wrapMean, 1.5 * interiorMean);
    EXPECT_LE(wrapLargest, interiorLargest);
}

// Grey (rock, snow) against clearly coloured (grass, sand); the baked shading scales all three
// channels alike, so the ratio survives it.
float saturation(const glm::vec3 &colour) {
    const float brightest = std::max({colour.r, colour.g, colour.b});
    const float darkest = std::min({colour.r, colour.g, colour.b});
    return brightest > 0.0f ? (brightest - darkest) / brightest : 0.0f;
}

// The colour the viewer puts at grid point (x, z): texture coordinate (x / 256, z / 256), with the
// loader's vertical flip, so GL row t is the file's row size - 1 - t. The point sits on a texel
// corner, which linear filtering blends from the four texels around it.
glm::vec3 colourAtGridPoint(const Picture &terrain, int x, int z) {
    const int size = terrain.width;
    const int column = x * size / heightmapSide;
    const int glRow = z * size / heightmapSide;
    glm::vec3 sum(0.0f);
    for (const int c : {column - 1, column}) {
        for (const int t : {glRow - 1, glRow}) {
            const int clampedT = std::clamp(t, 0, size - 1);
            sum += terrain.at(std::clamp(c, 0, size - 1), size - 1 - clampedT);
        }
    }
    return sum / 4.0f;
}

TEST(ShippedTerrainTexture, LinesUpWithTheHeightmapAsTheViewerMapsIt) {
    const std::vector<std::uint8_t> heights = readHeightmap();
    const Picture terrain = readPicture(shippedTextures() + "Terrain.png");
    std::vector<int> order(heights.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = int(i);
    }
    std::sort(order.begin(), order.end(), [&](int a, int b) { return heights[a] < heights[b]; });
    constexpr int checked = 12;
    for (int k = 0; k < checked; ++k) {
        const int lowest = order[k];
        const int highest = order[order.size() - 1 - k];
        const glm::vec3 low = colourAtGridPoint(terrain, lowest % 256, lowest / 256);
        const glm::vec3 high = colourAtGridPoint(terrain, highest % 256, highest / 256);
        EXPECT_GE(saturation(low), 0.25f) << "sample " << lowest << " (height "
                                          << int(heights[lowest]) << ") is not low-land coloured";
        EXPECT_LE(saturation(high), 0.2f) << "sample " << highest << " (height "
                                          << int(heights[highest]) << ") is not rock or snow";
    }
}

// The viewer's sky cube, face by face: corner a has texture coordinate (0, 0), b (0, 1),
// d (1, 0).
struct CubeFace {
    const char *name;
    glm::vec3 a;
    glm::vec3 b;
    glm::vec3 d;
};

const std::array<CubeFace, 6> cubeFaces{{
    {"Front", {-0.5f, -0.5f, 0.5f}, {-0.5f, 0.5f, 0.5f}, {0.5f, -0.5f, 0.5f}},
    {"Back", {0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, -0.5f}},
    {"Left", {0.5f, -0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}},
    {"Right", {-0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, 0.5f}},
    {"Top", {0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}},
    {"Bottom", {0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}, {-0.5f, -0.5f, 0.5f}},
}};

glm::vec3 cubePoint(const CubeFace &face, glm::vec2 uv) {
    return face.a + uv.x * (face.d - face.a) + uv.y * (face.b - face.a);
}

bool contains(const CubeFace &face, const glm::vec3 &point) {
    const glm::vec2 uv(glm::dot(point - face.a, face.d - face.a),
                       glm::dot(point - face.a, face.b - face.a));
    return glm::length(cubePoint(face, uv) - point) < 1e-4f && uv.x > -1e-4f && uv.x < 1.0001f &&
           uv.y > -1e-4f && uv.y < 1.0001f;
}

// The file's pixel that the viewer samples at (u, v): the loader's flip puts file row 0 at v = 1.
glm::vec3 sampledColour(const Picture &picture, glm::vec2 uv) {
    const int column = std::clamp(int(uv.x * picture.width), 0, picture.width - 1);
    const int row = std::clamp(int((1.0f - uv.y) * picture.height), 0, picture.height - 1);
    return picture.at(column, row);
}

TEST(ShippedSkyFaces, MeetWithoutSeamsAsTheCubeSamplesThem) {
    std::array<Picture, 6> pictures;
    for (std::size_t f = 0; f < cubeFaces.size(); ++f) {
        pictures[f] = readPicture(shippedTextures() + cubeFaces[f].name + ".png");
        ASSERT_GT(pictures[f].width, 0);
    }
    int edgesChecked = 0;
    for (std::size_t f = 0; f < cubeFaces.size(); ++f) {
        const int size = pictures[f].width;
        // The four borders in texture coordinates: along each, one coordinate is fixed.
        for (int border = 0; border < 4; ++border) {
            std::size_t neighbour = cubeFaces.size();
            double difference = 0.0;
            for (int i = 0; i < size; ++i) {
                const float along = (i + 0.5f) / size;
                const float fixed = border % 2 == 0 ? 0.0f : 1.0f;
                const glm::vec2 uv = border < 2 ? glm::vec2(fixed, along) : glm::vec2(along, fixed);
                const glm::vec3 point = cubePoint(cubeFaces[f], uv);
                for (std::size_t g = 0; g < cubeFaces.size(); ++g) {
                    if (g != f && contains(cubeFaces[g], point)) {
                        neighbour = g;
                    }
                }
                ASSERT_LT(neighbour, cubeFaces.size()) << cubeFaces[f].name << " border " << border;
                const CubeFace &other = cubeFaces[neighbour];
                const glm::vec2 otherUv(glm::dot(point - other.a, other.d - other.a),
                                        glm::dot(point - other.a, other.b - other.a));
                const glm::vec3 step =
                    sampledColour(pictures[f], uv) - sampledColour(pictures[neighbour], otherUv);
                difference += (std::abs(step.r) + std::abs(step.g) + std::abs(step.b)) / 3.0;
            }
            EXPECT_LE(difference / size, 2.0)
                << cubeFaces[f].name << " against " << cubeFaces[neighbour].name
                << ": mean step across the edge, in 1/255";
            ++edgesChecked;
        }
    }
    EXPECT_EQ(edgesChecked, 24);
}

} // namespace
