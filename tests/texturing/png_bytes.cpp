#include "png_bytes.h"

#include <algorithm>
#include <png.h>
#include <random>
#include <zlib.h>

#include "png_fixture.h"

namespace {

constexpr std::size_t signatureSize = 8;
// Length, type and CRC around every chunk's data.
constexpr std::size_t chunkOverhead = 12;

std::uint32_t readBigEndian(const Bytes &bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
           std::uint32_t{bytes[at + 2]} << 8 | std::uint32_t{bytes[at + 3]};
}

void writeBigEndian(Bytes &bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<unsigned char>(value >> (24 - 8 * i));
    }
}

void writeCrc(Bytes &png, std::size_t chunk) {
    const std::uint32_t length = readBigEndian(png, chunk);
    const uLong crc = crc32(0L, png.data() + chunk + 4, length + 4);
    writeBigEndian(png, chunk + 8 + length, static_cast<std::uint32_t>(crc));
}

Bytes truncated(const Bytes &png, std::size_t size) {
    return Bytes(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(size));
}

void addTruncations(std::vector<DamagedPng> &cases, const Bytes &seed, const std::string &name) {
    for (std::size_t size = 0; size < seed.size(); ++size) {
        cases.push_back({name + " cut at " + std::to_string(size), truncated(seed, size)});
    }
}

void addBitFlips(std::vector<DamagedPng> &cases, const Bytes &seed, const std::string &name) {
    for (std::size_t at = 0; at < seed.size(); ++at) {
        Bytes flipped = seed;
        flipped[at] ^= static_cast<unsigned char>(1u << (at % 8));
        cases.push_back({name + " bit flip at " + std::to_string(at), flipped});
        fixChunkCrcs(flipped);
        cases.push_back({name + " bit flip, CRC repaired, at " + std::to_string(at), flipped});
    }
}

void addBogusLengths(std::vector<DamagedPng> &cases, const Bytes &seed, const std::string &name) {
    for (std::size_t chunk : chunkOffsets(seed)) {
        const std::uint32_t length = readBigEndian(seed, chunk);
        for (std::uint32_t bogus : {0u, 1u, length - 1, length + 1, 0x7fffffffu, 0xffffffffu}) {
            Bytes forged = seed;
            writeBigEndian(forged, chunk, bogus);
            cases.push_back(
                {name + " chunk at " + std::to_string(chunk) + " length " + std::to_string(bogus),
                 forged});
        }
    }
}

void addForgedSizes(std::vector<DamagedPng> &cases, const Bytes &seed, const std::string &name) {
    const std::uint32_t sides[] = {0,      1,       2,          16384,       16385,
                                   100000, 1000001, 0x7fffffff, 0x80000000u, 0xffffffffu};
    for (std::uint32_t width : sides) {
        for (std::uint32_t height : sides) {
            cases.push_back(
                {name + " declared " + std::to_string(width) + "x" + std::to_string(height),
                 withDeclaredSize(seed, width, height)});
        }
    }
}

void addRandomDamage(std::vector<DamagedPng> &cases, const std::vector<Bytes> &seeds, int count) {
    std::mt19937 random(20240607);
    for (int i = 0; i < count; ++i) {
        Bytes damaged = seeds[random() % seeds.size()];
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits; ++e) {
            damaged[signatureSize + random() % (damaged.size() - signatureSize)] =
                static_cast<unsigned char>(random());
        }
        if (random() % 4 != 0) {
            fixChunkCrcs(damaged);
        }
        cases.push_back({"random damage " + std::to_string(i), damaged});
    }
    const Bytes signature = truncated(seeds.front(), signatureSize);
    for (int i = 0; i < count / 10; ++i) {
        Bytes noise = (i % 2 == 0) ? signature : Bytes();
        const std::size_t length = random() % 300;
        for (std::size_t b = 0; b < length; ++b) {
            noise.push_back(static_cast<unsigned char>(random()));
        }
        cases.push_back({"random bytes " + std::to_string(i), noise});
    }
}

} // namespace

std::vector<std::size_t> chunkOffsets(const Bytes &png) {
    std::vector<std::size_t> offsets;
    std::size_t at = signatureSize;
    while (at + chunkOverhead <= png.size()) {
        const std::uint64_t end = std::uint64_t{at} + chunkOverhead + readBigEndian(png, at);
        if (end > png.size()) {
            break;
        }
        offsets.push_back(at);
        at = static_cast<std::size_t>(end);
    }
    return offsets;
}

void fixChunkCrcs(Bytes &png) {
    for (std::size_t chunk : chunkOffsets(png)) {
        writeCrc(png, chunk);
    }
}

Bytes withDeclaredSize(Bytes png, std::uint32_t width, std::uint32_t height) {
    const std::size_t header = signatureSize;
    writeBigEndian(png, header + 8, width);
    writeBigEndian(png, header + 12, height);
    writeCrc(png, header);
    return png;
}

Bytes withChunkAfterHeader(const Bytes &png, const std::string &type, const Bytes &data) {
    Bytes chunk(chunkOverhead + data.size());
    writeBigEndian(chunk, 0, static_cast<std::uint32_t>(data.size()));
    std::copy(type.begin(), type.end(), chunk.begin() + 4);
    std::copy(data.begin(), data.end(), chunk.begin() + 8);
    writeCrc(chunk, 0);
    const std::size_t afterHeader = chunkOffsets(png).at(1);
    Bytes result(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(afterHeader));
    result.insert(result.end(), chunk.begin(), chunk.end());
    result.insert(result.end(), png.begin() + static_cast<std::ptrdiff_t>(afterHeader), png.end());
    return result;
}

Bytes palettePng(int width, int height, const std::vector<std::uint8_t> &indices,
                 const std::vector<std::array<std::uint8_t, 4>> &entries, bool withAlpha) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = withAlpha ? PNG_FORMAT_RGBA_COLORMAP : PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = static_cast<png_uint_32>(entries.size());
    std::vector<std::uint8_t> colormap;
    for (const auto &entry : entries) {
        colormap.insert(colormap.end(), entry.begin(), entry.begin() + (withAlpha ? 4 : 3));
    }
    return writePngToMemory(image, indices.data(), colormap.data());
}

std::vector<DamagedPng> damagedPngs(const std::vector<Bytes> &seeds, int randomCases) {
    std::vector<DamagedPng> cases;
    for (std::size_t s = 0; s < seeds.size(); ++s) {
        const std::string name = "seed " + std::to_string(s);
        addTruncations(cases, seeds[s], name);
        addBitFlips(cases, seeds[s], name);
        addBogusLengths(cases, seeds[s], name);
        addForgedSizes(cases, seeds[s], name);
    }
    addRandomDamage(cases, seeds, randomCases);
    return cases;
}
