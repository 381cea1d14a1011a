#include "texture_manager.h"

#include <SOIL/SOIL.h>
#include <cstdio>

#include "platform/platform.h"
#include "platform/resource_paths.h"
#include "texturing/png_image_file.h"

namespace {

// Mipmapped, flipped so that the file's top row lands at t = 1, clamped to NTSC-safe colours,
// DXT-compressed where the GL offers it.
constexpr unsigned int textureFlags =
    SOIL_FLAG_MIPMAPS | SOIL_FLAG_INVERT_Y | SOIL_FLAG_NTSC_SAFE_RGB | SOIL_FLAG_COMPRESS_TO_DXT;
static_assert(textureFlags == 178, "the textures are made with SOIL's flags 178");

// SOIL's own decoder is not safe with damaged files, so libpng decodes and SOIL only uploads,
// with the channel count and row order its loader would have produced.
GLuint loadTexture(const std::string &path, int maxSide) {
    const std::optional<PngImage> image = readPngFile(path, maxSide);
    if (!image) {
        return 0;
    }
    return SOIL_create_OGL_texture(image->pixels.data(), image->width, image->height,
                                   image->channels, SOIL_CREATE_NEW_ID, textureFlags);
}

} // namespace

TextureManager *TextureManager::instance = nullptr;

TextureManager *TextureManager::getInstance() {
    if (instance == nullptr) {
        instance = new TextureManager();
    }
    return instance;
}

void TextureManager::loadTextures() {
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    for (const std::string &name :
         platform::listDirectory(std::string(textureDirectory) + "*.png")) {
        textures[name] = loadTexture(textureDirectory + name, maxSide);
    }
}

void TextureManager::bindTexture(const std::string &name) {
    const auto entry = textures.find(name);
    if (entry == textures.end() || entry->second == 0) {
        std::printf("ERROR: Texture not found: %s\n", name.c_str());
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, entry->second);
}

void TextureManager::unbindTexture() {
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
}

int TextureManager::getTextureCount() const {
    return static_cast<int>(textures.size());
}
