// Byte-level surgery on PNG files for the texturing tests: forged headers with valid CRCs,
// extra chunks, palette images, and a deterministic generator of damaged files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// Offset of every chunk's length field, in file order, up to the first one that overruns.
std::vector<std::size_t> chunkOffsets(const Bytes &png);

// Recomputes the CRC of every chunk that lies inside the file, so that damage gets past
// libpng's CRC check and into the decoder proper.
void fixChunkCrcs(Bytes &png);

// The IHDR's width and height replaced, its CRC still valid.
Bytes withDeclaredSize(Bytes png, std::uint32_t width, std::uint32_t height);

// A chunk inserted right after IHDR, e.g. tRNS for a gray image.
Bytes withChunkAfterHeader(const Bytes &png, const std::string &type, const Bytes &data);

// A palette PNG; with alpha in the entries, libpng writes a tRNS chunk.
Bytes palettePng(int width, int height, const std::vector<std::uint8_t> &indices,
                 const std::vector<std::array<std::uint8_t, 4>> &entries, bool withAlpha);

struct DamagedPng {
    std::string label;
    Bytes bytes;
};

// Every truncation, bit flips with and without repaired CRCs, bogus chunk lengths, forged
// sizes, random bytes and random multi-byte damage of the seeds. Same output on every run.
std::vector<DamagedPng> damagedPngs(const std::vector<Bytes> &seeds, int randomCases);
