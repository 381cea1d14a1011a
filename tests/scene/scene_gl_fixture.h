// Shared set-up of the scene GL tests: the shipped Basic program made current with the frame's
// projection, textures made in code and filed in the TextureManager, and state checks.
#pragma once

#include "platform/gl.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "gl_test_environment.h"

using Rgb = std::array<std::uint8_t, 3>;

Rgba opaque(const Rgb &colour);

class SceneGlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void uploadMatrix(const char *name, const glm::mat4 &matrix);
    // The camera's view at this pose; withoutTranslation keeps only its rotation, as the sky uses.
    glm::mat4 cameraView(glm::vec3 position, float pitch, float yaw, bool withoutTranslation);
    glm::mat4 modelMatrixUniform();

    // Files a texture under name; texels row by row from v = 0, nearest filtering, repeat. With
    // its mipmaps, so that any minifying filter finds a complete texture.
    GLuint registerTexture(const std::string &name, int width, int height,
                           const std::vector<Rgb> &texels);

    // Attributes 0 and 1 off, no texture bound, GL_TEXTURE_2D off.
    void expectDrawStateReleased();

    GLuint program = 0;
    glm::mat4 projection{1.0f};
    std::vector<std::string> registeredTextures;
};
