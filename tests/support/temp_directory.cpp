#include "temp_directory.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

TempDirectory::TempDirectory() : previousDirectory(fs::current_path().string()) {
    std::string pattern = (fs::temp_directory_path() / "terrain-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot create a temporary folder from " << pattern;
        return;
    }
    path = pattern;
    fs::current_path(path);
}

TempDirectory::~TempDirectory() {
    fs::current_path(previousDirectory);
    if (!path.empty()) {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
}

void makeDirectories(const std::string &path) {
    fs::create_directories(path);
}

void writeFile(const std::string &path, const std::string &bytes) {
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) {
        fs::create_directories(parent);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

void writeFile(const std::string &path, const std::vector<unsigned char> &bytes) {
    writeFile(path, std::string(bytes.begin(), bytes.end()));
}

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
