#include "terrain_texture.h"

#include <algorithm>
#include <cmath>

#include "periodic_noise.h"
#include "sunlight.h"

namespace {

constexpr float meshUnitsPerTexel = float(heightmapSize) / terrainTextureSize;
constexpr float heightPerByte = 0.1f; // mesh units, as the viewer divides each sample by 10
// Seen from 190 units up, the mesh's gentle relief reads better with steeper shading.
constexpr float shadingRelief = 2.0f;

float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

glm::vec3 groundColour(float height, float slope, float variation) {
    const glm::vec3 sand(0.74f, 0.68f, 0.50f);
    const glm::vec3 meadow(0.27f, 0.44f, 0.16f);
    const glm::vec3 upland(0.43f, 0.50f, 0.24f);
    const glm::vec3 heath(0.50f, 0.44f, 0.30f);
    const glm::vec3 rock(0.50f, 0.47f, 0.44f);
    const glm::vec3 snow(0.95f, 0.96f, 0.98f);
    const float h = height + 0.04f * variation;
    glm::vec3 colour = glm::mix(sand, meadow, smoothstep(0.01f, 0.04f, h));
    colour = glm::mix(colour, upland, smoothstep(0.22f, 0.42f, h));
    colour = glm::mix(colour, heath, smoothstep(0.42f, 0.55f, h));
    colour = glm::mix(colour, rock, smoothstep(0.55f, 0.66f, h));
    // Steep ground shows bare rock at any height.
    colour = glm::mix(colour, rock * (0.9f + 0.1f * variation), smoothstep(0.6f, 1.0f, slope));
    // Snow lies on the summits, less on steep faces.
    colour = glm::mix(colour, snow, smoothstep(0.66f, 0.74f, h - 0.08f * slope));
    return colour * (1.0f + 0.06f * variation);
}

} // namespace

RgbImage bakeTerrainTexture(const HeightField &source, const HeightScale &scale,
                            std::uint64_t seed) {
    const int size = terrainTextureSize;
    // Heightmap sample k holds the source around k + 0.5 samples from its edge, and the mesh
    // puts it at vertex k: shift the texture's lookup by half a sample to match.
    const float halfSampleX = 0.5f * source.width / heightmapSize;
    const float halfSampleY = 0.5f * source.height / heightmapSize;
    const HeightField surface =
        resample(source, size, size, halfSampleX, halfSampleY, EdgeMode::wrap);
    const glm::vec3 sun = sunDirection();
    RgbImage image{size, size, std::vector<std::uint8_t>(std::size_t(size) * size * 3)};
    const auto meshHeight = [&](int x, int z) {
        return scale.toByteUnits(surface.at((x + size) % size, (z + size) % size)) * heightPerByte;
    };
    for (int z = 0; z < size; ++z) {
        for (int x = 0; x < size; ++x) {
            const float slopeX =
                (meshHeight(x + 1, z) - meshHeight(x - 1, z)) / (2.0f * meshUnitsPerTexel);
            const float slopeZ =
                (meshHeight(x, z + 1) - meshHeight(x, z - 1)) / (2.0f * meshUnitsPerTexel);
            const glm::vec3 normal =
                glm::normalize(glm::vec3(-slopeX * shadingRelief, 1.0f, -slopeZ * shadingRelief));
            // Flat ground keeps its colour; faces towards the sun brighten, those away darken.
            const float light = 0.35f + 0.65f * std::max(0.0f, glm::dot(normal, sun)) / sun.y;
            const float variation =
                periodicFractal(seed, float(x) / size, float(z) / size, {24, 4, 0.55f, 7});
            const float slope = std::hypot(slopeX, slopeZ);
            const glm::vec3 colour =
                groundColour(meshHeight(x, z) / (255.0f * heightPerByte), slope, variation) * light;
            // Mesh row z is the picture's row size - 1 - z, from the loader's vertical flip.
            std::uint8_t *pixel = &image.pixels[(std::size_t(size - 1 - z) * size + x) * 3];
            for (int channel = 0; channel < 3; ++channel) {
                pixel[channel] = static_cast<std::uint8_t>(
                    std::lround(std::clamp(colour[channel], 0.0f, 1.0f) * 255.0f));
            }
        }
    }
    return image;
}
