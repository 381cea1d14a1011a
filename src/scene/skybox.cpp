#include "scene/skybox.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "texturing/texture_manager.h"

namespace {

constexpr int floatsPerVertex = 5; // x, y, z, u, v
constexpr int verticesPerFace = 6;
constexpr GLsizei vertexStride = floatsPerVertex * sizeof(float); // bytes
constexpr std::size_t texCoordOffset = 3 * sizeof(float);         // bytes

// Face by face, corners a b c c d a with a = (0, 0), b = (0, 1), c = (1, 1), d = (1, 0).
// Seen from the centre every triangle is counter-clockwise: the front faces point inward.
// clang-format off
constexpr float cubeVertices[] = {
    // Front, z = 0.5
    -0.5f, -0.5f,  0.5f,  0.0f,  0.0f,
    -0.5f,  0.5f,  0.5f,  0.0f,  1.0f,
     0.5f,  0.5f,  0.5f,  1.0f,  1.0f,
     0.5f,  0.5f,  0.5f,  1.0f,  1.0f,
     0.5f, -0.5f,  0.5f,  1.0f,  0.0f,
    -0.5f, -0.5f,  0.5f,  0.0f,  0.0f,
    // Back, z = -0.5
     0.5f, -0.5f, -0.5f,  0.0f,  0.0f,
     0.5f,  0.5f, -0.5f,  0.0f,  1.0f,
    -0.5f,  0.5f, -0.5f,  1.0f,  1.0f,
    -0.5f,  0.5f, -0.5f,  1.0f,  1.0f,
    -0.5f, -0.5f, -0.5f,  1.0f,  0.0f,
     0.5f, -0.5f, -0.5f,  0.0f,  0.0f,
    // Left, x = 0.5
     0.5f, -0.5f,  0.5f,  0.0f,  0.0f,
     0.5f,  0.5f,  0.5f,  0.0f,  1.0f,
     0.5f,  0.5f, -0.5f,  1.0f,  1.0f,
     0.5f,  0.5f, -0.5f,  1.0f,  1.0f,
     0.5f, -0.5f, -0.5f,  1.0f,  0.0f,
     0.5f, -0.5f,  0.5f,  0.0f,  0.0f,
    // Right, x = -0.5
    -0.5f, -0.5f, -0.5f,  0.0f,  0.0f,
    -0.5f,  0.5f, -0.5f,  0.0f,  1.0f,
    -0.5f,  0.5f,  0.5f,  1.0f,  1.0f,
    -0.5f,  0.5f,  0.5f,  1.0f,  1.0f,
    -0.5f, -0.5f,  0.5f,  1.0f,  0.0f,
    -0.5f, -0.5f, -0.5f,  0.0f,  0.0f,
    // Top, y = 0.5
     0.5f,  0.5f, -0.5f,  0.0f,  0.0f,
     0.5f,  0.5f,  0.5f,  0.0f,  1.0f,
    -0.5f,  0.5f,  0.5f,  1.0f,  1.0f,
    -0.5f,  0.5f,  0.5f,  1.0f,  1.0f,
    -0.5f,  0.5f, -0.5f,  1.0f,  0.0f,
     0.5f,  0.5f, -0.5f,  0.0f,  0.0f,
    // Bottom, y = -0.5
     0.5f, -0.5f,  0.5f,  0.0f,  0.0f,
     0.5f, -0.5f, -0.5f,  0.0f,  1.0f,
    -0.5f, -0.5f, -0.5f,  1.0f,  1.0f,
    -0.5f, -0.5f, -0.5f,  1.0f,  1.0f,
    -0.5f, -0.5f,  0.5f,  1.0f,  0.0f,
     0.5f, -0.5f,  0.5f,  0.0f,  0.0f,
};
// clang-format on
static_assert(sizeof(cubeVertices) == 720, "36 vertices of five floats");

const char *const faceTextures[] = {"Front.png", "Back.png", "Left.png",
                                    "Right.png", "Top.png",  "Bottom.png"};

} // namespace

void Skybox::build() {
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(cubeVertices), cubeVertices, GL_STATIC_DRAW);
}

// Expects the program current with a view that has no translation. Each face's wrap and
// minifying filter are set after its draw, so they take effect from the next frame on.
void Skybox::draw(GLuint program) {
    const glm::mat4 model = glm::scale(glm::mat4(1.0f), scale);
    glUniformMatrix4fv(glGetUniformLocation(program, "modelMatrix"), 1, GL_FALSE,
                       glm::value_ptr(model));

    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, vertexStride, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, vertexStride,
                          reinterpret_cast<const void *>(texCoordOffset));

    for (int face = 0; face < 6; ++face) {
        TextureManager::getInstance()->bindTexture(faceTextures[face]);
        glDrawArrays(GL_TRIANGLES, face * verticesPerFace, verticesPerFace);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        TextureManager::getInstance()->unbindTexture();
    }

    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
}
