// The sky cube's buffer, its faces on screen and the texture state its draw leaves.
#include <string>

#include "scene/skybox.h"
#include "scene_gl_fixture.h"
#include "texturing/texture_manager.h"

namespace {

struct Face {
    const char *texture;
    glm::vec3 corners[4]; // a (u 0, v 0), b (0, 1), c (1, 1), d (1, 0)
    Rgb colour;
};

const Face faces[6] = {
    {"Front.png",
     {{-.5f, -.5f, .5f}, {-.5f, .5f, .5f}, {.5f, .5f, .5f}, {.5f, -.5f, .5f}},
     {255, 0, 0}},
    {"Back.png",
     {{.5f, -.5f, -.5f}, {.5f, .5f, -.5f}, {-.5f, .5f, -.5f}, {-.5f, -.5f, -.5f}},
     {0, 255, 0}},
    {"Left.png",
     {{.5f, -.5f, .5f}, {.5f, .5f, .5f}, {.5f, .5f, -.5f}, {.5f, -.5f, -.5f}},
     {0, 0, 255}},
    {"Right.png",
     {{-.5f, -.5f, -.5f}, {-.5f, .5f, -.5f}, {-.5f, .5f, .5f}, {-.5f, -.5f, .5f}},
     {255, 255, 0}},
    {"Top.png",
     {{.5f, .5f, -.5f}, {.5f, .5f, .5f}, {-.5f, .5f, .5f}, {-.5f, .5f, -.5f}},
     {255, 0, 255}},
    {"Bottom.png",
     {{.5f, -.5f, .5f}, {.5f, -.5f, -.5f}, {-.5f, -.5f, -.5f}, {-.5f, -.5f, .5f}},
     {0, 255, 255}},
};

// Faces as seen from the centre are mirrored: u grows to the left of the window for all six
// at the poses below, so a third of the way in from each side the texel differs.
Rgb dim(const Rgb &c) {
    return {std::uint8_t(c[0] / 2), std::uint8_t(c[1] / 2), std::uint8_t(c[2] / 2)};
}
Rgb light(const Rgb &c) {
    return {std::uint8_t(c[0] / 2 + 127), std::uint8_t(c[1] / 2 + 127),
            std::uint8_t(c[2] / 2 + 127)};
}

std::vector<float> expectedVertices() {
    const int cornerOrder[6] = {0, 1, 2, 2, 3, 0};
    const glm::vec2 texCoords[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    std::vector<float> vertices;
    for (const Face &face : faces) {
        for (int corner : cornerOrder) {
            const glm::vec3 &p = face.corners[corner];
            const glm::vec2 &t = texCoords[corner];
            vertices.insert(vertices.end(), {p.x, p.y, p.z, t.x, t.y});
        }
    }
    return vertices;
}

class SkyboxGl : public SceneGlTest {
protected:
    void SetUp() override {
        SceneGlTest::SetUp();
        skybox.build();
    }

    // Texels along u: dim, the face colour, light.
    void registerFaceTextures() {
        for (const Face &face : faces) {
            registerTexture(face.texture, 3, 1,
                            {dim(face.colour), face.colour, light(face.colour)});
        }
    }

    void drawAt(float pitch, float yaw) {
        glClear(GL_COLOR_BUFFER_BIT);
        uploadMatrix("viewMatrix", cameraView({50.0f, 60.0f, 70.0f}, pitch, yaw, true));
        skybox.draw(program);
    }

    Skybox skybox;
};

TEST_F(SkyboxGl, BufferHoldsTheThirtySixVerticesFaceByFace) {
    GLint bound = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
    ASSERT_NE(skybox.vertexBuffer, 0u);
    EXPECT_EQ(bound, GLint(skybox.vertexBuffer));

    GLint size = -1;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    ASSERT_EQ(size, 720);
    std::vector<float> stored(180);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 720, stored.data());

    EXPECT_EQ(std::vector<float>(stored.begin(), stored.begin() + 5),
              (std::vector<float>{-0.5f, -0.5f, 0.5f, 0.0f, 0.0f}));
    EXPECT_EQ(std::vector<float>(stored.begin() + 10, stored.begin() + 15),
              (std::vector<float>{0.5f, 0.5f, 0.5f, 1.0f, 1.0f}));
    EXPECT_EQ(std::vector<float>(stored.begin() + 175, stored.end()),
              (std::vector<float>{0.5f, -0.5f, 0.5f, 0.0f, 0.0f}));
    EXPECT_EQ(stored, expectedVertices());
}

struct Pose {
    const char *name;
    float pitch; // degrees
    float yaw;   // degrees
    int face;    // index into faces
};

class SkyboxFaces : public SkyboxGl, public ::testing::WithParamInterface<Pose> {};

TEST_P(SkyboxFaces, EyeSeesTheFaceItLooksAt) {
    const Pose &pose = GetParam();
    registerFaceTextures();
    const Face &face = faces[pose.face];
    // The second frame samples with the parameters the first one left.
    for (int frame = 0; frame < 2; ++frame) {
        drawAt(pose.pitch, pose.yaw);
        const int centreX = testWindowWidth / 2;
        const int centreY = testWindowHeight / 2;
        EXPECT_TRUE(nearColour(readPixel(centreX, centreY), opaque(face.colour)))
            << face.texture << " not at the centre in frame " << frame;
        EXPECT_TRUE(nearColour(readPixel(centreX - 300, centreY), opaque(light(face.colour))))
            << face.texture << " not mirrored as seen from inside, frame " << frame;
        EXPECT_TRUE(nearColour(readPixel(centreX + 300, centreY), opaque(dim(face.colour))))
            << face.texture << " not mirrored as seen from inside, frame " << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Poses, SkyboxFaces,
    ::testing::Values(Pose{"Yaw0", 0.0f, 0.0f, 1}, Pose{"Yaw90", 0.0f, 90.0f, 3},
                      Pose{"Yaw180", 0.0f, 180.0f, 0}, Pose{"Yaw270", 0.0f, 270.0f, 2},
                      Pose{"PitchUp", 90.0f, 0.0f, 4}, Pose{"PitchDown", -90.0f, 0.0f, 5}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SkyboxGl, DrawClampsEveryFaceAndMipmapsItsMinification) {
    registerFaceTextures();
    drawAt(0.0f, 0.0f);
    drawAt(0.0f, 0.0f);

    for (const Face &face : faces) {
        glBindTexture(GL_TEXTURE_2D, TextureManager::getInstance()->textures[face.texture]);
        GLint wrapS = 0, wrapT = 0, minFilter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        EXPECT_EQ(wrapS, GL_CLAMP_TO_EDGE) << face.texture;
        EXPECT_EQ(wrapT, GL_CLAMP_TO_EDGE) << face.texture;
        EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR) << face.texture;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(SkyboxGl, DrawUploadsIdentityModelAndReleasesItsState) {
    registerFaceTextures();
    uploadMatrix("modelMatrix", glm::mat4(2.0f));
    glEnable(GL_TEXTURE_2D);
    drawAt(0.0f, 0.0f);

    EXPECT_EQ(modelMatrixUniform(), glm::mat4(1.0f));
    expectDrawStateReleased();
    GLint bound = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(bound, GLint(skybox.vertexBuffer));
}

} // namespace
