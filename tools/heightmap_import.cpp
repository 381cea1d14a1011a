#include "heightmap_import.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "png_codec.h"

namespace {

struct FileBytes {
    std::vector<unsigned char> bytes;
    std::string error;
};

FileBytes readWholeFile(const std::string &path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return {{}, "is a folder, not a file"};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {{}, "cannot be opened"};
    }
    FileBytes file;
    file.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        file.error = "cannot be read";
    }
    return file;
}

ImportedHeights decodeRaw16(const std::vector<unsigned char> &bytes, const RawLayout &raw) {
    const std::size_t expected = std::size_t(raw.width) * raw.height * 2;
    if (bytes.size() != expected) {
        return {{},
                "has " + std::to_string(bytes.size()) + " bytes, but " + std::to_string(raw.width) +
                    "x" + std::to_string(raw.height) + " 16-bit samples need " +
                    std::to_string(expected)};
    }
    HeightField field = makeHeightField(raw.width, raw.height);
    for (std::size_t i = 0; i < field.samples.size(); ++i) {
        const unsigned first = bytes[2 * i];
        const unsigned second = bytes[2 * i + 1];
        field.samples[i] = float(raw.bigEndian ? first << 8 | second : second << 8 | first);
    }
    return {field, ""};
}

std::string rawSizeProblem(const RawLayout &raw) {
    if (std::min(raw.width, raw.height) < minimumImportSize) {
        return "is declared too small (at least " + std::to_string(minimumImportSize) + "x" +
               std::to_string(minimumImportSize) + " needed)";
    }
    if (std::max(raw.width, raw.height) > maximumImportSize) {
        return "is declared too large (at most " + std::to_string(maximumImportSize) + "x" +
               std::to_string(maximumImportSize) + ")";
    }
    return "";
}

bool isFlat(const HeightField &field) {
    const auto [lowest, highest] = std::minmax_element(field.samples.begin(), field.samples.end());
    return *lowest == *highest;
}

} // namespace

ImportedHeights importHeightmap(const std::string &path, const RawLayout &raw) {
    const auto refuse = [&](const std::string &reason) {
        return ImportedHeights{{}, "'" + path + "' " + reason};
    };
    const bool isRaw = raw.width > 0;
    if (const std::string problem = isRaw ? rawSizeProblem(raw) : ""; !problem.empty()) {
        return refuse(problem);
    }
    const FileBytes file = readWholeFile(path);
    if (!file.error.empty()) {
        return refuse(file.error);
    }
    ImportedHeights imported;
    if (isRaw) {
        imported = decodeRaw16(file.bytes, raw);
    } else {
        DecodedHeights decoded = decodeGreyPng(file.bytes);
        imported = {std::move(decoded.field), decoded.error};
    }
    if (imported.error.empty() && isFlat(imported.field)) {
        imported.error = "is flat: every sample has the same height";
    }
    if (!imported.error.empty()) {
        return refuse(imported.error);
    }
    return imported;
}
