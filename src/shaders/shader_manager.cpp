#include "shaders/shader_manager.h"

#include "platform/platform.h"
#include "platform/resource_paths.h"
#include "shaders/shader.h"
#include "shaders/shader_program.h"

ShaderManager *ShaderManager::instance = nullptr;

ShaderManager *ShaderManager::getInstance() {
    if (instance == nullptr) {
        instance = new ShaderManager;
    }
    return instance;
}

void ShaderManager::loadShaders() {
    scanShaderDirectory();
    buildPrograms();
}

GLuint ShaderManager::getProgram(const std::string &name) {
    const ShaderProgram *program = findProgram(name);
    return program != nullptr ? program->programId : 0;
}

void ShaderManager::useProgram(const std::string &name) {
    if (const ShaderProgram *program = findProgram(name)) {
        glUseProgram(program->programId);
    }
}

void ShaderManager::deleteProgram(const std::string &name) {
    if (const ShaderProgram *program = findProgram(name)) {
        glUseProgram(0);
        glDeleteProgram(program->programId);
    }
}

// A lookup never files a name: an unknown one must not become an empty entry.
const ShaderProgram *ShaderManager::findProgram(const std::string &name) const {
    const auto entry = programs.find(name);
    return entry != programs.end() ? entry->second : nullptr;
}

void ShaderManager::scanShaderDirectory() {
    // Every entry counts as a stage file, whatever it is: Name.vs and Name.fs both give Name.
    for (const std::string &entryName :
         platform::listDirectory(std::string(shaderDirectory) + "*")) {
        if (entryName == "." || entryName == "..") {
            continue;
        }
        const std::string programName =
            entryName.size() < 3 ? entryName : entryName.substr(0, entryName.size() - 3);
        programs.emplace(programName, nullptr);
    }
}

void ShaderManager::buildPrograms() {
    for (auto &[name, program] : programs) {
        program = new ShaderProgram;
        program->vertexShader = new Shader(GL_VERTEX_SHADER, shaderDirectory + name + ".vs");
        program->fragmentShader = new Shader(GL_FRAGMENT_SHADER, shaderDirectory + name + ".fs");
        program->link();
    }
}
