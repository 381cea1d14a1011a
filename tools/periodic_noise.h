// Gradient noise that tiles: each octave's lattice wraps after a whole number of cells, so a
// fractal sum over the unit square repeats exactly at its edges. Same seed, same values.
#pragma once

#include <cstdint>

// Perlin noise, about -1 to 1, at (x, y) in lattice cells; repeats every `period` cells.
float periodicGradientNoise(std::uint64_t seed, float x, float y, int period);

struct FractalShape {
    int baseCells;       // lattice cells across the unit square in the first octave
    int octaves;         // each one doubles the cells
    float gain;          // amplitude ratio of one octave to the previous
    std::uint32_t layer; // separates independent noises made from one seed
};

// Octave sum normalised to about -1 to 1; (u, v) in the unit square, which it tiles.
float periodicFractal(std::uint64_t seed, float u, float v, const FractalShape &shape);

// Sharp crests where the noise crosses zero, 0 to 1; tiles like periodicFractal.
float periodicRidges(std::uint64_t seed, float u, float v, const FractalShape &shape);

// A well-mixed 64-bit value from a key: the one source of randomness of the generator.
std::uint64_t mixBits(std::uint64_t key);
