#include "height_field.h"

#include <algorithm>
#include <cmath>

namespace {

// One target pixel's share of source pixels along an axis.
struct Tap {
    int index;
    float weight;
};

int sourceIndex(int index, int size, EdgeMode edges) {
    if (edges == EdgeMode::clamp) {
        return std::clamp(index, 0, size - 1);
    }
    const int wrapped = index % size;
    return wrapped < 0 ? wrapped + size : wrapped;
}

// Exact overlap of [start, end) with every source pixel it touches.
std::vector<Tap> boxTaps(double start, double end, int size, EdgeMode edges) {
    std::vector<Tap> taps;
    const double span = end - start;
    for (int pixel = static_cast<int>(std::floor(start)); pixel < end; ++pixel) {
        const double overlap = std::min(end, pixel + 1.0) - std::max(start, double(pixel));
        if (overlap > 0.0) {
            taps.push_back({sourceIndex(pixel, size, edges), static_cast<float>(overlap / span)});
        }
    }
    return taps;
}

std::vector<Tap> cubicTaps(double centre, int size, EdgeMode edges) {
    // Pixel centres sit at half-integers; interpolate between the two around `centre`.
    const double position = centre - 0.5;
    const int base = static_cast<int>(std::floor(position));
    const float t = static_cast<float>(position - base);
    const float t2 = t * t;
    const float t3 = t2 * t;
    const float weights[4] = {0.5f * (-t3 + 2.0f * t2 - t), 0.5f * (3.0f * t3 - 5.0f * t2 + 2.0f),
                              0.5f * (-3.0f * t3 + 4.0f * t2 + t), 0.5f * (t3 - t2)};
    std::vector<Tap> taps;
    for (int k = 0; k < 4; ++k) {
        taps.push_back({sourceIndex(base - 1 + k, size, edges), weights[k]});
    }
    return taps;
}

std::vector<std::vector<Tap>> axisTaps(int sourceSize, int targetSize, float offset,
                                       EdgeMode edges) {
    const double step = double(sourceSize) / targetSize;
    std::vector<std::vector<Tap>> taps(targetSize);
    for (int i = 0; i < targetSize; ++i) {
        const double start = i * step + offset;
        taps[i] = step > 1.0 ? boxTaps(start, start + step, sourceSize, edges)
                             : cubicTaps(start + 0.5 * step, sourceSize, edges);
    }
    return taps;
}

} // namespace

HeightField makeHeightField(int width, int height) {
    return {width, height, std::vector<float>(static_cast<std::size_t>(width) * height, 0.0f)};
}

HeightField resample(const HeightField &source, int width, int height, float offsetX, float offsetY,
                     EdgeMode edges) {
    const auto columnTaps = axisTaps(source.width, width, offsetX, edges);
    const auto rowTaps = axisTaps(source.height, height, offsetY, edges);
    // Separable: first along x into an intermediate of target width, then along y.
    HeightField across = makeHeightField(width, source.height);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < width; ++x) {
            float sum = 0.0f;
            for (const Tap &tap : columnTaps[x]) {
                sum += tap.weight * source.at(tap.index, y);
            }
            across.at(x, y) = sum;
        }
    }
    HeightField result = makeHeightField(width, height);
    for (int y = 0; y < height; ++y) {
        for (const Tap &tap : rowTaps[y]) {
            for (int x = 0; x < width; ++x) {
                result.at(x, y) += tap.weight * across.at(x, tap.index);
            }
        }
    }
    return result;
}

HeightScale byteScaleOf(const HeightField &field) {
    const auto [lowest, highest] = std::minmax_element(field.samples.begin(), field.samples.end());
    const float range = *highest - *lowest;
    return {*lowest, range > 0.0f ? 255.0f / range : 0.0f};
}

std::vector<std::uint8_t> toBytes(const HeightField &field, const HeightScale &scale) {
    std::vector<std::uint8_t> bytes(field.samples.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const float value = std::round(scale.toByteUnits(field.samples[i]));
        bytes[i] = static_cast<std::uint8_t>(std::clamp(value, 0.0f, 255.0f));
    }
    return bytes;
}
