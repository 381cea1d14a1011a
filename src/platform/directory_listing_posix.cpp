// The wildcard directory listing on POSIX: readdir over the folder, fnmatch on each name.
// Matching is case-sensitive, like the file system underneath: "*.png" does not list "A.PNG".
#include <dirent.h>
#include <fnmatch.h>

#include "platform/platform.h"

namespace platform {

namespace {

struct SplitPattern {
    std::string directory;
    std::string namePattern;
};

SplitPattern splitPattern(const std::string &pattern) {
    const std::size_t slash = pattern.rfind('/');
    if (slash == std::string::npos) {
        return {".", pattern};
    }
    // "/x*" lives in the root, not in the working directory.
    const std::string directory = slash == 0 ? "/" : pattern.substr(0, slash);
    return {directory, pattern.substr(slash + 1)};
}

} // namespace

std::vector<std::string> listDirectory(const std::string &pattern) {
    const SplitPattern split = splitPattern(pattern);
    std::vector<std::string> names;
    DIR *directory = opendir(split.directory.c_str());
    if (directory == nullptr) {
        return names;
    }
    // No FNM_PERIOD: "*" matches "." and "..", so callers see the dot entries and skip them
    // themselves, as they would with any other listing.
    while (const dirent *entry = readdir(directory)) {
        if (fnmatch(split.namePattern.c_str(), entry->d_name, 0) == 0) {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(directory);
    return names;
}

} // namespace platform
