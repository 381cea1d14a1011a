// The heightmap terrain: an 8-bit RAW grid of width x depth samples read at construction
// (no GL needed) and turned by build() into one indexed triangle mesh in three GL buffers.
#pragma once

#include "platform/gl.h"

#include <cstdint>
#include <glm/glm.hpp>
#include <vector>

class Terrain {
public:
    Terrain(const char *textureName, const char *heightMapFile, int width, int depth);
    ~Terrain();
    Terrain(const Terrain &) = delete;
    Terrain &operator=(const Terrain &) = delete;

    // The raw sample (0..255) at column x, row z, wrapping both; 0 for a null buffer.
    float getHeight(const std::uint8_t *data, int x, int z) const;
    // Fills positions, texCoords and indices from heightData; needs no GL.
    void generateMesh();
    void build();
    void draw(GLuint program);

    GLuint positionBuffer = 0;
    GLuint texCoordBuffer = 0;
    GLuint indexBuffer = 0;
    int width;
    int depth;
    const char *textureName;
    std::vector<std::uint8_t> heightData;
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> texCoords;
    std::vector<std::uint32_t> indices;
};
