#include "generator_options.h"

#include <cstdio>

#include "png_codec.h"

namespace {

bool parseRawSize(const std::string &text, RawLayout &raw) {
    char separator = 0;
    char trailing = 0;
    return std::sscanf(text.c_str(), "%d%c%d%c", &raw.width, &separator, &raw.height, &trailing) ==
               3 &&
           separator == 'x' && raw.width > 0 && raw.height > 0;
}

bool parseSeed(const std::string &text, std::uint64_t &seed) {
    unsigned long long value = 0;
    char trailing = 0;
    if (text.empty() || text[0] == '-' ||
        std::sscanf(text.c_str(), "%llu%c", &value, &trailing) != 1) {
        return false;
    }
    seed = value;
    return true;
}

} // namespace

ParsedOptions parseGeneratorOptions(const std::vector<std::string> &arguments) {
    ParsedOptions parsed{GeneratorOptions{}, ""};
    GeneratorOptions &options = parsed.options;
    std::string byteOrder;
    for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
        const std::string &argument = arguments[i];
        const bool takesValue = argument == "--output" || argument == "--seed" ||
                                argument == "--import" || argument == "--raw-size" ||
                                argument == "--byte-order";
        if (argument == "--help" || argument == "-h") {
            options.showHelp = true;
        } else if (!takesValue) {
            parsed.error = "unknown option '" + argument + "' (see --help)";
        } else if (i + 1 == arguments.size()) {
            parsed.error = argument + " needs a value (see --help)";
        } else {
            const std::string &value = arguments[++i];
            if (argument == "--output") {
                options.outputFolder = value;
            } else if (argument == "--import") {
                options.importPath = value;
            } else if (argument == "--byte-order") {
                byteOrder = value;
            } else if (argument == "--seed" && !parseSeed(value, options.seed)) {
                parsed.error = "--seed takes a whole number, not '" + value + "'";
            } else if (argument == "--raw-size" && !parseRawSize(value, options.raw)) {
                parsed.error = "--raw-size takes WIDTHxHEIGHT, e.g. 1024x1024, not '" + value + "'";
            }
        }
    }
    if (!parsed.error.empty()) {
        return parsed;
    }
    if (byteOrder == "big" || byteOrder == "little" || byteOrder.empty()) {
        options.raw.bigEndian = byteOrder == "big";
    } else {
        parsed.error = "--byte-order takes little or big, not '" + byteOrder + "'";
    }
    if ((options.raw.width > 0 || !byteOrder.empty()) && options.importPath.empty()) {
        parsed.error = "--raw-size and --byte-order describe a file given with --import";
    }
    return parsed;
}

std::string generatorHelp() {
    return "Usage: generate_resources [options]\n"
           "Makes the viewer's scene: HeightMap.raw, Terrain.png and the six sky faces\n"
           "(Front, Back, Left, Right, Top, Bottom .png). The same options give the same bytes.\n"
           "\n"
           "  --output FOLDER     where to write (default Resources/Textures)\n"
           "  --seed N            seed of the generated landscape, clouds and texture detail\n"
           "                      (default " +
           std::to_string(defaultSeed) +
           ")\n"
           "  --import FILE       use your own heightmap instead of the generated one: a\n"
           "                      greyscale PNG of 8 or 16 bits, at least " +
           std::to_string(minimumImportSize) + "x" + std::to_string(minimumImportSize) +
           " and at most " + std::to_string(maximumImportSize) + "x" +
           std::to_string(maximumImportSize) +
           ";\n"
           "                      it is resampled to 256x256, stretched to the full 0-255\n"
           "                      range, and the texture is baked from its full precision\n"
           "  --raw-size WxH      FILE holds raw 16-bit samples, W across and H down\n"
           "  --byte-order ORDER  byte order of those samples: little (default) or big\n"
           "  --help              show this text\n"
           "\n"
           "A refused input changes nothing in the output folder; files are written under\n"
           "temporary names and renamed into place.\n";
}
