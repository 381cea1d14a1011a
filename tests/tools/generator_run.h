// Runs the real generate_resources executable, for what only a process shows: its exit status
// and everything it prints.
#pragma once

#include <string>

struct GeneratorRun {
    int exitStatus;
    std::string output; // standard output and standard error together
};

// `arguments` is appended to the command line as it stands; keep paths free of spaces.
GeneratorRun runGenerator(const std::string &arguments);

int lineCount(const std::string &text);
