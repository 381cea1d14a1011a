#include "scene_files.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "landscape.h"
#include "png_codec.h"
#include "sky_faces.h"
#include "terrain_texture.h"

namespace fs = std::filesystem;

namespace {

SceneFile pngFile(const std::string &name, const RgbImage &image) {
    return {name, encodeRgbPng(image)};
}

// Hidden and without a ".png" ending, so the viewer never loads a file still being written.
fs::path temporaryPath(const fs::path &folder, const std::string &name) {
    return folder / ("." + name + ".partial-" + std::to_string(getpid()));
}

bool writeBytes(const fs::path &path, const std::vector<unsigned char> &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return !out.fail();
}

void removeTemporaries(const fs::path &folder, const std::vector<SceneFile> &files) {
    for (const SceneFile &file : files) {
        std::error_code ignored;
        fs::remove(temporaryPath(folder, file.name), ignored);
    }
}

} // namespace

std::vector<SceneFile> buildScene(const HeightField &source, EdgeMode heightmapEdges,
                                  std::uint64_t seed, std::ostream &progress) {
    std::vector<SceneFile> files;
    progress << "Heightmap: " << source.width << "x" << source.height << " to " << heightmapSize
             << "x" << heightmapSize << std::endl;
    const HeightField heightmap =
        resample(source, heightmapSize, heightmapSize, 0.0f, 0.0f, heightmapEdges);
    const HeightScale scale = byteScaleOf(heightmap);
    const std::vector<std::uint8_t> bytes = toBytes(heightmap, scale);
    files.push_back({"HeightMap.raw", {bytes.begin(), bytes.end()}});
    progress << "Terrain texture: " << terrainTextureSize << "x" << terrainTextureSize << std::endl;
    files.push_back(pngFile("Terrain.png", bakeTerrainTexture(source, scale, seed)));
    for (const SkyFace &face : skyFaces()) {
        progress << "Sky face " << face.fileName << ": " << skyFaceSize << "x" << skyFaceSize
                 << std::endl;
        files.push_back(pngFile(face.fileName, renderSkyFace(face, seed)));
    }
    return files;
}

std::vector<SceneFile> buildDefaultScene(std::uint64_t seed, std::ostream &progress) {
    progress << "Landscape: " << landscapeSize << "x" << landscapeSize << ", seed " << seed
             << ", noise and rain erosion" << std::endl;
    return buildScene(synthesiseLandscape(seed), EdgeMode::wrap, seed, progress);
}

std::string writeScene(const std::string &folder, const std::vector<SceneFile> &files) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        return "cannot create the folder '" + folder + "': " + error.message();
    }
    for (const SceneFile &file : files) {
        if (file.bytes.empty() || !writeBytes(temporaryPath(folder, file.name), file.bytes)) {
            removeTemporaries(folder, files);
            return "cannot write '" + temporaryPath(folder, file.name).string() + "'";
        }
    }
    for (const SceneFile &file : files) {
        fs::rename(temporaryPath(folder, file.name), fs::path(folder) / file.name, error);
        if (error) {
            removeTemporaries(folder, files);
            return "cannot rename into '" + (fs::path(folder) / file.name).string() +
                   "': " + error.message();
        }
    }
    return "";
}
