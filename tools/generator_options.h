// The generator's command line: where to write, which seed, and an optional heightmap to import.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "heightmap_import.h"

constexpr std::uint64_t defaultSeed = 7; // picked for a good-looking default landscape

struct GeneratorOptions {
    std::string outputFolder = "Resources/Textures";
    std::uint64_t seed = defaultSeed;
    std::string importPath; // empty: the generated landscape
    RawLayout raw;
    bool showHelp = false;
};

struct ParsedOptions {
    GeneratorOptions options;
    std::string error; // one line; empty when the command line is sound
};

// `arguments` without the program name.
ParsedOptions parseGeneratorOptions(const std::vector<std::string> &arguments);

std::string generatorHelp();
