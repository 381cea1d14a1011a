// Reads a user's heightmap at full precision: a greyscale PNG of 8 or 16 bits, or raw 16-bit
// samples whose size and byte order the user states. Nothing is written here, so a refused
// input leaves every output untouched.
#pragma once

#include <string>

#include "height_field.h"

struct RawLayout {
    int width = 0; // 0: the file is a PNG
    int height = 0;
    bool bigEndian = false;
};

struct ImportedHeights {
    HeightField field;
    std::string error; // one line naming the file and the fault; empty on success
};

ImportedHeights importHeightmap(const std::string &path, const RawLayout &raw);
