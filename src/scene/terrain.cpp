#include "scene/terrain.h"

#include <cstdio>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <string>

#include "platform/resource_paths.h"
#include "texturing/texture_manager.h"

namespace {

constexpr float heightScale = 10.0f; // sample units per model unit

// The buffers and the shader contract assume tightly packed floats.
static_assert(sizeof(glm::vec3) == 12 && sizeof(glm::vec2) == 8, "GLM types must be packed");

template <typename Element>
GLuint uploadBuffer(GLenum target, const std::vector<Element> &elements) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(elements.size() * sizeof(Element)),
                 elements.data(), GL_STATIC_DRAW);
    return buffer;
}

void deleteBuffer(GLuint buffer) {
    if (buffer != 0) {
        glDeleteBuffers(1, &buffer);
    }
}

} // namespace

// heightData starts zeroed, so samples that a missing or short file does not supply are flat
// ground rather than whatever the allocator left there.
Terrain::Terrain(const char *textureName, const char *heightMapFile, int width, int depth)
    : width(width), depth(depth), textureName(textureName),
      heightData(static_cast<std::size_t>(width) * static_cast<std::size_t>(depth)) {
    const std::string path = std::string(textureDirectory) + heightMapFile;
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        std::printf("Unable to Load HeightMap\n");
        return;
    }
    // A short file leaves the rest of the samples at 0; the count read is not needed.
    std::fread(heightData.data(), 1, heightData.size(), file);
    if (std::ferror(file) != 0) {
        std::printf("Failed to get Data from HeightMap\n");
    }
    std::fclose(file);
}

Terrain::~Terrain() {
    deleteBuffer(positionBuffer);
    deleteBuffer(texCoordBuffer);
    deleteBuffer(indexBuffer);
}

float Terrain::getHeight(const std::uint8_t *data, int x, int z) const {
    if (data == nullptr) {
        return 0.0f;
    }
    return float(data[(z % depth) * width + (x % width)]);
}

// The far row and column wrap to the near ones, and the texture spans the mesh once.
void Terrain::generateMesh() {
    const float stepU = 1.0f / float(width);
    const float stepV = 1.0f / float(depth);
    const std::size_t vertexCount = std::size_t(width + 1) * std::size_t(depth + 1);
    positions.reserve(positions.size() + vertexCount);
    texCoords.reserve(texCoords.size() + vertexCount);
    indices.reserve(indices.size() + 6 * std::size_t(width) * std::size_t(depth));

    for (int z = 0; z <= depth; ++z) {
        for (int x = 0; x <= width; ++x) {
            const float y = getHeight(heightData.data(), x, z) / heightScale;
            positions.emplace_back(float(x), y, float(z));
            texCoords.emplace_back(float(x) * stepU, float(z) * stepV);
        }
    }

    // Two counter-clockwise triangles per cell seen from above, split from (c+1, r) to (c, r+1).
    const std::uint32_t rowLength = std::uint32_t(width) + 1;
    for (int r = 0; r < depth; ++r) {
        for (int c = 0; c < width; ++c) {
            const std::uint32_t i = std::uint32_t(r) * rowLength + std::uint32_t(c);
            indices.insert(indices.end(),
                           {i, i + rowLength, i + 1, i + 1, i + rowLength, i + rowLength + 1});
        }
    }
}

// ARRAY_BUFFER is left bound to texCoordBuffer and ELEMENT_ARRAY_BUFFER to indexBuffer.
void Terrain::build() {
    generateMesh();
    positionBuffer = uploadBuffer(GL_ARRAY_BUFFER, positions);
    texCoordBuffer = uploadBuffer(GL_ARRAY_BUFFER, texCoords);
    indexBuffer = uploadBuffer(GL_ELEMENT_ARRAY_BUFFER, indices);
}

// Expects the program current with its view and projection set; the caller picks the polygon
// mode. The mesh is centred on the world origin, halves truncated as integers.
void Terrain::draw(GLuint program) {
    TextureManager::getInstance()->bindTexture(textureName);

    const glm::mat4 model =
        glm::translate(glm::mat4(1.0f), glm::vec3(float(-(width / 2)), 0.0f, float(-(depth / 2))));
    glUniformMatrix4fv(glGetUniformLocation(program, "modelMatrix"), 1, GL_FALSE,
                       glm::value_ptr(model));

    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, texCoordBuffer);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, nullptr);
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);

    TextureManager::getInstance()->unbindTexture();
}
