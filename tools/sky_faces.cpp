#include "sky_faces.h"

#include <algorithm>
#include <cmath>

#include "periodic_noise.h"
#include "sunlight.h"

namespace {

float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

glm::vec3 clearSky(float elevation) {
    const glm::vec3 zenith(0.18f, 0.40f, 0.78f);
    const glm::vec3 horizonHaze(0.76f, 0.84f, 0.92f);
    const glm::vec3 groundHaze(0.56f, 0.60f, 0.60f);
    const glm::vec3 farGround(0.30f, 0.34f, 0.30f);
    if (elevation >= 0.0f) {
        return glm::mix(horizonHaze, zenith, std::pow(elevation, 0.5f));
    }
    const glm::vec3 haze = glm::mix(horizonHaze, groundHaze, smoothstep(0.0f, 0.08f, -elevation));
    return glm::mix(haze, farGround, smoothstep(0.05f, 0.7f, -elevation));
}

// Clouds on a flat layer overhead; they thin out towards the horizon, where the layer's
// projection would stretch them without bound.
glm::vec3 withClouds(const glm::vec3 &sky, const glm::vec3 &direction, std::uint64_t seed) {
    const float elevation = direction.y;
    const float fade = smoothstep(0.03f, 0.25f, elevation);
    if (fade <= 0.0f) {
        return sky;
    }
    // The layer's coordinates stay well inside one period of the noise, so nothing repeats.
    constexpr int period = 256;
    const float layerX = direction.x / (elevation + 0.1f) * 0.9f + 100.0f;
    const float layerZ = direction.z / (elevation + 0.1f) * 0.9f + 100.0f;
    const FractalShape shape{period, 6, 0.5f, 11};
    const float density = periodicFractal(seed, layerX / period, layerZ / period, shape);
    const float cover = smoothstep(0.02f, 0.45f, density) * fade;
    // Thick cloud is greyer underneath.
    const glm::vec3 cloud =
        glm::mix(glm::vec3(0.97f), glm::vec3(0.74f, 0.77f, 0.82f), smoothstep(0.3f, 0.8f, density));
    return glm::mix(sky, cloud, cover * 0.85f);
}

glm::vec3 withSun(const glm::vec3 &sky, const glm::vec3 &direction) {
    const float closeness = std::max(0.0f, glm::dot(direction, sunDirection()));
    const glm::vec3 warm(1.0f, 0.92f, 0.75f);
    const float glow = 0.25f * std::pow(closeness, 12.0f) + 0.45f * std::pow(closeness, 200.0f);
    // A disc of about 1.3 degrees with a soft rim.
    const float disc = smoothstep(0.99968f, 0.99976f, closeness);
    return glm::mix(sky + warm * glow, glm::vec3(1.0f, 0.98f, 0.92f), disc);
}

} // namespace

const std::array<SkyFace, 6> &skyFaces() {
    static const std::array<SkyFace, 6> faces{{
        {"Front.png", {-0.5f, -0.5f, 0.5f}, {-0.5f, 0.5f, 0.5f}, {0.5f, -0.5f, 0.5f}},
        {"Back.png", {0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, -0.5f}},
        {"Left.png", {0.5f, -0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}},
        {"Right.png", {-0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, 0.5f}},
        {"Top.png", {0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}},
        {"Bottom.png", {0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}, {-0.5f, -0.5f, 0.5f}},
    }};
    return faces;
}

glm::vec3 facePoint(const SkyFace &face, float u, float v) {
    return face.a + u * (face.d - face.a) + v * (face.b - face.a);
}

glm::vec3 skyColour(const glm::vec3 &direction, std::uint64_t seed) {
    const glm::vec3 sky = withClouds(clearSky(direction.y), direction, seed);
    return withSun(sky, direction);
}

RgbImage renderSkyFace(const SkyFace &face, std::uint64_t seed) {
    const int size = skyFaceSize;
    RgbImage image{size, size, std::vector<std::uint8_t>(std::size_t(size) * size * 3)};
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            const float u = (column + 0.5f) / size;
            const float v = 1.0f - (row + 0.5f) / size;
            const glm::vec3 colour = skyColour(glm::normalize(facePoint(face, u, v)), seed);
            std::uint8_t *pixel = &image.pixels[(std::size_t(row) * size + column) * 3];
            for (int channel = 0; channel < 3; ++channel) {
                pixel[channel] = static_cast<std::uint8_t>(
                    std::lround(std::clamp(colour[channel], 0.0f, 1.0f) * 255.0f));
            }
        }
    }
    return image;
}
