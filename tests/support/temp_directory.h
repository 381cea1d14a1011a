// A fresh folder under /tmp that a test works in: the constructor makes it the working
// directory (the viewer reads Resources/ relative to it), the destructor goes back and removes it.
#pragma once

#include <string>
#include <vector>

class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory &) = delete;
    TempDirectory &operator=(const TempDirectory &) = delete;

    std::string path;

private:
    std::string previousDirectory;
};

// Writes bytes to a file, creating its parent folders.
void writeFile(const std::string &path, const std::string &bytes);
void writeFile(const std::string &path, const std::vector<unsigned char> &bytes);
void makeDirectories(const std::string &path);
std::string readFile(const std::string &path);
