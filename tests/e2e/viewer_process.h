// Runs the real viewer for end-to-end tests: an X server of its own (so tests can run side by
// side), the `terrain` executable in a folder of the test's choosing, its console read line by
// line. Every wait is bounded and everything started is ended by the destructors.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

using Seconds = std::chrono::duration<double>;

class XvfbServer {
public:
    explicit XvfbServer(int width = 1024, int height = 768);
    ~XvfbServer();
    XvfbServer(const XvfbServer &) = delete;
    // What became of the server, for failure messages.
    std::string state() const;
    XvfbServer &operator=(const XvfbServer &) = delete;

    std::string display; // e.g. ":99"; empty when the server did not come up
    int width;
    int height;

private:
    pid_t pid = -1;
    std::string logPath;
};

class ViewerProcess {
public:
    ViewerProcess(const std::string &executable, const std::string &workingDirectory,
                  const std::string &display, const std::vector<std::string> &arguments = {});
    ~ViewerProcess();
    ViewerProcess(const ViewerProcess &) = delete;
    ViewerProcess &operator=(const ViewerProcess &) = delete;

    // The next console line, without its line end; nothing when none came within the timeout.
    std::optional<std::string> nextLine(Seconds timeout);
    // Reads lines until one satisfies the prefix; the lines read on the way are kept in `lines`.
    std::optional<std::string> waitForLineStartingWith(const std::string &prefix, Seconds timeout);
    // Reads what the viewer has printed so far, without waiting.
    void readPrinted();
    // The last line read so far that starts with the prefix.
    std::optional<std::string> lastLineStartingWith(const std::string &prefix) const;
    // Exit status once the process has ended, or nothing when it is still running after timeout.
    std::optional<int> waitForExit(Seconds timeout);
    bool running();

    std::vector<std::string> lines; // every line read so far

private:
    bool readAvailable(Seconds timeout);

    pid_t pid = -1;
    int outputFd = -1;
    std::string pending;
    std::optional<int> exitStatus;
};

// The `terrain` executable of this build.
std::string viewerExecutable();
