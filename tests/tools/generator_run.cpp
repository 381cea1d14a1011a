#include "generator_run.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <sys/wait.h>

GeneratorRun runGenerator(const std::string &arguments) {
    const std::string command = std::string(GENERATOR_EXECUTABLE) + " " + arguments + " 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {-1, "cannot start " + command};
    }
    GeneratorRun run{0, ""};
    std::array<char, 4096> buffer{};
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.output.append(buffer.data(), count);
    }
    const int status = pclose(pipe);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

int lineCount(const std::string &text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}
