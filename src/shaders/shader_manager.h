// Owner of every shader program: builds one program per name found in the shader directory
// (Name.vs + Name.fs) and hands out their GL names. Programs live until the process ends.
#pragma once

#include "platform/gl.h"

#include <map>
#include <string>

class ShaderProgram;

class ShaderManager {
public:
    static ShaderManager *getInstance();

    void loadShaders();
    // 0 for a name that has no program.
    GLuint getProgram(const std::string &name);
    void useProgram(const std::string &name);
    void deleteProgram(const std::string &name);

    void scanShaderDirectory();
    void buildPrograms();
    // Null for a name without an entry, or one that has not been built yet.
    const ShaderProgram *findProgram(const std::string &name) const;

    // Keyed by program name, compared byte by byte, so builds run in a fixed order.
    std::map<std::string, ShaderProgram *> programs;

private:
    static ShaderManager *instance;
};
