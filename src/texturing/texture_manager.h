// Owner of every texture: loads each PNG of the texture directory once at start-up and binds
// textures by file name. A file that fails to load is filed as 0 and binds as "not found".
#pragma once

#include "platform/gl.h"

#include <map>
#include <string>

class TextureManager {
public:
    static TextureManager *getInstance();

    void loadTextures();
    void bindTexture(const std::string &name);
    void unbindTexture();
    int getTextureCount() const;

    // Keyed by exact file name, e.g. "Terrain.png"; 0 marks a file that failed to load.
    std::map<std::string, GLuint> textures;

private:
    static TextureManager *instance;
};
