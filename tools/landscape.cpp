#include "landscape.h"

#include <algorithm>
#include <cmath>

#include "periodic_noise.h"

namespace {

constexpr int erosionDroplets = 70000;
// The relief in sample spacings while it erodes; about the mesh's own steepness (25.5 units of
// height over 256) at this field's resolution, so rain carves what a viewer would see.
constexpr float erosionRelief = 0.1f * landscapeSize;

float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

float shapedHeight(std::uint64_t seed, float u, float v) {
    // Warping the lookup by a second noise bends the features out of the lattice's grain; the
    // warp tiles too, so the composition does.
    const float warpU = u + 0.06f * periodicFractal(seed, u, v, {2, 3, 0.5f, 1});
    const float warpV = v + 0.06f * periodicFractal(seed, u, v, {2, 3, 0.5f, 2});
    const float hills = periodicFractal(seed, warpU, warpV, {3, 7, 0.45f, 3});
    const float ridges = periodicRidges(seed, warpU, warpV, {4, 6, 0.45f, 4});
    // Mountains rise only where the large-scale hills are high; elsewhere stay rolling valleys.
    const float mountainMask = smoothstep(-0.15f, 0.45f, hills);
    return 0.6f * (hills + 1.0f) * 0.5f + 0.55f * mountainMask * ridges;
}

void normaliseToUnit(HeightField &field) {
    const auto [lowest, highest] = std::minmax_element(field.samples.begin(), field.samples.end());
    const float low = *lowest;
    const float range = *highest - low;
    for (float &sample : field.samples) {
        sample = (sample - low) / range;
    }
}

struct Droplet {
    float x;
    float y;
    float directionX = 0.0f;
    float directionY = 0.0f;
    float speed = 1.0f;
    float water = 1.0f;
    float sediment = 0.0f;
};

struct SurfacePoint {
    float height;
    float gradientX;
    float gradientY;
};

int wrapIndex(int index) {
    return index & (landscapeSize - 1);
}

float wrapPosition(float position) {
    const float size = landscapeSize;
    position = std::fmod(position, size);
    return position < 0.0f ? position + size : position;
}

SurfacePoint surfaceAt(const HeightField &field, float x, float y) {
    const int cellX = static_cast<int>(x);
    const int cellY = static_cast<int>(y);
    const float fx = x - cellX;
    const float fy = y - cellY;
    const float h00 = field.at(wrapIndex(cellX), wrapIndex(cellY));
    const float h10 = field.at(wrapIndex(cellX + 1), wrapIndex(cellY));
    const float h01 = field.at(wrapIndex(cellX), wrapIndex(cellY + 1));
    const float h11 = field.at(wrapIndex(cellX + 1), wrapIndex(cellY + 1));
    return {h00 * (1 - fx) * (1 - fy) + h10 * fx * (1 - fy) + h01 * (1 - fx) * fy + h11 * fx * fy,
            (h10 - h00) * (1 - fy) + (h11 - h01) * fy, (h01 - h00) * (1 - fx) + (h11 - h10) * fx};
}

// Adds amount at (x, y), shared among the four samples around it.
void depositAt(HeightField &field, float x, float y, float amount) {
    const int cellX = static_cast<int>(x);
    const int cellY = static_cast<int>(y);
    const float fx = x - cellX;
    const float fy = y - cellY;
    field.at(wrapIndex(cellX), wrapIndex(cellY)) += amount * (1 - fx) * (1 - fy);
    field.at(wrapIndex(cellX + 1), wrapIndex(cellY)) += amount * fx * (1 - fy);
    field.at(wrapIndex(cellX), wrapIndex(cellY + 1)) += amount * (1 - fx) * fy;
    field.at(wrapIndex(cellX + 1), wrapIndex(cellY + 1)) += amount * fx * fy;
}

// Erosion takes material from a small disc, so channels come out smooth instead of pitted.
struct BrushTap {
    int dx;
    int dy;
    float weight;
};

std::vector<BrushTap> makeBrush(int radius) {
    std::vector<BrushTap> brush;
    float total = 0.0f;
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const float weight = radius + 0.5f - std::sqrt(float(dx * dx + dy * dy));
            if (weight > 0.0f) {
                brush.push_back({dx, dy, weight});
                total += weight;
            }
        }
    }
    for (BrushTap &tap : brush) {
        tap.weight /= total;
    }
    return brush;
}

void erodeAt(HeightField &field, const std::vector<BrushTap> &brush, float x, float y,
             float amount) {
    const int cellX = static_cast<int>(x);
    const int cellY = static_cast<int>(y);
    for (const BrushTap &tap : brush) {
        field.at(wrapIndex(cellX + tap.dx), wrapIndex(cellY + tap.dy)) -= amount * tap.weight;
    }
}

float unitRandom(std::uint64_t &state) {
    state = mixBits(state);
    return static_cast<float>(state >> 40) / static_cast<float>(1ull << 24);
}

void runDroplet(HeightField &field, const std::vector<BrushTap> &brush, Droplet drop) {
    constexpr int lifetime = 30;    // steps
    constexpr float inertia = 0.1f; // share of the old direction kept each step
    constexpr float capacityFactor = 4.0f;
    constexpr float minimumCapacity = 0.01f;
    constexpr float depositRate = 0.3f;
    constexpr float erodeRate = 0.3f;
    constexpr float evaporation = 0.02f;
    constexpr float gravity = 4.0f;
    for (int step = 0; step < lifetime; ++step) {
        const SurfacePoint here = surfaceAt(field, drop.x, drop.y);
        drop.directionX = drop.directionX * inertia - here.gradientX * (1.0f - inertia);
        drop.directionY = drop.directionY * inertia - here.gradientY * (1.0f - inertia);
        const float length = std::hypot(drop.directionX, drop.directionY);
        if (length < 1e-6f) {
            return;
        }
        drop.directionX /= length;
        drop.directionY /= length;
        const float oldX = drop.x;
        const float oldY = drop.y;
        drop.x = wrapPosition(drop.x + drop.directionX);
        drop.y = wrapPosition(drop.y + drop.directionY);
        const float rise = surfaceAt(field, drop.x, drop.y).height - here.height;
        const float capacity =
            std::max(-rise * drop.speed * drop.water * capacityFactor, minimumCapacity);
        if (drop.sediment > capacity || rise > 0.0f) {
            // Uphill it fills the hollow it left; otherwise it drops what it cannot carry.
            const float amount = rise > 0.0f ? std::min(rise, drop.sediment)
                                             : (drop.sediment - capacity) * depositRate;
            drop.sediment -= amount;
            depositAt(field, oldX, oldY, amount);
        } else {
            const float amount = std::min((capacity - drop.sediment) * erodeRate, -rise);
            erodeAt(field, brush, oldX, oldY, amount);
            drop.sediment += amount;
        }
        drop.speed = std::sqrt(std::max(0.0f, drop.speed * drop.speed - rise * gravity));
        drop.water *= 1.0f - evaporation;
    }
}

// A 3 x 3 binomial blur, wrapping at the edges: it takes out the single-sample pits and mounds
// that droplets leave where they stop.
void smoothOnce(HeightField &field) {
    const HeightField original = field;
    constexpr float weights[3] = {0.25f, 0.5f, 0.25f};
    for (int y = 0; y < landscapeSize; ++y) {
        for (int x = 0; x < landscapeSize; ++x) {
            float sum = 0.0f;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    sum += weights[dx + 1] * weights[dy + 1] *
                           original.at(wrapIndex(x + dx), wrapIndex(y + dy));
                }
            }
            field.at(x, y) = sum;
        }
    }
}

// Rain droplets that run downhill, carving where they speed up and depositing where they slow
// down; they leave one edge and come in at the opposite one, so the field keeps tiling.
// Heights are in sample spacings.
void erodeByRain(HeightField &field, std::uint64_t seed, int droplets) {
    const std::vector<BrushTap> brush = makeBrush(2);
    std::uint64_t random = mixBits(seed ^ 0x5EEDull);
    for (int i = 0; i < droplets; ++i) {
        const float x = unitRandom(random) * landscapeSize;
        const float y = unitRandom(random) * landscapeSize;
        runDroplet(field, brush, Droplet{wrapPosition(x), wrapPosition(y)});
    }
}

} // namespace

HeightField synthesiseLandscape(std::uint64_t seed) {
    HeightField field = makeHeightField(landscapeSize, landscapeSize);
    for (int y = 0; y < landscapeSize; ++y) {
        for (int x = 0; x < landscapeSize; ++x) {
            field.at(x, y) = shapedHeight(seed, float(x) / landscapeSize, float(y) / landscapeSize);
        }
    }
    normaliseToUnit(field);
    // Broad valley floors and steeper summits, at the relief the rain works on.
    for (float &sample : field.samples) {
        sample = std::pow(sample, 1.2f) * erosionRelief;
    }
    erodeByRain(field, seed, erosionDroplets);
    smoothOnce(field);
    normaliseToUnit(field);
    return field;
}
