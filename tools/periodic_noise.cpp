#include "periodic_noise.h"

#include <array>
#include <cmath>

namespace {

constexpr int gradientCount = 16;

struct Gradient {
    float x;
    float y;
};

std::array<Gradient, gradientCount> makeGradients() {
    std::array<Gradient, gradientCount> gradients{};
    for (int i = 0; i < gradientCount; ++i) {
        const double angle = 2.0 * 3.14159265358979323846 * i / gradientCount;
        gradients[i] = {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
    }
    return gradients;
}

const std::array<Gradient, gradientCount> gradients = makeGradients();

int wrapCell(int cell, int period) {
    const int wrapped = cell % period;
    return wrapped < 0 ? wrapped + period : wrapped;
}

float cornerContribution(std::uint64_t seed, int cellX, int cellY, float dx, float dy) {
    const std::uint64_t key = seed ^ (static_cast<std::uint64_t>(cellX) << 32) ^
                              static_cast<std::uint64_t>(static_cast<std::uint32_t>(cellY));
    const Gradient &g = gradients[mixBits(key) % gradientCount];
    return g.x * dx + g.y * dy;
}

float fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

std::uint64_t octaveSeed(std::uint64_t seed, std::uint32_t layer, int octave) {
    return mixBits(seed * 0x9E3779B97F4A7C15ull + layer * 1000003ull + octave);
}

} // namespace

std::uint64_t mixBits(std::uint64_t key) {
    key += 0x9E3779B97F4A7C15ull;
    key = (key ^ (key >> 30)) * 0xBF58476D1CE4E5B9ull;
    key = (key ^ (key >> 27)) * 0x94D049BB133111EBull;
    return key ^ (key >> 31);
}

float periodicGradientNoise(std::uint64_t seed, float x, float y, int period) {
    const float floorX = std::floor(x);
    const float floorY = std::floor(y);
    const float dx = x - floorX;
    const float dy = y - floorY;
    const int x0 = wrapCell(static_cast<int>(floorX), period);
    const int y0 = wrapCell(static_cast<int>(floorY), period);
    const int x1 = wrapCell(x0 + 1, period);
    const int y1 = wrapCell(y0 + 1, period);
    const float bottom = lerp(cornerContribution(seed, x0, y0, dx, dy),
                              cornerContribution(seed, x1, y0, dx - 1.0f, dy), fade(dx));
    const float top = lerp(cornerContribution(seed, x0, y1, dx, dy - 1.0f),
                           cornerContribution(seed, x1, y1, dx - 1.0f, dy - 1.0f), fade(dx));
    // Perlin noise in 2D stays within about +-0.7; scale it to about +-1.
    return lerp(bottom, top, fade(dy)) * 1.4f;
}

float periodicFractal(std::uint64_t seed, float u, float v, const FractalShape &shape) {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float amplitudeSum = 0.0f;
    int cells = shape.baseCells;
    for (int octave = 0; octave < shape.octaves; ++octave) {
        sum += amplitude * periodicGradientNoise(octaveSeed(seed, shape.layer, octave), u * cells,
                                                 v * cells, cells);
        amplitudeSum += amplitude;
        amplitude *= shape.gain;
        cells *= 2;
    }
    return sum / amplitudeSum;
}

float periodicRidges(std::uint64_t seed, float u, float v, const FractalShape &shape) {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float amplitudeSum = 0.0f;
    // Each octave's crests are weighted by the one before, so detail gathers on the ridges
    // instead of covering the valleys evenly.
    float weight = 1.0f;
    int cells = shape.baseCells;
    for (int octave = 0; octave < shape.octaves; ++octave) {
        const float noise = periodicGradientNoise(octaveSeed(seed, shape.layer, octave), u * cells,
                                                  v * cells, cells);
        float crest = 1.0f - std::fabs(noise);
        crest *= crest * weight;
        weight = std::fmin(1.0f, crest * 2.0f);
        sum += amplitude * crest;
        amplitudeSum += amplitude;
        amplitude *= shape.gain;
        cells *= 2;
    }
    return sum / amplitudeSum;
}
