// Where the viewer finds its run-time data, relative to the working directory.
#pragma once

constexpr const char *shaderDirectory = "Resources/Shaders/";
constexpr const char *textureDirectory = "Resources/Textures/";
