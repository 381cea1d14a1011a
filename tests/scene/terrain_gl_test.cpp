// The terrain's buffers and its draw, against a real GL.
#include <glm/gtc/matrix_transform.hpp>
#include <memory>
#include <string>

#include "console_capture.h"
#include "scene/terrain.h"
#include "scene_gl_fixture.h"
#include "temp_directory.h"

namespace {

std::uint8_t patternSample(int x, int z) {
    return std::uint8_t((x * 5 + z * 11) & 0xFF);
}

// Writes the heightmap (pattern, or every sample at flatSample) and loads a terrain from it.
std::unique_ptr<Terrain> loadTerrain(int width, int depth, int flatSample = -1) {
    std::string bytes;
    for (int z = 0; z < depth; ++z) {
        for (int x = 0; x < width; ++x) {
            bytes.push_back(char(flatSample < 0 ? patternSample(x, z) : flatSample));
        }
    }
    writeFile("Resources/Textures/HeightMap.raw", bytes);
    return std::make_unique<Terrain>("Terrain.png", "HeightMap.raw", width, depth);
}

GLint boundBuffer(GLenum binding) {
    GLint buffer = -1;
    glGetIntegerv(binding, &buffer);
    return buffer;
}

GLint bufferSize(GLenum target, GLuint buffer) {
    glBindBuffer(target, buffer);
    GLint size = -1;
    glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
    return size;
}

template <typename Element> Element bufferElement(GLenum target, GLuint buffer, std::size_t n) {
    glBindBuffer(target, buffer);
    Element element{};
    glGetBufferSubData(target, GLintptr(n * sizeof(Element)), sizeof(Element), &element);
    return element;
}

class TerrainBuild : public ::testing::Test {
protected:
    TempDirectory directory;
};

TEST_F(TerrainBuild, LeavesTexCoordAndIndexBuffersBound) {
    std::unique_ptr<Terrain> terrain = loadTerrain(256, 256);
    terrain->build();

    EXPECT_NE(terrain->positionBuffer, 0u);
    EXPECT_NE(terrain->texCoordBuffer, 0u);
    EXPECT_NE(terrain->indexBuffer, 0u);
    EXPECT_NE(terrain->positionBuffer, terrain->texCoordBuffer);
    EXPECT_EQ(boundBuffer(GL_ARRAY_BUFFER_BINDING), GLint(terrain->texCoordBuffer));
    EXPECT_EQ(boundBuffer(GL_ELEMENT_ARRAY_BUFFER_BINDING), GLint(terrain->indexBuffer));
}

TEST_F(TerrainBuild, UploadsTightlyPackedArrays) {
    std::unique_ptr<Terrain> terrain = loadTerrain(256, 256);
    terrain->build();

    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, terrain->positionBuffer), 257 * 257 * 12);
    EXPECT_EQ(bufferSize(GL_ARRAY_BUFFER, terrain->texCoordBuffer), 257 * 257 * 8);
    EXPECT_EQ(bufferSize(GL_ELEMENT_ARRAY_BUFFER, terrain->indexBuffer), 6 * 256 * 256 * 4);

    // Vertex (256, 3) wraps to sample column 0 of row 3; (128, 64) is a quarter up the texture.
    EXPECT_EQ(bufferElement<glm::vec3>(GL_ARRAY_BUFFER, terrain->positionBuffer, 3 * 257 + 256),
              glm::vec3(256.0f, float(patternSample(0, 3)) / 10.0f, 3.0f));
    EXPECT_EQ(bufferElement<glm::vec3>(GL_ARRAY_BUFFER, terrain->positionBuffer, 200 * 257 + 17),
              glm::vec3(17.0f, float(patternSample(17, 200)) / 10.0f, 200.0f));
    EXPECT_EQ(bufferElement<glm::vec2>(GL_ARRAY_BUFFER, terrain->texCoordBuffer, 64 * 257 + 128),
              glm::vec2(0.5f, 0.25f));
    const std::uint32_t lastCell = 255 * 257 + 255;
    EXPECT_EQ(bufferElement<std::uint32_t>(GL_ELEMENT_ARRAY_BUFFER, terrain->indexBuffer,
                                           6 * 256 * 256 - 1),
              lastCell + 258);
    EXPECT_EQ(bufferElement<std::uint32_t>(GL_ELEMENT_ARRAY_BUFFER, terrain->indexBuffer, 1), 257u);
}

TEST_F(TerrainBuild, DestructionDeletesTheBuffers) {
    std::unique_ptr<Terrain> terrain = loadTerrain(8, 8);
    terrain->build();
    const GLuint buffers[] = {terrain->positionBuffer, terrain->texCoordBuffer,
                              terrain->indexBuffer};
    terrain.reset();
    for (GLuint buffer : buffers) {
        EXPECT_EQ(glIsBuffer(buffer), GL_FALSE) << "buffer " << buffer << " still exists";
    }
}

// Quadrant colours of the terrain texture, texels from v = 0: u and v below or above 0.5.
const Rgb lowULowV{255, 0, 0};
const Rgb highULowV{0, 255, 0};
const Rgb lowUHighV{0, 0, 255};
const Rgb highUHighV{255, 255, 0};
const Rgba clearColour{0, 179, 255, 255};

// A 16 x 16 terrain, flat at sample 100 (height 10), seen straight down from 20 units above
// its centre: world x runs to the right of the window and world -z up it.
class TerrainPicture : public SceneGlTest {
protected:
    void SetUp() override {
        SceneGlTest::SetUp();
        registerTexture("Terrain.png", 2, 2, {lowULowV, highULowV, lowUHighV, highUHighV});
        terrain = loadTerrain(size, size, 100);
        terrain->build();
        view = cameraView({0.0f, 30.0f, 0.0f}, -90.0f, 0.0f, false);
        uploadMatrix("viewMatrix", view);
        // Where the corners at world (-8, 10, -8) and (8, 10, 8) must land.
        const glm::vec4 viewport(0.0f, 0.0f, float(testWindowWidth), float(testWindowHeight));
        const glm::vec3 upperLeft = glm::project(glm::vec3(-8, 10, -8), view, projection, viewport);
        const glm::vec3 lowerRight = glm::project(glm::vec3(8, 10, 8), view, projection, viewport);
        left = int(upperLeft.x);
        top = int(upperLeft.y);
        right = int(lowerRight.x);
        bottom = int(lowerRight.y);
    }

    void drawTerrain() {
        const std::string console = captureConsole([&] { terrain->draw(program); });
        EXPECT_EQ(console, "");
    }

    static constexpr int size = 16;
    TempDirectory directory;
    std::unique_ptr<Terrain> terrain;
    glm::mat4 view{1.0f};
    int left = 0, top = 0, right = 0, bottom = 0; // window pixels, origin bottom left
};

TEST_F(TerrainPicture, FilledTerrainShowsItsTextureCentredOnTheOrigin) {
    ASSERT_LT(left + 40, right);
    ASSERT_LT(bottom + 40, top);
    drawTerrain();

    const int midX = (left + right) / 2;
    const int midY = (top + bottom) / 2;
    EXPECT_NEAR(midX, testWindowWidth / 2, 1);
    EXPECT_NEAR(midY, testWindowHeight / 2, 1);
    struct Probe {
        int x, y;
        Rgba colour;
    };
    const int quarterX = (right - left) / 4;
    const int quarterY = (top - bottom) / 4;
    const Probe probes[] = {
        {midX - quarterX, midY + quarterY, opaque(lowULowV)},
        {midX + quarterX, midY + quarterY, opaque(highULowV)},
        {midX - quarterX, midY - quarterY, opaque(lowUHighV)},
        {midX + quarterX, midY - quarterY, opaque(highUHighV)},
        // Just inside and just outside each edge.
        {left + 4, midY + 10, opaque(lowULowV)},
        {left - 4, midY + 10, clearColour},
        {right - 4, midY - 10, opaque(highUHighV)},
        {right + 4, midY - 10, clearColour},
        {midX + 10, top - 4, opaque(highULowV)},
        {midX + 10, top + 4, clearColour},
        {midX - 10, bottom + 4, opaque(lowUHighV)},
        {midX - 10, bottom - 4, clearColour},
        {20, 20, clearColour},
    };
    for (const Probe &probe : probes) {
        const Rgba seen = readPixel(probe.x, probe.y);
        EXPECT_TRUE(nearColour(seen, probe.colour, 3))
            << "pixel (" << probe.x << ", " << probe.y << ") is " << int(seen[0]) << ","
            << int(seen[1]) << "," << int(seen[2]);
    }
    expectDrawStateReleased();
    EXPECT_EQ(boundBuffer(GL_ARRAY_BUFFER_BINDING), GLint(terrain->texCoordBuffer));
    EXPECT_EQ(boundBuffer(GL_ELEMENT_ARRAY_BUFFER_BINDING), GLint(terrain->indexBuffer));
}

TEST_F(TerrainPicture, WireframeLeavesTheClearColourBetweenTheEdges) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    drawTerrain();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    const int boxX = left + 10;
    const int boxY = bottom + 10;
    const int boxWidth = right - left - 20;
    const int boxHeight = top - bottom - 20;
    ASSERT_GT(boxWidth, 100);
    ASSERT_GT(boxHeight, 100);
    std::vector<Rgba> pixels(std::size_t(boxWidth) * std::size_t(boxHeight));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(boxX, boxY, boxWidth, boxHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    std::size_t clear = 0;
    for (const Rgba &pixel : pixels) {
        clear += nearColour(pixel, clearColour, 3) ? 1 : 0;
    }
    const double clearShare = double(clear) / double(pixels.size());
    // Three edges a cell of about 27 pixels square cover some tenth of it.
    EXPECT_GT(clearShare, 0.7);
    EXPECT_LT(clearShare, 0.97) << "no edges drawn";
}

// The model matrix centres the mesh, halving each side as an integer.
struct CentringCase {
    int width;
    int depth;
    float shiftX;
    float shiftZ;
};

class TerrainCentring : public SceneGlTest, public ::testing::WithParamInterface<CentringCase> {
protected:
    TempDirectory directory;
};

TEST_P(TerrainCentring, ModelMatrixTranslatesByMinusHalfTheGrid) {
    const CentringCase &grid = GetParam();
    std::unique_ptr<Terrain> terrain = loadTerrain(grid.width, grid.depth);
    terrain->build();
    uploadMatrix("modelMatrix", glm::mat4(0.0f));
    captureConsole([&] { terrain->draw(program); });

    EXPECT_EQ(modelMatrixUniform(),
              glm::translate(glm::mat4(1.0f), glm::vec3(grid.shiftX, 0.0f, grid.shiftZ)));
}

INSTANTIATE_TEST_SUITE_P(Grids, TerrainCentring,
                         ::testing::Values(CentringCase{256, 256, -128.0f, -128.0f},
                                           CentringCase{16, 16, -8.0f, -8.0f},
                                           CentringCase{255, 17, -127.0f, -8.0f}),
                         [](const auto &info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.depth);
                         });

} // namespace
