// The whole scene as files: the heightmap, the terrain texture and the six sky faces, built in
// memory first and then written so that an interrupted run leaves no half-written file behind.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "height_field.h"

struct SceneFile {
    std::string name; // e.g. "Terrain.png"
    std::vector<unsigned char> bytes;
};

// `source`: heights at any resolution over the heightmap's area. `heightmapEdges`: what the
// 256 x 256 heightmap's filter assumes beyond the source's border. Progress goes to `progress`.
std::vector<SceneFile> buildScene(const HeightField &source, EdgeMode heightmapEdges,
                                  std::uint64_t seed, std::ostream &progress);

// The default landscape's scene for a seed.
std::vector<SceneFile> buildDefaultScene(std::uint64_t seed, std::ostream &progress);

// Writes every file under a temporary name in the folder (made if missing), then renames each
// into place. Returns a one-line error, or an empty text on success.
std::string writeScene(const std::string &folder, const std::vector<SceneFile> &files);
