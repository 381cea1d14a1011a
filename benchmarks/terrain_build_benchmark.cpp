// How fast Terrain::generateMesh turns a heightmap into its arrays, against memset of as many
// bytes (at most 64 MiB) into a warm buffer: meshVsMemset says how far mesh generation is from
// plain memory bandwidth. Sizes past the system's 256 x 256 show how it scales.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "scene/terrain.h"

namespace {

namespace fs = std::filesystem;

std::size_t meshBytes(int size) {
    const std::size_t vertices = std::size_t(size + 1) * std::size_t(size + 1);
    const std::size_t indices = 6 * std::size_t(size) * std::size_t(size);
    return vertices * (sizeof(glm::vec3) + sizeof(glm::vec2)) + indices * sizeof(std::uint32_t);
}

// A heightmap of its own per size, in the working directory the benchmark runs in.
std::unique_ptr<Terrain> loadTerrain(int size) {
    const std::string name = "bench-" + std::to_string(size) + ".raw";
    const fs::path path = fs::path("Resources/Textures") / name;
    if (!fs::exists(path)) {
        fs::create_directories(path.parent_path());
        std::vector<char> samples(std::size_t(size) * std::size_t(size));
        for (std::size_t i = 0; i < samples.size(); ++i) {
            samples[i] = char((i * 2654435761u) >> 24); // scattered, not constant
        }
        std::ofstream(path, std::ios::binary)
            .write(samples.data(), std::streamsize(samples.size()));
    }
    static std::vector<std::string> names; // Terrain keeps the pointer it is given
    names.push_back(name);
    return std::make_unique<Terrain>("Terrain.png", names.back().c_str(), size, size);
}

// Thread CPU time, as the benchmark's own rates use: the machine is shared, and wall time
// would count other people's work.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Best of a few memsets over a buffer already faulted in, bytes per second. Past the cap the
// buffer is already well beyond the last-level cache, and faulting in more only costs time.
double memsetBandwidth(std::size_t meshSize) {
    constexpr std::size_t cap = std::size_t(64) << 20; // bytes
    const std::size_t bytes = std::min(meshSize, cap);
    std::vector<unsigned char> buffer(bytes, 1);
    double best = 0.0;
    for (int pass = 0; pass < 3; ++pass) {
        const double start = threadSeconds();
        std::memset(buffer.data(), pass, buffer.size());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
        best = std::max(best, double(bytes) / (threadSeconds() - start));
    }
    return best;
}

void releaseArrays(Terrain &terrain) {
    terrain.positions = {};
    terrain.texCoords = {};
    terrain.indices = {};
}

void clearArrays(Terrain &terrain) {
    terrain.positions.clear();
    terrain.texCoords.clear();
    terrain.indices.clear();
}

// Arguments: grid side, and whether each pass starts from released arrays (the start-up case:
// allocation and first-touch page faults included) or from cleared ones (capacity kept, so
// only the generation itself is timed).
void generateMesh(benchmark::State &state) {
    const int size = int(state.range(0));
    const bool fresh = state.range(1) != 0;
    std::unique_ptr<Terrain> terrain = loadTerrain(size);
    if (!fresh) {
        terrain->generateMesh();
        clearArrays(*terrain);
    }
    double generating = 0.0; // seconds
    for (auto _ : state) {
        const double start = threadSeconds();
        terrain->generateMesh();
        benchmark::DoNotOptimize(terrain->indices.data());
        generating += threadSeconds() - start;
        state.PauseTiming();
        fresh ? releaseArrays(*terrain) : clearArrays(*terrain);
        state.ResumeTiming();
    }
    const double vertices = double(size + 1) * double(size + 1);
    const double bytes = double(meshBytes(size));
    const double meshBandwidth = bytes * double(state.iterations()) / generating;
    const double memset = memsetBandwidth(meshBytes(size));
    state.counters["vertices"] =
        benchmark::Counter(vertices, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["meshBytes"] = benchmark::Counter(
        bytes, benchmark::Counter::kIsIterationInvariantRate, benchmark::Counter::kIs1024);
    state.counters["memsetBytes"] =
        benchmark::Counter(memset, benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
    state.counters["meshVsMemset"] = meshBandwidth / memset;
}

BENCHMARK(generateMesh)
    ->ArgNames({"side", "fresh"})
    ->Args({256, 0})
    ->Args({1024, 0})
    ->Args({2048, 0})
    ->Args({4096, 0})
    ->Args({256, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.1);

} // namespace

// The heightmaps go to a folder of their own, removed at the end.
int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::string pattern = (fs::temp_directory_path() / "terrain-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "terrain_build_benchmark: cannot create a folder from %s\n",
                     pattern.c_str());
        return 1;
    }
    const fs::path previous = fs::current_path();
    fs::current_path(pattern);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::current_path(previous);
    fs::remove_all(pattern);
    return 0;
}
