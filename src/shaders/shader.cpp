#include "shaders/shader.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>

namespace {

// The file's bytes exactly as stored. Nothing for a path that is not a regular file: on Linux a
// directory opens like a file and only the read fails, so the type is checked first.
std::optional<std::string> readWholeFile(const std::string &path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    std::ifstream in(path, std::ios::binary);
    if (error || !in) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(size));
    if (static_cast<std::uintmax_t>(in.gcount()) != size) {
        return std::nullopt;
    }
    return text;
}

void printCompileLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length) + 1, '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    std::printf("Shader Compile Error:\n%s", log.c_str());
}

} // namespace

Shader::Shader(GLenum shaderType, std::string sourcePath)
    : shaderType(shaderType), sourcePath(std::move(sourcePath)) {}

GLuint Shader::compile() {
    shaderId = glCreateShader(shaderType);
    if (shaderId == 0) {
        return 0;
    }
    const std::optional<std::string> source = readWholeFile(sourcePath);
    if (!source) {
        std::printf("Cannot read shader source: %s\n", sourcePath.c_str());
        return 0;
    }
    // std::string keeps a terminating zero behind the last byte, so no length array is needed.
    const char *text = source->c_str();
    glShaderSource(shaderId, 1, &text, nullptr);
    glCompileShader(shaderId);
    GLint status = 0;
    glGetShaderiv(shaderId, GL_COMPILE_STATUS, &status);
    if (status != 0) {
        return shaderId;
    }
    printCompileLog(shaderId);
    return 0;
}

void Shader::deleteShader(GLuint shader) {
    glDeleteShader(shader);
}
