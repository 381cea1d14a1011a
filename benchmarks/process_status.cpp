#include "process_status.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The fourth field of /proc/<pid>/stat; the name before it is in parentheses and may hold spaces.
std::optional<pid_t> parentOf(const fs::path &process) {
    std::ifstream stat(process / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream rest(text.substr(nameEnd + 1));
    char state = 0;
    pid_t parent = 0;
    if (!(rest >> state >> parent)) {
        return std::nullopt;
    }
    return parent;
}

} // namespace

std::optional<pid_t> childRunning(const std::string &executable) {
    std::error_code error;
    const fs::path wanted = fs::canonical(executable, error);
    for (const fs::directory_entry &entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        if (parentOf(entry.path()) != getpid()) {
            continue;
        }
        std::error_code exeError;
        if (fs::read_symlink(entry.path() / "exe", exeError) == wanted) {
            return pid_t(std::stol(name));
        }
    }
    return std::nullopt;
}

std::optional<long> statusKiB(pid_t pid, const std::string &field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stol(line.substr(field.size() + 1)); // "VmRSS:    1234 kB"
        }
    }
    return std::nullopt;
}
