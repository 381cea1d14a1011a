#include "viewer_process.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

// A test that crashes or is killed by its timeout must not leave servers or viewers behind.
void dieWithTheTest() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

void endProcess(pid_t pid) {
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGTERM);
    for (int i = 0; i < 250; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// A display number nobody is using, and unlikely to be reused soon: a server that is shutting
// down removes its socket late, which would cut off a new server given the same number.
int unusedDisplayNumber() {
    static int sessionsStarted = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int number = 200 + (getpid() * 31 + (sessionsStarted++) * 7) % 4000;
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        if (access(socket.c_str(), F_OK) != 0 && access(lock.c_str(), F_OK) != 0) {
            return number;
        }
    }
    return -1;
}

} // namespace

XvfbServer::XvfbServer(int width, int height) : width(width), height(height) {
    const int number = unusedDisplayNumber();
    logPath = "/tmp/terrain-e2e-xvfb-" + std::to_string(number) + ".log";
    int displayPipe[2];
    if (number < 0 || pipe2(displayPipe, O_CLOEXEC) != 0) {
        return;
    }
    pid = fork();
    if (pid == 0) {
        dieWithTheTest();
        close(displayPipe[0]);
        // Only the readiness signal travels through the pipe; it must survive the exec.
        fcntl(displayPipe[1], F_SETFD, 0);
        const std::string name = ":" + std::to_string(number);
        const std::string fd = std::to_string(displayPipe[1]);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        // Sanitizer runs preload their runtime into the viewer; the server is not ours to check.
        unsetenv("LD_PRELOAD");
        const int devNull = open("/dev/null", O_RDWR);
        const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        execlp("Xvfb", "Xvfb", name.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
               screen.c_str(), "-nolisten", "tcp", "-noreset", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(displayPipe[1]);
    // Xvfb writes its display number and then a line end once it accepts connections; closing
    // the pipe between the two writes would make it give up.
    std::string written;
    pollfd ready{displayPipe[0], POLLIN, 0};
    char byte = 0;
    while (written.find('\n') == std::string::npos && poll(&ready, 1, 10000) == 1 &&
           read(displayPipe[0], &byte, 1) == 1) {
        written += byte;
    }
    if (written.find('\n') != std::string::npos) {
        display = ":" + std::to_string(number);
    }
    close(displayPipe[0]);
}

XvfbServer::~XvfbServer() {
    endProcess(pid);
    unlink(logPath.c_str());
}

std::string XvfbServer::state() const {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
        std::ifstream log(logPath);
        std::string line;
        std::string lastLine;
        while (std::getline(log, line)) {
            lastLine = line.size() > 5 ? line : lastLine; // past Xorg's bare "(EE)" lines
        }
        return "exited with status " + std::to_string(status) + ": " + lastLine;
    }
    const std::string socket = "/tmp/.X11-unix/X" + display.substr(display.empty() ? 0 : 1);
    return access(socket.c_str(), F_OK) == 0 ? "running" : "running without a socket";
}

ViewerProcess::ViewerProcess(const std::string &executable, const std::string &workingDirectory,
                             const std::string &display,
                             const std::vector<std::string> &arguments) {
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) {
        return;
    }
    pid = fork();
    if (pid == 0) {
        dieWithTheTest();
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        close(output[1]);
        if (chdir(workingDirectory.c_str()) != 0) {
            _exit(126);
        }
        setenv("DISPLAY", display.c_str(), 1);
        std::vector<char *> argv{const_cast<char *>(executable.c_str())};
        for (const std::string &argument : arguments) {
            argv.push_back(const_cast<char *>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(executable.c_str(), argv.data());
        _exit(127);
    }
    close(output[1]);
    outputFd = output[0];
    fcntl(outputFd, F_SETFL, O_NONBLOCK);
}

ViewerProcess::~ViewerProcess() {
    if (!exitStatus) {
        endProcess(pid);
    }
    if (outputFd >= 0) {
        close(outputFd);
    }
}

bool ViewerProcess::readAvailable(Seconds timeout) {
    pollfd readable{outputFd, POLLIN, 0};
    if (poll(&readable, 1, int(timeout.count() * 1000)) != 1) {
        return false;
    }
    char buffer[65536];
    const ssize_t count = read(outputFd, buffer, sizeof buffer);
    if (count <= 0) {
        return false;
    }
    pending.append(buffer, std::size_t(count));
    return true;
}

std::optional<std::string> ViewerProcess::nextLine(Seconds timeout) {
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(timeout);
    while (true) {
        const std::size_t end = pending.find('\n');
        if (end != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            lines.push_back(line);
            return line;
        }
        if (!readAvailable(Seconds(remainingMs(deadline) / 1000.0))) {
            return std::nullopt;
        }
    }
}

std::optional<std::string> ViewerProcess::waitForLineStartingWith(const std::string &prefix,
                                                                  Seconds timeout) {
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(timeout);
    while (remainingMs(deadline) > 0) {
        const auto line = nextLine(Seconds(remainingMs(deadline) / 1000.0));
        if (line && line->rfind(prefix, 0) == 0) {
            return line;
        }
    }
    return std::nullopt;
}

void ViewerProcess::readPrinted() {
    while (nextLine(Seconds(0))) {
    }
}

std::optional<std::string> ViewerProcess::lastLineStartingWith(const std::string &prefix) const {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (line->rfind(prefix, 0) == 0) {
            return *line;
        }
    }
    return std::nullopt;
}

std::optional<int> ViewerProcess::waitForExit(Seconds timeout) {
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(timeout);
    while (!exitStatus) {
        // Keep the pipe drained so a chatty process is never blocked on a full pipe.
        readPrinted();
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (remainingMs(deadline) == 0) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return exitStatus;
}

bool ViewerProcess::running() {
    return !waitForExit(Seconds(0)).has_value();
}

std::string viewerExecutable() {
    return VIEWER_EXECUTABLE;
}
