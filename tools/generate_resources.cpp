// Command-line front of the resource generator; all the work lives in the library.
#include <chrono>
#include <iostream>

#include "generator_options.h"
#include "heightmap_import.h"
#include "scene_files.h"

namespace {

int fail(const std::string &message) {
    std::cerr << "generate_resources: " << message << std::endl;
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    const ParsedOptions parsed = parseGeneratorOptions({argv + 1, argv + argc});
    if (!parsed.error.empty()) {
        return fail(parsed.error);
    }
    const GeneratorOptions &options = parsed.options;
    if (options.showHelp) {
        std::cout << generatorHelp();
        return 0;
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<SceneFile> files;
    if (options.importPath.empty()) {
        files = buildDefaultScene(options.seed, std::cout);
    } else {
        const ImportedHeights imported = importHeightmap(options.importPath, options.raw);
        if (!imported.error.empty()) {
            return fail(imported.error);
        }
        std::cout << "Imported '" << options.importPath << "'" << std::endl;
        // A user's map rarely tiles: extend its border rather than blend in the opposite edge.
        files = buildScene(imported.field, EdgeMode::clamp, options.seed, std::cout);
    }
    const std::string error = writeScene(options.outputFolder, files);
    if (!error.empty()) {
        return fail(error);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "Wrote " << files.size() << " files to " << options.outputFolder << " in "
              << seconds << " s" << std::endl;
    return 0;
}
