// Heightmap reading and mesh generation, no GL context needed.
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "console_capture.h"
#include "scene/terrain.h"
#include "temp_directory.h"

namespace {

const std::string heightMapPath = "Resources/Textures/HeightMap.raw";

// Distinct neighbours, both extremes present: sample (255, 0) is 255 and (0, 0) is 0.
std::uint8_t patternSample(int x, int z) {
    return std::uint8_t((x + 3 * z) & 0xFF);
}

std::string patternBytes(int width, int depth) {
    std::string bytes;
    for (int z = 0; z < depth; ++z) {
        for (int x = 0; x < width; ++x) {
            bytes.push_back(char(patternSample(x, z)));
        }
    }
    return bytes;
}

std::unique_ptr<Terrain> loadTerrain(int width, int depth, std::string *console = nullptr) {
    std::unique_ptr<Terrain> terrain;
    const std::string printed = captureConsole(
        [&] { terrain = std::make_unique<Terrain>("Terrain.png", "HeightMap.raw", width, depth); });
    if (console != nullptr) {
        *console = printed;
    }
    return terrain;
}

// A 256 x 256 terrain read from a pattern file, mesh generated.
class PatternTerrain : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(heightMapPath, patternBytes(size, size));
        terrain = loadTerrain(size, size);
        terrain->generateMesh();
    }

    const glm::vec3 &vertex(int x, int z) const { return terrain->positions[z * (size + 1) + x]; }
    const glm::vec2 &texCoord(int x, int z) const { return terrain->texCoords[z * (size + 1) + x]; }

    static constexpr int size = 256;
    TempDirectory directory;
    std::unique_ptr<Terrain> terrain;
};

TEST_F(PatternTerrain, ArrayLengthsFollowTheGrid) {
    EXPECT_EQ(terrain->positions.size(), 257u * 257u);
    EXPECT_EQ(terrain->texCoords.size(), 257u * 257u);
    EXPECT_EQ(terrain->indices.size(), 6u * 256u * 256u);
}

TEST_F(PatternTerrain, IndicesStartAndEndWithTheCornerCells) {
    const std::vector<std::uint32_t> &indices = terrain->indices;
    const std::vector<std::uint32_t> first(indices.begin(), indices.begin() + 6);
    EXPECT_EQ(first, (std::vector<std::uint32_t>{0, 257, 1, 1, 257, 258}));

    const std::uint32_t i = 255 * 257 + 255;
    const std::vector<std::uint32_t> last(indices.end() - 6, indices.end());
    EXPECT_EQ(last, (std::vector<std::uint32_t>{i, i + 257, i + 1, i + 1, i + 257, i + 258}));
    EXPECT_EQ(*std::max_element(indices.begin(), indices.end()), 257u * 257u - 1);
}

// Every triangle must face up, or the diagonal or the winding is wrong somewhere.
TEST_F(PatternTerrain, EveryTriangleRunsCounterClockwiseSeenFromAbove) {
    const std::vector<std::uint32_t> &indices = terrain->indices;
    int downward = 0;
    for (std::size_t t = 0; t < indices.size(); t += 3) {
        const glm::vec3 a = terrain->positions[indices[t]];
        const glm::vec3 ab = terrain->positions[indices[t + 1]] - a;
        const glm::vec3 ac = terrain->positions[indices[t + 2]] - a;
        // Upward normal component of ab x ac in the x-z plane.
        const float up = ab.z * ac.x - ab.x * ac.z;
        downward += up > 0.0f ? 0 : 1;
    }
    EXPECT_EQ(downward, 0);
}

// Heights are sample / 10 in single precision (not sample * 0.1); the far row and column
// repeat sample row 0 and column 0.
TEST_F(PatternTerrain, VerticesSitOnTheGridAtTheirWrappedSampleHeight) {
    int wrong = 0;
    std::string firstWrong;
    for (int z = 0; z <= size; ++z) {
        for (int x = 0; x <= size; ++x) {
            const float height = float(patternSample(x % size, z % size)) / 10.0f;
            if (vertex(x, z) != glm::vec3(float(x), height, float(z)) && wrong++ == 0) {
                firstWrong = std::to_string(x) + ", " + std::to_string(z);
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "first wrong vertex (" << firstWrong << ")";
    EXPECT_FLOAT_EQ(vertex(255, 0).y, 25.5f);
    EXPECT_EQ(vertex(0, 0).y, 0.0f);
    EXPECT_EQ(vertex(256, 7).y, vertex(0, 7).y);
    EXPECT_EQ(vertex(9, 256).y, vertex(9, 0).y);
}

TEST_F(PatternTerrain, TextureSpansTheMeshOnce) {
    EXPECT_EQ(texCoord(0, 0), glm::vec2(0.0f, 0.0f));
    EXPECT_EQ(texCoord(128, 64), glm::vec2(0.5f, 0.25f));
    EXPECT_EQ(texCoord(256, 0), glm::vec2(1.0f, 0.0f));
    EXPECT_EQ(texCoord(256, 256), glm::vec2(1.0f, 1.0f));
}

// Non-square grids catch a swapped width and depth.
struct GridCase {
    int width;
    int depth;
};

class GridShape : public ::testing::TestWithParam<GridCase> {};

TEST_P(GridShape, VertexOfGridPointXzIsEntryZTimesRowLengthPlusX) {
    const auto [width, depth] = GetParam();
    TempDirectory directory;
    writeFile(heightMapPath, patternBytes(width, depth));
    std::unique_ptr<Terrain> terrain = loadTerrain(width, depth);
    terrain->generateMesh();

    const std::size_t vertexCount = std::size_t(width + 1) * std::size_t(depth + 1);
    ASSERT_EQ(terrain->positions.size(), vertexCount);
    ASSERT_EQ(terrain->texCoords.size(), vertexCount);
    ASSERT_EQ(terrain->indices.size(), 6u * std::size_t(width) * std::size_t(depth));
    for (int z = 0; z <= depth; ++z) {
        for (int x = 0; x <= width; ++x) {
            const std::size_t entry = std::size_t(z) * std::size_t(width + 1) + std::size_t(x);
            const float height = float(patternSample(x % width, z % depth)) / 10.0f;
            ASSERT_EQ(terrain->positions[entry], glm::vec3(float(x), height, float(z)))
                << "at (" << x << ", " << z << ")";
            ASSERT_EQ(terrain->texCoords[entry],
                      glm::vec2(float(x) * (1.0f / float(width)), float(z) * (1.0f / float(depth))))
                << "at (" << x << ", " << z << ")";
        }
    }
    EXPECT_EQ(*std::max_element(terrain->indices.begin(), terrain->indices.end()), vertexCount - 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, GridShape,
                         ::testing::Values(GridCase{1, 1}, GridCase{5, 3}, GridCase{3, 7}),
                         [](const auto &info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.depth);
                         });

class HeightLookup : public ::testing::Test {
protected:
    // 5 columns, 3 rows: byte z * 5 + x holds 10 * z + x.
    const std::uint8_t samples[15] = {0, 1, 2, 3, 4, 10, 11, 12, 13, 14, 20, 21, 22, 23, 24};
    Terrain terrain{"Terrain.png", "NoSuchFile.raw", 5, 3};
};

TEST_F(HeightLookup, ReadsColumnXOfRowZ) {
    EXPECT_EQ(terrain.getHeight(samples, 0, 0), 0.0f);
    EXPECT_EQ(terrain.getHeight(samples, 4, 0), 4.0f);
    EXPECT_EQ(terrain.getHeight(samples, 1, 2), 21.0f);
    EXPECT_EQ(terrain.getHeight(samples, 3, 1), 13.0f);
}

TEST_F(HeightLookup, WrapsBothCoordinates) {
    EXPECT_EQ(terrain.getHeight(samples, 5, 1), terrain.getHeight(samples, 0, 1));
    EXPECT_EQ(terrain.getHeight(samples, 2, 3), terrain.getHeight(samples, 2, 0));
    EXPECT_EQ(terrain.getHeight(samples, 5, 3), 0.0f);
    EXPECT_EQ(terrain.getHeight(samples, 13, 7), 13.0f); // column 3, row 1
}

TEST_F(HeightLookup, NullBufferIsFlat) {
    for (const auto &[x, z] : {std::pair{0, 0}, std::pair{3, 2}, std::pair{5, 3}, {1000, 99}}) {
        EXPECT_EQ(terrain.getHeight(nullptr, x, z), 0.0f) << "at (" << x << ", " << z << ")";
    }
}

// What the heightmap file holds, and what the terrain makes of it.
struct HeightMapCase {
    const char *name;
    void (*prepare)();
    std::size_t samplesSupplied; // from the pattern; the rest must read as 0
    const char *console;
};

constexpr int fileSize = 256;
constexpr std::size_t fullLength = fileSize * fileSize;

std::string patternPrefix(std::size_t length) {
    return patternBytes(fileSize, fileSize).substr(0, length);
}

const HeightMapCase heightMapCases[] = {
    // Right name in the wrong folder: still missing.
    {"Missing", [] { writeFile("HeightMap.raw", patternPrefix(fullLength)); }, 0,
     "Unable to Load HeightMap\n"},
    {"Empty", [] { writeFile(heightMapPath, std::string()); }, 0, ""},
    {"Short", [] { writeFile(heightMapPath, patternPrefix(100)); }, 100, ""},
    {"Exact", [] { writeFile(heightMapPath, patternPrefix(fullLength)); }, fullLength, ""},
    {"Long", [] { writeFile(heightMapPath, patternPrefix(fullLength) + std::string(500, '\xFF')); },
     fullLength, ""},
    // Opens on Linux, but the read fails with EISDIR.
    {"Directory", [] { makeDirectories(heightMapPath); }, 0, "Failed to get Data from HeightMap\n"},
};

class HeightMapFile : public ::testing::TestWithParam<HeightMapCase> {};

TEST_P(HeightMapFile, LoadsWhatTheFileSuppliesAndZerosTheRest) {
    const HeightMapCase &file = GetParam();
    TempDirectory directory;
    file.prepare();
    std::string console;
    std::unique_ptr<Terrain> terrain = loadTerrain(fileSize, fileSize, &console);

    EXPECT_EQ(console, file.console);
    ASSERT_EQ(terrain->heightData.size(), fullLength);
    const std::string expected =
        patternPrefix(file.samplesSupplied) + std::string(fullLength - file.samplesSupplied, '\0');
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), terrain->heightData.begin(),
                           [](char a, std::uint8_t b) { return std::uint8_t(a) == b; }))
        << "samples differ from the " << file.samplesSupplied << " supplied followed by zeros";
    EXPECT_EQ(terrain->positionBuffer, 0u);
    EXPECT_EQ(terrain->texCoordBuffer, 0u);
    EXPECT_EQ(terrain->indexBuffer, 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, HeightMapFile, ::testing::ValuesIn(heightMapCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
